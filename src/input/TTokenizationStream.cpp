#include "input/TTokenizationStream.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/Trim.h"
#include "base/Utf8.h"

namespace tavora {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileBufferSize = 524288;

// A file stream with a large buffer of its own; the buffer base is built before the stream.
struct TFileBuffer {
  std::unique_ptr<char[]> Buffer = std::make_unique<char[]>(kFileBufferSize);
};
class TBufferedFile : private TFileBuffer, public std::ifstream {
 public:
  explicit TBufferedFile(const fs::path& path) {
    rdbuf()->pubsetbuf(Buffer.get(), kFileBufferSize);
    open(path, std::ios::binary);
  }
};

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

// Appends the files of `dir` and of its subfolders, entries in code-point order of their names.
// Each directory is walked once, so links that loop back end the walk.
void AddFilesOfDirectory(const fs::path& dir, std::set<fs::path>& visited,
                         std::vector<fs::path>& out,
                         const TTokenizationStream::TWalkFilter& leftOut) {
  std::error_code ec;
  const fs::path canonical = fs::canonical(dir, ec);
  if (ec || !visited.insert(canonical).second) return;

  std::vector<std::pair<std::u8string, fs::path>> entries;
  for (fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    entries.emplace_back(it->path().filename().u8string(), it->path());
  }
  // UTF-8 byte order is code-point order.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [name, path] : entries) {
    std::error_code statusError;
    const bool isFolder = fs::is_directory(path, statusError);
    if (leftOut && leftOut(path, isFolder)) continue;
    if (isFolder) {
      AddFilesOfDirectory(path, visited, out, leftOut);
    } else {
      out.push_back(path);
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

TTokenizationStream::TTokenizationStream(THow formatting, std::size_t blockSize)
    : aToken(std::make_unique<TToken>(formatting)),
      aMetadata(std::make_unique<TDocMetadata>(formatting)),
      aCorpusMetadata(std::make_unique<TTable>(u'\t')),
      aNewDocMarker(InputFormat(formatting).DocumentMarker),
      aHow(formatting),
      format_(InputFormat(formatting)),
      blockSize_(blockSize) {}

TTokenizationStream::~TTokenizationStream() {
  aStream.reset();  // before the memory stream it may read from
}

void TTokenizationStream::StartReader(std::unique_ptr<TEnhancedReader> reader) {
  if (aStream) bytesOfClosedInputs_ += aStream->GetBytesRead();
  aStream = std::move(reader);
}

void TTokenizationStream::OpenFile(std::size_t index) {
  const fs::path& path = aListOfFiles[index];
  errno = 0;
  auto file = std::make_unique<TBufferedFile>(path);
  if (!file->is_open()) {
    const int error = errno;
    const std::string reason = error != 0 ? std::generic_category().message(error)
                                          : std::string("The file cannot be read");
    throw std::runtime_error("Cannot open file " + QuotedPath(path) + ". " + reason + ".");
  }
  StartReader(std::make_unique<TEnhancedReader>(std::move(file), blockSize_, PathToUtf8(path)));
  aMetadata->aFileName = path.u16string();
  aMetadata->aFileIndex = static_cast<std::int64_t>(index) + 1;
  aMetadata->fileDocumentId_.clear();
}

void TTokenizationStream::LoadFromFiles(std::u16string_view fileNames) {
  std::set<fs::path> visited;
  ForEachLine(fileNames, [&](std::u16string_view line) {
    if (line.empty()) return;
    const fs::path path{std::u16string(line)};
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (!exists) missingEntries_.push_back(path);
    if (!EndsWithPathSeparator(line) && exists && !fs::is_directory(path, ec)) {
      aListOfFiles.push_back(path);
    } else if (exists) {
      AddFilesOfDirectory(path, visited, aListOfFiles, walkFilter_);
    }
  });

  fileCount_ = static_cast<std::int64_t>(aListOfFiles.size());
  fileSizes_.clear();
  totalBytes_ = 0;
  for (const fs::path& path : aListOfFiles) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    fileSizes_.push_back(ec ? 0 : static_cast<std::uint64_t>(size));
    totalBytes_ += fileSizes_.back();
  }
  bytesOfClosedInputs_ = 0;
  aStream.reset();
  ownedInput_.reset();
  if (aListOfFiles.empty()) return;
  OpenFile(0);
  bytesOfClosedInputs_ = 0;
  aToken->aIndexInFile = 0;
  aToken->aIndexInCorpus = 0;
  aToken->aIndexInDoc = 0;
}

void TTokenizationStream::LoadFromStream(std::istream& stream) {
  aStream.reset();
  ownedInput_.reset();
  aListOfFiles.clear();
  fileCount_ = 0;
  fileSizes_.clear();
  totalBytes_ = 0;
  bytesOfClosedInputs_ = 0;
  aStream = std::make_unique<TEnhancedReader>(stream, blockSize_);
  aMetadata->aFileName.clear();
  aMetadata->aFileIndex = 1;
  aToken->aIndexInFile = 0;
  aToken->aIndexInCorpus = 0;
  aToken->aIndexInDoc = 0;
}

void TTokenizationStream::LoadFromStringList(const std::vector<std::u16string>& untokenized) {
  std::string bytes = "\xEF\xBB\xBF";
  for (const std::u16string& line : untokenized) {
    AppendUtf16ToUtf8(bytes, line);
    bytes += "\r\n";
  }
  const std::uint64_t size = bytes.size();
  auto input = std::make_unique<std::istringstream>(std::move(bytes), std::ios::binary);
  std::istream& in = *input;
  LoadFromStream(in);
  ownedInput_ = std::move(input);
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
    if (aMetadata->aFileIndex < fileCount_ && aStream->GetEndOfStream()) {
      OpenFile(static_cast<std::size_t>(aMetadata->aFileIndex));
      token.aIndexInFile = 0;
      if (aNewDocMarker.empty() || documentPerFile_) token.aIndexInDoc = 0;
      // A file that starts its own document has no header until a marker line of its own.
      if (documentPerFile_ && !aNewDocMarker.empty()) aMetadata->SetRaw({});
    }
    if (aStream->GetEndOfStream()) {
      token.SetRaw({});
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
      // U+FEFF (a byte-order mark, or a stray one) is removed wherever it stands, then the item
      // is trimmed of control characters and spaces.
      if (aStream->LastItemMayContainFEFF() && raw.find(u'\uFEFF') != std::u16string_view::npos) {
        cleaned_.clear();
        for (const char16_t c : raw)
          if (c != u'\uFEFF') cleaned_.push_back(c);
        raw = cleaned_;
      }
      raw = TrimControl(raw);
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
      if (token.aIsNormalWord) {
        ++token.aIndexInDoc;
        ++token.aIndexInFile;
        ++token.aIndexInCorpus;
      }
      token.SetRaw(raw);
      return &token;
    }
  }
}

TToken* TTokenizationStream::ReadAndParseToken() {
  TToken* token = ReadToken();
  if (token) (void)token->GetParsed();
  return token;
}

}  // namespace tavora
