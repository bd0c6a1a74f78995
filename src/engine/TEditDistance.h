#pragma once

// Relative edit distance of two texts: the Levenshtein distance over UTF-16 code
// units (insertion, deletion and substitution cost 1) divided by the larger
// length; 0 for two empty texts.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tavora {

// Plain two-row computation; the reference the fast path is checked against.
[[nodiscard]] std::uint32_t Levenshtein(std::u16string_view a, std::u16string_view b);
[[nodiscard]] double RelativeEditDistance(std::u16string_view a, std::u16string_view b);

// Distances from one fixed pattern to many texts without allocation per call:
// bit-parallel for patterns of at most 64 code units, two rows otherwise.
class TEditDistance {
 public:
  TEditDistance();
  // The pattern's characters must stay valid while DistanceTo is used with it.
  void SetPattern(std::u16string_view pattern);
  [[nodiscard]] std::uint32_t DistanceTo(std::u16string_view text);
  [[nodiscard]] double RelativeTo(std::u16string_view text);
  // RelativeTo for count texts at once, out[i] for texts[i]; the same values.
  // Short patterns advance four texts in one loop: their columns are
  // independent, so the processor overlaps them.
  void RelativeToMany(const std::u16string_view* texts, std::size_t count, double* out);

 private:
  std::vector<std::uint64_t> peq_;  // bit i set where pattern[i] == unit
  std::vector<std::uint32_t> row_;
  std::u16string_view pattern_;
  // The units whose masks are set, cleared at the next SetPattern (own copy,
  // since the pattern's storage may be gone by then).
  std::array<char16_t, 64> marked_{};
  std::size_t markedCount_ = 0;
};

}  // namespace tavora
