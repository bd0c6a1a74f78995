#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/THow.h"

namespace tavora {

class TTokenizationStream;

// One token of a token stream. The stream owns exactly one token and refills it on every read,
// so a token is a cursor: its raw text and every string_view returned by a getter stay valid
// only until the next read (or the next SetRaw). Copy what you keep.
class TToken {
 public:
  TToken() = default;
  explicit TToken(THow how) : How(how) {}

  // The input format; set once by the owning stream.
  THow How = THow::JStandard;

  // Zero-based columns of word, lemma and tag for jCustomVertical (set by the stream's
  // SetCustomVerticalFormatting). An index outside the line yields empty text.
  std::int32_t CustomIndexWord = 0;
  std::int32_t CustomIndexLemma = 0;
  std::int32_t CustomIndexTag = 0;

  // Replaces the raw text by a copy of `raw` (tests do this; the stream lends its reader's text
  // instead, without copying).
  void SetRaw(std::u16string_view raw);
  [[nodiscard]] std::u16string_view GetRaw() const noexcept { return aRaw; }

  // The values parsed out of the raw text as How's row says: the whole text (plain formats), the
  // tab-separated columns (vertical formats, CoNLL-U), or the attribute values and element text
  // (BNC). Parsed once per raw text and cached.
  [[nodiscard]] const std::vector<std::u16string_view>& GetParsed() const;

  // Word form, lemma, tag and part of speech chosen from the parsed values by the columns of
  // How's row in kInputFormats; empty text where the line has no such value.
  [[nodiscard]] std::u16string_view GetWord() const;
  [[nodiscard]] std::u16string_view GetLemma() const;
  [[nodiscard]] std::u16string_view GetTag() const;
  [[nodiscard]] std::u16string_view GetPOS() const;

  [[nodiscard]] bool GetIsPunctuation() const;
  [[nodiscard]] bool GetIsDigit() const;
  // Both tests in one pass over the word form.
  struct TClasses {
    bool IsPunctuation = false;
    bool IsDigit = false;
  };
  [[nodiscard]] TClasses GetClasses() const { return Classify(GetWord(), GetTag()); }
  // The same for a word form and tag already taken from a token.
  [[nodiscard]] static TClasses Classify(std::u16string_view word,
                                         std::u16string_view tag) noexcept;
  // The same for a word without a tag whose characters' class bits (letters_detail) are known.
  [[nodiscard]] static TClasses ClassesOf(std::uint8_t classBits,
                                          std::u16string_view word) noexcept;

  // False for a structural line (markup of a vertical file, CoNLL-U comment) and after a read
  // that produced no token.
  [[nodiscard]] bool IsNormalWord() const noexcept { return aIsNormalWord; }
  // Normal tokens read so far in the current document, this one included; 0 after a document
  // marker line and before the document's first normal token.
  [[nodiscard]] std::uint64_t IndexInDocument() const noexcept { return aIndexInDoc; }
  // Bytes the reader had taken from the current input when this token's read began.
  [[nodiscard]] std::uint64_t PositionInFile() const noexcept { return aPositionInFile; }
  [[nodiscard]] std::uint64_t IndexInFile() const noexcept { return aIndexInFile; }
  [[nodiscard]] std::uint64_t IndexInCorpus() const noexcept { return aIndexInCorpus; }

 private:
  friend class TTokenizationStream;

  std::u16string_view Value(std::int32_t zeroBasedIndex) const;
  // The field that `column` of the format's row names; chosenIndex: the user's column.
  std::u16string_view Field(const TColumn& column, std::int32_t chosenIndex) const;
  // A column with a minimum number of values or trimming (BNC); kept out of the common path.
  std::u16string_view ConditionalField(const TColumn& column) const;

  // The raw text, lent by the stream until its next read, or a copy held in own_.
  void LendRaw(std::u16string_view raw) noexcept {
    aRaw = raw;
    IsParsed_ = false;
  }

  bool aIsNormalWord = true;
  std::u16string_view aRaw;
  std::u16string own_;
  std::uint64_t aIndexInFile = 0;
  std::uint64_t aPositionInFile = 0;
  std::uint64_t aIndexInCorpus = 0;
  std::uint64_t aIndexInDoc = 0;

  // Cache of GetParsed: views into aRaw, valid while IsParsed_ holds.
  mutable std::vector<std::u16string_view> aParsed;
  mutable bool IsParsed_ = false;
};

}  // namespace tavora
