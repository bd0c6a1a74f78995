#include "input/TTokenizationStream.h"

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/Utf8.h"

namespace tavora {
namespace fs = std::filesystem;

namespace {

// Calls `line` for every line of `text`, split at CR, LF and CR LF; a final empty line after a
// trailing break is not reported.
template <typename F>
void ForEachLine(std::u16string_view text, F&& line) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t brk = text.find_first_of(u"\r\n", start);
    if (brk == std::u16string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, brk - start));
    start = brk + ((text[brk] == u'\r' && brk + 1 < text.size() && text[brk + 1] == u'\n') ? 2 : 1);
  }
}

bool EndsWithPathSeparator(std::u16string_view line) {
#ifdef _WIN32
  return line.ends_with(u'\\') || line.ends_with(u'/');
#else
  return line.ends_with(u'/');
#endif
}

// Called for an entry that a folder walk leaves out, with the warning to give.
using TSkip = std::function<void(const fs::path&, std::string)>;

std::string Reason(const std::error_code& ec) {
  std::string reason = ec.message();
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  return reason;
}

// Appends the files of `dir` and of its subfolders, entries in code-point order of their names.
// Each folder is walked once, so links that loop back end the walk.
void AddFilesOfDirectory(const fs::path& dir, std::set<fs::path>& visited,
                         std::vector<fs::path>& out, const TSkip& skip,
                         const TTokenizationStream::TWalkFilter& leftOut) {
  std::error_code ec;
  const fs::path canonical = fs::canonical(dir, ec);
  if (ec) return skip(dir, "Folder " + QuotedPath(dir) + " cannot be read (" + Reason(ec) + ")");
  if (!visited.insert(canonical).second) {
    return skip(dir, "Folder " + QuotedPath(dir) + " has been read already (a symbolic link " +
                         "leads to it again)");
  }
  std::vector<std::pair<fs::path::string_type, fs::path>> entries;
  fs::directory_iterator it(dir, ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec))
    entries.emplace_back(it->path().filename().native(), it->path());
  if (ec) {
    skip(dir, "Folder " + QuotedPath(dir) + " cannot be read" +
                  (entries.empty() ? std::string() : " to its end") + " (" + Reason(ec) + ")");
  }
  // Names are compared as bytes: UTF-8 byte order is code-point order.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [name, path] : entries) {
    std::error_code statusError;
    const fs::file_status status = fs::status(path, statusError);  // links followed
    const bool isFolder = fs::is_directory(status);
    if (leftOut && leftOut(path, isFolder)) continue;
    if (isFolder) {
      AddFilesOfDirectory(path, visited, out, skip, leftOut);
    } else if (fs::is_regular_file(status)) {
      out.push_back(path);
    } else if (statusError == std::errc::too_many_symbolic_link_levels) {
      skip(path, QuotedPath(path) + " is a loop of symbolic links");
    } else if (statusError || !fs::exists(status)) {
      std::error_code linkError;
      const bool link = fs::is_symlink(fs::symlink_status(path, linkError));
      skip(path, QuotedPath(path) + (link ? " is a symbolic link to nothing" : " cannot be read") +
                     (statusError ? " (" + Reason(statusError) + ")" : std::string()));
    } else {
      // Reading a FIFO met in a folder would wait for its writer; a device may never end.
      skip(path, QuotedPath(path) + " is not a regular file (a FIFO, socket or device)");
    }
  }
}

// A CoNLL-U line whose ID (the first column) names a multiword-token range ("1-2") or an
// empty node ("8.1").
bool IsRangeOrEmptyNode(std::u16string_view line) noexcept {
  const std::u16string_view id = line.substr(0, line.find(u'\t'));
  return !id.empty() && id[0] >= u'0' && id[0] <= u'9' &&
         id.find_first_of(u"-.") != std::u16string_view::npos;
}

}  // namespace

