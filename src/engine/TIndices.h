#pragma once

// Further lexical-diversity indices of one whole text (MTLD, HD-D, Yule's K, ...), fed the
// same strings as a kind's moving-window engine. Types are interned to dense ids per text;
// the text is kept only as its sequence of ids (4 bytes a token), and only when a chosen
// index walks the sequence (the MTLD family, MSTTR). Clear empties everything for the next
// text. Undefined values come out as IEEE values (NaN, Inf, -Inf) as the formulas give
// them, except where an index is defined as NaN (see Values). Nothing here reads or writes
// files: a caller with a list of tokens gets the values from Compute.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Indices.h"
#include "engine/TTypeIndex.h"

namespace tavora {

class TIndices {
 public:
  // LagLength: the run's window length, the segment length of MSTTR (at least 1).
  // Throws std::invalid_argument for a LagLength of 0 or variants out of their range.
  TIndices(TIndexSet Indices, std::uint32_t LagLength, const TIndexVariants& Variants = {});

  // The values of the chosen indices for one text given as its tokens.
  [[nodiscard]] static TIndexValues Compute(const std::vector<std::u16string>& Tokens,
                                            TIndexSet Indices, std::uint32_t LagLength,
                                            const TIndexVariants& Variants = {});

  // Feeds one token of the current text; an empty token is ignored, as the engine does.
  void AddToken(std::u16string_view Token);
  // The same with the token's hash already computed (TTypeIndex::Hashed(Token)).
  void AddToken(std::u16string_view Token, const TTypeIndex::THashed* Hashed);
  // Starts a new text.
  void Clear();

  // The values of the chosen indices for the text since the last Clear; the others are
  // NaN. MTLD is NaN when no token or no factor was counted, HD-D when the text has fewer
  // tokens than the sample, MSTTR when it has fewer than LagLength tokens, the MTLD-MA
  // family when no factor completed, vocd-D when the text has fewer than 50 tokens.
  [[nodiscard]] TIndexValues Values() const;
  // For each chosen index in column order: sep, uv, the value written with its digits, uv.
  void AppendToLine(std::u16string& out, std::u16string_view sep, std::u16string_view uv) const;

  [[nodiscard]] TIndexSet GetIndices() const { return aIndices; }
  [[nodiscard]] std::uint32_t GetLagLength() const { return aLagLength; }
  [[nodiscard]] const TIndexVariants& GetVariants() const { return variants_; }
  [[nodiscard]] std::uint64_t NumberOfTokens() const { return tokens_; }
  [[nodiscard]] std::size_t NumberOfTypes() const { return counts_.size(); }

 private:
  // vocd-D (one trial) and the mean of three trials, whichever are chosen.
  void VocdValues(TIndexValues& v) const;

  TIndexSet aIndices;
  std::uint32_t aLagLength;
  TIndexVariants variants_;
  bool keepSequence_;
  TTypeIndex types_;
  std::vector<std::uint64_t> counts_;  // occurrences of each type id in the text
  std::vector<std::uint32_t> ids_;     // the text as type ids (only with keepSequence_)
  std::uint64_t tokens_ = 0;
};

}  // namespace tavora
