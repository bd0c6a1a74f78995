#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/THow.h"

namespace tavora {

class TTokenizationStream;

// The header line of the current document and the name and number of the current input file.
class TDocMetadata {
 public:
  TDocMetadata() = default;
  explicit TDocMetadata(THow how) : How(how) {}

  THow How = THow::JStandard;

  // Stores a new document-marker line (already cleaned); the header is parsed again on demand.
  void SetRaw(std::u16string_view raw);
  [[nodiscard]] const std::u16string& GetRaw() const noexcept { return aRaw; }
  [[nodiscard]] bool IsParsed() const noexcept { return aIsParsed; }

  // Values of the current header: attribute values in order (jSYN, jCustomVertical), the
  // document id (jCONLLU), nothing for other formats.
  [[nodiscard]] const std::vector<std::u16string>& GetParsed();
  // Names of the header items, in the order of their values.
  [[nodiscard]] const std::vector<std::u16string>& GetHeader();
  // Value of the named header item (name compared ignoring ASCII case); empty when absent.
  [[nodiscard]] std::u16string Find(std::u16string_view headerItem);

  // The id of the current document as the format gives it (THow.h, TDocumentId): the id
  // attribute of a vertical header, the id of "# newdoc id = X", the text after COCA's
  // "##", the xml:id of a BNC file's bncDoc element; empty where the input gives none.
  [[nodiscard]] std::u16string GetDocumentId();
  // Markup that a BNC reader skipped: takes the id of a bncDoc start tag in it.
  void NoteSkippedMarkup(std::u16string_view markup);

  // Path of the file being read; empty for a stream or string load.
  [[nodiscard]] const std::u16string& GetFileName() const noexcept { return aFileName; }
  // Number of the file being read, counted from 1; 1 for a stream or string load.
  [[nodiscard]] std::int64_t GetFileIndex() const noexcept { return aFileIndex; }

 private:
  friend class TTokenizationStream;

  bool aIsParsed = false;
  std::vector<std::u16string> aParsed;
  std::vector<std::u16string> aHeader;
  std::u16string aRaw;
  std::u16string aFileName;
  std::int64_t aFileIndex = 0;
  std::u16string fileDocumentId_;  // the BNC file's id; emptied when a file is opened
};

}  // namespace tavora