TTokenizationStream::TTokenizationStream(THow formatting, std::size_t blockSize,
                                         std::size_t maxItemLength)
    : aToken(std::make_unique<TToken>(formatting)),
      aMetadata(std::make_unique<TDocMetadata>(formatting)),
      aCorpusMetadata(std::make_unique<TTable>(u'\t')),
      aNewDocMarker(InputFormat(formatting).DocumentMarker),
      aHow(formatting),
      format_(InputFormat(formatting)),
      blockSize_(blockSize),
      maxItemLength_(maxItemLength) {}

TTokenizationStream::~TTokenizationStream() = default;

void TTokenizationStream::SetEncoding(std::string_view encoding) {
  if (!TTextDecoder::IsKnown(encoding))
    throw TUnknownEncoding("Unknown encoding \"" + std::string(encoding) + "\".");
  encoding_ = encoding;
}

void TTokenizationStream::StartReader(std::unique_ptr<TEnhancedReader> reader) {
  if (aStream) {
    NoteReplacements();
    bytesOfClosedInputs_ += aStream->GetBytesRead();
  }
  aStream = std::move(reader);
  replacementsNoted_ = false;
}

void TTokenizationStream::NoteReplacements() {
  if (!aStream || replacementsNoted_) return;
  replacementsNoted_ = true;
  const std::uint64_t n = aStream->GetReplaced();
  if (n == 0) return;
  const bool one = n == 1;
  warnings_.push_back(std::to_string(n) + (one ? " byte sequence in " : " byte sequences in ") +
                      aStream->What() + (one ? " is" : " are") + " not valid " +
                      aStream->GetEncodingName() + " and " + (one ? "was" : "were") +
                      " read as U+FFFD; if the text is in another encoding, name it with "
                      "--encoding (in the window: \"Text encoding\").");
}

std::vector<std::string> TTokenizationStream::TakeWarnings() {
  // The last input is done once its reader has met its end (which this does not read for).
  if (aStream && aMetadata->aFileIndex >= fileCount_ && aStream->IsAtEnd()) NoteReplacements();
  std::vector<std::string> taken = std::move(warnings_);
  warnings_.clear();
  return taken;
}

void TTokenizationStream::ReleaseMemory() {
  if (aStream) aStream->ReleaseMemory();
  if (cleaned_.capacity() > (std::size_t{1} << 20)) std::u16string().swap(cleaned_);
}

void TTokenizationStream::OpenFile(std::size_t index) {
  const fs::path& path = aListOfFiles[index];
  StartReader(std::make_unique<TEnhancedReader>(std::make_unique<TFileSource>(path), blockSize_,
                                                encoding_, maxItemLength_));
  aMetadata->aFileName = PathToUtf16(path);
  aMetadata->aFileIndex = static_cast<std::int64_t>(index) + 1;
  aMetadata->fileDocumentId_.clear();
}

void TTokenizationStream::LoadFromFiles(std::u16string_view fileNames) {
  std::set<fs::path> visited;
  const TSkip skip = [this](const fs::path& path, std::string warning) {
    skippedEntries_.push_back(path);
    warnings_.push_back(std::move(warning) + "; skipped.");
  };
  ForEachLine(fileNames, [&](std::u16string_view line) {
    if (line.empty()) return;
    const fs::path path = PathFromUtf16(line);
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (!exists) missingEntries_.push_back(path);
    if (!EndsWithPathSeparator(line) && exists && !fs::is_directory(path, ec)) {
      aListOfFiles.push_back(path);
    } else if (exists) {
      AddFilesOfDirectory(path, visited, aListOfFiles, skip, walkFilter_);
    }
  });

  fileCount_ = static_cast<std::int64_t>(aListOfFiles.size());
  // A FIFO or device has no size; then the total is unknown.
  totalBytes_ = 0;
  for (const fs::path& path : aListOfFiles) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
      totalBytes_ = 0;
      break;
    }
    totalBytes_ += static_cast<std::uint64_t>(size);
  }
  bytesOfClosedInputs_ = 0;
  aStream.reset();
  if (aListOfFiles.empty()) return;
  OpenFile(0);
  bytesOfClosedInputs_ = 0;
  aToken->aIndexInFile = 0;
  aToken->aIndexInCorpus = 0;
  aToken->aIndexInDoc = 0;
}

