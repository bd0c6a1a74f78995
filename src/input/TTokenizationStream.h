#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Trim.h"
#include "input/TByteSource.h"
#include "input/TDocMetadata.h"
#include "input/TEnhancedReader.h"
#include "input/THow.h"
#include "input/TTable.h"
#include "input/TToken.h"

namespace tavora {

// Turns a list of files and folders, a byte stream or a text into one sequence of tokens of one
// input format. File boundaries never show; a document begins where IndexInDocument() of a normal
// token is 1 (at every file when the document marker is empty, else at each marker line).
//
// The stream owns one TToken which every read refills: the token and every view obtained from
// it are valid until the next read (ReadToken, or GetEndOfStream, which may read ahead).
//
// Files, streams and standard input are read in the stream's encoding (SetEncoding); the lines
// of a text load are Unicode already. What the stream meets on its way and the front ends should
// tell the user (inputs left out of a folder walk, bytes that are not valid in the encoding) is
// kept as warnings, one line of UTF-8 each, until TakeWarnings.
class TTokenizationStream {
 public:
  // maxItemLength: the longest item the reader takes (see TEnhancedReader::kMaxItemLength).
  explicit TTokenizationStream(THow formatting,
                               std::size_t blockSize = TEnhancedReader::kDefaultBlockSize,
                               std::size_t maxItemLength = TEnhancedReader::kMaxItemLength);
  ~TTokenizationStream();
  TTokenizationStream(const TTokenizationStream&) = delete;
  TTokenizationStream& operator=(const TTokenizationStream&) = delete;

  // The encoding of the files and streams loaded from now on (see TTextDecoder): empty for UTF-8,
  // or UTF-16 after a byte-order mark. Throws TUnknownEncoding for a name no converter answers to.
  void SetEncoding(std::string_view encoding);
  [[nodiscard]] const std::string& GetEncoding() const noexcept { return encoding_; }

  // `fileNames` holds one path per line (CR, LF or CR LF), as PathToUtf16 writes them. A line
  // naming an existing file, FIFO or device adds it; any other line, and always one ending in a
  // path separator, is walked as a folder, recursively, entries in code-point order of their
  // names. The walk takes regular files and folders, each folder once; an entry it cannot take
  // (an unreadable folder, a link to nothing, a loop of links, a FIFO, socket or device) is left
  // out with a warning and kept in GetSkippedEntries(). Appends to the file list and opens its
  // first file. Throws std::runtime_error "Cannot open file "PATH". REASON." when a listed file
  // cannot be opened. A line naming neither an existing file nor an existing folder adds
  // nothing; it is kept in GetMissingEntries() so that a front end can warn about it.
  void LoadFromFiles(std::u16string_view fileNames);
  // What folder walks leave out: called with each entry met inside a walked folder and whether
  // it is a folder; true leaves the entry (a folder with all below it) out. The lines given to
  // LoadFromFiles are never left out. Nothing is left out unless a filter is set.
  using TWalkFilter = std::function<bool(const std::filesystem::path& entry, bool isFolder)>;
  void SetWalkFilter(TWalkFilter filter) { walkFilter_ = std::move(filter); }
  // Reads from a stream that the caller keeps alive until the stream is destroyed or loaded again.
  void LoadFromStream(std::istream& stream);
  // Reads the standard input of the process, as it arrives, like one file without a name.
  void LoadFromStandardInput();
  void LoadFromStringList(const std::vector<std::u16string>& untokenized);
  // Splits the text into lines at CR, LF and CR LF and loads them.
  void LoadFromString(std::u16string_view untokenized);

  // Reads the next token. Returns nullptr when the input was exhausted on entry; otherwise the
  // stream's token, whose IsNormalWord() is false when the read met a structural line or found
  // no further token.
  TToken* ReadToken();
  // Whether the format makes every token of its raw text alone: one value, the word form, with
  // no tag, document marker or structural line (plain text, one word per line, words between
  // white space). Only then can ReadPlainWord be used.
  [[nodiscard]] bool ReadsPlainWords() const noexcept;
  // For such a format: what ReadToken reads, without going through the token. Sets word to the
  // next normal token's text (valid until the next read) and classes to its classes, and
  // advances the token's counters as ReadToken does; returns false at the end of the input.
  bool ReadPlainWord(std::u16string_view& word, TToken::TClasses& classes);
  // ReadToken, then parses the token's values.
  TToken* ReadAndParseToken();

  // Columns counted from 1; the token's custom indexes become the numbers minus 1. Replaces the
  // document marker by `newDocMarker` (empty: every file is one document).
  void SetCustomVerticalFormatting(std::int32_t wordIndex, std::int32_t lemmaIndex,
                                   std::int32_t tagIndex, std::u16string_view newDocMarker);

