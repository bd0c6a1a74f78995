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
// it are valid until the next read.
class TTokenizationStream {
 public:
  explicit TTokenizationStream(THow formatting,
                               std::size_t blockSize = TEnhancedReader::kDefaultBlockSize);
  ~TTokenizationStream();
  TTokenizationStream(const TTokenizationStream&) = delete;
  TTokenizationStream& operator=(const TTokenizationStream&) = delete;

  // `fileNames` holds one path per line (CR, LF or CR LF). A line naming an existing file adds it;
  // any other line, and always one ending in a path separator, is walked as a folder, recursively,
  // entries in code-point order of their names. Appends to the file list and opens its first file.
  // Throws std::runtime_error "Cannot open file "PATH". REASON." when a listed file cannot be
  // opened. A line naming neither an existing file nor an existing folder adds nothing; it is kept
  // in GetMissingEntries() so that a front end can warn about it.
  void LoadFromFiles(std::u16string_view fileNames);
  // What folder walks leave out: called with each entry met inside a walked folder and whether
  // it is a folder; true leaves the entry (a folder with all below it) out. The lines given to
  // LoadFromFiles are never left out. Nothing is left out unless a filter is set.
  using TWalkFilter = std::function<bool(const std::filesystem::path& entry, bool isFolder)>;
  void SetWalkFilter(TWalkFilter filter) { walkFilter_ = std::move(filter); }
  // Reads from a stream that the caller keeps alive until the stream is destroyed or loaded again.
  void LoadFromStream(std::istream& stream);
  void LoadFromStringList(const std::vector<std::u16string>& untokenized);
  // Splits the text into lines at CR, LF and CR LF and loads them.
  void LoadFromString(std::u16string_view untokenized);

  // Reads the next token. Returns nullptr when the input was exhausted on entry; otherwise the
  // stream's token, whose IsNormalWord() is false when the read met a structural line or found
  // no further token.
  TToken* ReadToken();
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

  // Progress: bytes read so far across all inputs, and the total size of the inputs (sum of the
  // listed files' sizes, or the size of the loaded text; 0 for LoadFromStream).
  [[nodiscard]] std::uint64_t GetBytesRead() const noexcept;
  [[nodiscard]] std::uint64_t GetTotalBytes() const noexcept { return totalBytes_; }

 private:
  void OpenFile(std::size_t index);
  void StartReader(std::unique_ptr<TEnhancedReader> reader);
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
  std::unique_ptr<std::istream> ownedInput_;  // memory stream of a string load
  std::int64_t fileCount_ = 0;                // aListOfFiles.size(), compared on every read
  std::vector<std::uint64_t> fileSizes_;
  std::uint64_t totalBytes_ = 0;
  std::uint64_t bytesOfClosedInputs_ = 0;
  std::u16string cleaned_;  // scratch for U+FEFF removal
  bool universalDependencies_ = false;
  bool documentPerFile_ = false;
};

}  // namespace tavora