void TTokenizationStream::LoadSource(std::unique_ptr<TByteSource> source,
                                     std::string_view encoding) {
  aStream.reset();
  aListOfFiles.clear();
  fileCount_ = 0;
  totalBytes_ = 0;
  bytesOfClosedInputs_ = 0;
  StartReader(
      std::make_unique<TEnhancedReader>(std::move(source), blockSize_, encoding, maxItemLength_));
  aMetadata->aFileName.clear();
  aMetadata->aFileIndex = 1;
  aToken->aIndexInFile = 0;
  aToken->aIndexInCorpus = 0;
  aToken->aIndexInDoc = 0;
}

void TTokenizationStream::LoadFromStream(std::istream& stream) {
  LoadSource(std::make_unique<TIstreamSource>(stream), encoding_);
}

void TTokenizationStream::LoadFromStandardInput() {
  LoadSource(TFileSource::StandardInput(), encoding_);
}

void TTokenizationStream::LoadFromStringList(const std::vector<std::u16string>& untokenized) {
  std::string bytes = "\xEF\xBB\xBF";
  for (const std::u16string& line : untokenized) {
    AppendUtf16ToUtf8(bytes, line);
    bytes += "\r\n";
  }
  const std::uint64_t size = bytes.size();
  // The text is Unicode whatever the encoding of the files.
  LoadSource(
      std::make_unique<TIstreamSource>(
          std::make_unique<std::istringstream>(std::move(bytes), std::ios::binary), "the text"),
      {});
  totalBytes_ = size;
}

void TTokenizationStream::LoadFromString(std::u16string_view untokenized) {
  std::vector<std::u16string> lines;
  ForEachLine(untokenized, [&](std::u16string_view line) { lines.emplace_back(line); });
  LoadFromStringList(lines);
}

void TTokenizationStream::SetCustomVerticalFormatting(std::int32_t wordIndex,
                                                      std::int32_t lemmaIndex,
                                                      std::int32_t tagIndex,
                                                      std::u16string_view newDocMarker) {
  aNewDocMarker.assign(newDocMarker);
  aToken->CustomIndexWord = wordIndex - 1;
  aToken->CustomIndexLemma = lemmaIndex - 1;
  aToken->CustomIndexTag = tagIndex - 1;
}

bool TTokenizationStream::GetEndOfStream() const {
  if (!aStream) return true;
  if (aMetadata->aFileIndex < fileCount_) return false;
  return aStream->GetEndOfStream();
}

std::uint64_t TTokenizationStream::GetBytesRead() const noexcept {
  return bytesOfClosedInputs_ + (aStream ? aStream->GetBytesRead() : 0);
}

std::u16string_view TTokenizationStream::ReadRawItem() {
  switch (format_.Reading) {
    case TReadMode::Word:
      return aStream->ReadWord();
    case TReadMode::WhiteSpace:
      return aStream->ReadLineWS();
    case TReadMode::BncElement:
      return aStream->ReadBNC();
    case TReadMode::Line:
      break;
  }
  return aStream->ReadLine();
}

void TTokenizationStream::OpenNextFile() {
  OpenFile(static_cast<std::size_t>(aMetadata->aFileIndex));
  TToken& token = *aToken;
  token.aIndexInFile = 0;
  if (aNewDocMarker.empty() || documentPerFile_) token.aIndexInDoc = 0;
  // A file that starts its own document has no header until a marker line of its own.
  if (documentPerFile_ && !aNewDocMarker.empty()) aMetadata->SetRaw({});
}

