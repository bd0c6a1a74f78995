#pragma once

// Further lexical-diversity indices of one whole text (MTLD, HD-D, Yule's K, ...), fed the
// same strings as a kind's moving-window engine. Types are interned to dense ids per text;
// the text is kept only as its sequence of ids (4 bytes a token), and only when a chosen
// index walks the sequence (MTLD, MTLD-MA, MSTTR). Clear empties everything for the next
// text. Undefined values come out as IEEE values (NaN, Inf, -Inf) as the formulas give
// them, except where an index is defined as NaN (see Values).

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
  TIndices(TIndexSet Indices, std::uint32_t LagLength);

  // Feeds one token of the current text; an empty token is ignored, as the engine does.
  void AddToken(std::u16string_view Token);
  // Starts a new text.
  void Clear();

  // The values of the chosen indices for the text since the last Clear; the others are
  // NaN. MTLD is NaN when no token or no factor was counted, HD-D when the text has fewer
  // than 42 tokens, MSTTR when it has fewer than LagLength tokens, MTLD-MA when no factor
  // completed.
  [[nodiscard]] TIndexValues Values() const;
  // For each chosen index in column order: sep, uv, the value written with its digits, uv.
  void AppendToLine(std::u16string& out, std::u16string_view sep, std::u16string_view uv) const;

  [[nodiscard]] TIndexSet GetIndices() const { return aIndices; }
  [[nodiscard]] std::uint32_t GetLagLength() const { return aLagLength; }
  [[nodiscard]] std::uint64_t NumberOfTokens() const { return tokens_; }
  [[nodiscard]] std::size_t NumberOfTypes() const { return counts_.size(); }

 private:
  TIndexSet aIndices;
  std::uint32_t aLagLength;
  bool keepSequence_;
  TTypeIndex types_;
  std::vector<std::uint64_t> counts_;  // occurrences of each type id in the text
  std::vector<std::uint32_t> ids_;     // the text as type ids (only with keepSequence_)
  std::uint64_t tokens_ = 0;
};

}  // namespace tavora