  // CoNLL-U under the Universal Dependencies conventions: the lines of multiword-token ranges
  // (ID "1-2") and of empty nodes (ID "8.1") are structural lines, so that every syntactic
  // word counts once. Other formats are not affected. Off by default.
  void SetUniversalDependencies(bool on) noexcept { universalDependencies_ = on; }
  // Every file starts a new document, also in a format with a document marker (where a file
  // without one otherwise continues the document of the file before). Off by default.
  void SetDocumentPerFile(bool on) noexcept { documentPerFile_ = on; }

  // True when no further token can be read.
  [[nodiscard]] bool GetEndOfStream() const;

  [[nodiscard]] TToken& GetLastToken() noexcept { return *aToken; }
  [[nodiscard]] const std::u16string& GetNewDocMarker() const noexcept { return aNewDocMarker; }
  [[nodiscard]] TDocMetadata& GetMetadata() noexcept { return *aMetadata; }
  // Tab-separated table for corpus-level metadata; created empty, filled by no operation here.
  [[nodiscard]] TTable& GetCorpusMetadata() noexcept { return *aCorpusMetadata; }
  [[nodiscard]] THow GetHow() const noexcept { return aHow; }
  [[nodiscard]] const std::vector<std::filesystem::path>& GetListOfFiles() const noexcept {
    return aListOfFiles;
  }
  // The lines given to LoadFromFiles that named nothing existing, in the order given.
  [[nodiscard]] const std::vector<std::filesystem::path>& GetMissingEntries() const noexcept {
    return missingEntries_;
  }
  // The entries of walked folders that were left out, in the order met.
  [[nodiscard]] const std::vector<std::filesystem::path>& GetSkippedEntries() const noexcept {
    return skippedEntries_;
  }

  // Whether warnings wait to be taken.
  [[nodiscard]] bool HasWarnings() const noexcept { return !warnings_.empty(); }
  // The warnings so far, in the order met, and no more of them; once the stream has met its end
  // (GetEndOfStream) also the last input's.
  [[nodiscard]] std::vector<std::string> TakeWarnings();

  // Gives back the memory that a long item took once the caller has copied the token; the
  // token is invalid afterwards, until the next read.
  void ReleaseMemory();

  // Progress: bytes read so far across all inputs, and the total size of the inputs (sum of the
  // listed files' sizes, or the size of the loaded text; 0 when unknown: a stream, FIFO or
  // device among them).
  [[nodiscard]] std::uint64_t GetBytesRead() const noexcept;
  [[nodiscard]] std::uint64_t GetTotalBytes() const noexcept { return totalBytes_; }

 private:
  void OpenFile(std::size_t index);
  // Opens the file after the current one and starts its counts (and its document, as the
  // format's marker and SetDocumentPerFile say).
  void OpenNextFile();
  // A raw item without U+FEFF (a byte-order mark, or a stray one), wherever it stands, and
  // trimmed of control characters and spaces; may be a view of cleaned_. Inline: it runs for
  // every item.
  std::u16string_view Cleaned(std::u16string_view raw) {
    if (aStream->LastItemMayContainFEFF() && raw.find(u'\uFEFF') != std::u16string_view::npos)
      raw = WithoutFEFF(raw);
    return raw.empty() || (raw.front() > 32 && raw.back() > 32) ? raw : TrimControl(raw);
  }
  std::u16string_view WithoutFEFF(std::u16string_view raw);
  // Counts a normal word in the document, file and corpus.
  void CountNormalWord() noexcept {
    ++aToken->aIndexInDoc;
    ++aToken->aIndexInFile;
    ++aToken->aIndexInCorpus;
  }
  void StartReader(std::unique_ptr<TEnhancedReader> reader);
  // Reads from a source other than the file list, in `encoding`.
  void LoadSource(std::unique_ptr<TByteSource> source, std::string_view encoding);
  // Warns once about the current reader's bytes that were not valid in its encoding.
  void NoteReplacements();
  std::u16string_view ReadRawItem();

  std::unique_ptr<TEnhancedReader> aStream;
  std::vector<std::filesystem::path> aListOfFiles;
  std::vector<std::filesystem::path> missingEntries_;
  TWalkFilter walkFilter_;
  std::unique_ptr<TToken> aToken;
  std::unique_ptr<TDocMetadata> aMetadata;
  std::unique_ptr<TTable> aCorpusMetadata;
  std::u16string aNewDocMarker;
  THow aHow;
  const TInputFormat& format_;  // aHow's row

  std::size_t blockSize_;
  std::size_t maxItemLength_;
  std::string encoding_;
  std::int64_t fileCount_ = 0;  // aListOfFiles.size(), compared on every read
  std::uint64_t totalBytes_ = 0;
  std::vector<std::filesystem::path> skippedEntries_;
  std::vector<std::string> warnings_;
  bool replacementsNoted_ = false;  // for the current reader
  std::uint64_t bytesOfClosedInputs_ = 0;
  std::u16string cleaned_;  // scratch for U+FEFF removal
  bool universalDependencies_ = false;
  bool documentPerFile_ = false;
};

}  // namespace tavora