std::u16string_view TTokenizationStream::WithoutFEFF(std::u16string_view raw) {
  cleaned_.clear();
  for (const char16_t c : raw)
    if (c != u'\uFEFF') cleaned_.push_back(c);
  return cleaned_;
}

TToken* TTokenizationStream::ReadToken() {
  TToken& token = *aToken;
  if (GetEndOfStream()) {
    token.aIsNormalWord = false;
    return nullptr;
  }
  // Loops rather than recursion: runs of empty items, marker lines and empty files of any
  // length are skipped in constant stack space.
  for (;;) {
    token.aIsNormalWord = false;
    if (!aStream) return &token;
    if (aMetadata->aFileIndex < fileCount_ && aStream->GetEndOfStream()) OpenNextFile();
    if (aStream->GetEndOfStream()) {
      NoteReplacements();
      token.LendRaw({});
      return &token;
    }
    token.aIsNormalWord = true;
    token.aPositionInFile = aStream->GetBytesRead();

    for (;;) {
      std::u16string_view raw = aStream->GetEndOfStream() ? std::u16string_view() : ReadRawItem();
      if (format_.Id == TDocumentId::BncDocId && raw.empty())
        aMetadata->NoteSkippedMarkup(aStream->LastSkipped());
      if (raw.empty()) {  // the common empty item between two separators
        if (aStream->GetEndOfStream()) break;
        continue;
      }
      raw = Cleaned(raw);
      if (raw.empty()) {
        if (aStream->GetEndOfStream()) break;  // on to the next file, or the end
        continue;
      }
      if (!aNewDocMarker.empty() && raw.starts_with(aNewDocMarker)) {
        token.aIndexInDoc = 0;
        aMetadata->SetRaw(raw);
        continue;
      }
      if (IsStructuralLine(format_.Structural, raw) ||
          (universalDependencies_ && aHow == THow::jCONLLU && IsRangeOrEmptyNode(raw)))
        token.aIsNormalWord = false;
      if (token.aIsNormalWord) CountNormalWord();
      token.LendRaw(raw);
      return &token;
    }
  }
}

bool TTokenizationStream::ReadsPlainWords() const noexcept {
  return format_.Split == TValueSplit::Whole && format_.Word.Source == TFieldSource::Raw &&
         format_.Tag.Source == TFieldSource::None && format_.POS.Source == TFieldSource::None &&
         format_.Structural == TStructuralTest::None && format_.Reading != TReadMode::BncElement &&
         aNewDocMarker.empty();
}

bool TTokenizationStream::ReadPlainWord(std::u16string_view& word, TToken::TClasses& classes) {
  TToken& token = *aToken;
  token.aIsNormalWord = false;
  if (!aStream) return false;
  const bool words = format_.Reading == TReadMode::Word;
  std::uint64_t position = aStream->GetBytesRead();
  for (;;) {
    if (aStream->GetEndOfStream()) {
      if (aMetadata->aFileIndex >= fileCount_) {
        NoteReplacements();
        token.LendRaw({});
        return false;
      }
      OpenNextFile();
      position = aStream->GetBytesRead();
      continue;
    }
    std::u16string_view raw = ReadRawItem();
    if (raw.empty()) continue;
    raw = Cleaned(raw);
    if (raw.empty()) continue;
    CountNormalWord();
    token.aPositionInFile = position;
    token.aIsNormalWord = true;
    token.LendRaw(raw);
    word = raw;
    // Neither U+FEFF nor what trimming removes is of a token class.
    classes =
        words ? TToken::ClassesOf(aStream->LastWordClasses(), raw) : TToken::Classify(raw, {});
    return true;
  }
}

TToken* TTokenizationStream::ReadAndParseToken() {
  TToken* token = ReadToken();
  if (token) (void)token->GetParsed();
  return token;
}

}  // namespace tavora
