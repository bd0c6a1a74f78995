#include "engine/TEditDistance.h"

#include <algorithm>
#include <numeric>

namespace tavora {

namespace {

std::uint32_t TwoRows(std::u16string_view a, std::u16string_view b,
                      std::vector<std::uint32_t>& row) {
  // row holds one row of the table over a; the previous row's diagonal is kept aside.
  row.resize(a.size() + 1);
  std::iota(row.begin(), row.end(), 0u);
  for (std::size_t j = 1; j <= b.size(); ++j) {
    std::uint32_t diagonal = row[0];
    row[0] = static_cast<std::uint32_t>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
      std::uint32_t up = row[i];
      std::uint32_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      row[i] = std::min({row[i] + 1, row[i - 1] + 1, diagonal + cost});
      diagonal = up;
    }
  }
  return row[a.size()];
}

double Relative(std::uint32_t distance, std::size_t a, std::size_t b) {
  std::size_t longer = std::max(a, b);
  return longer == 0 ? 0.0 : static_cast<double>(distance) / static_cast<double>(longer);
}

}  // namespace

std::uint32_t Levenshtein(std::u16string_view a, std::u16string_view b) {
  std::vector<std::uint32_t> row;
  return TwoRows(a, b, row);
}

double RelativeEditDistance(std::u16string_view a, std::u16string_view b) {
  return Relative(Levenshtein(a, b), a.size(), b.size());
}

TEditDistance::TEditDistance() : peq_(0x10000, 0) {}

void TEditDistance::SetPattern(std::u16string_view pattern) {
  for (std::size_t i = 0; i < markedCount_; ++i) peq_[marked_[i]] = 0;
  markedCount_ = 0;
  pattern_ = pattern;
  if (pattern_.size() <= 64) {
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
      peq_[pattern_[i]] |= std::uint64_t{1} << i;
      marked_[markedCount_++] = pattern_[i];
    }
  } else {
    row_.resize(pattern_.size() + 1);
  }
}

std::uint32_t TEditDistance::DistanceTo(std::u16string_view text) {
  const std::size_t m = pattern_.size();
  if (m == 0) return static_cast<std::uint32_t>(text.size());
  if (m > 64) return TwoRows(pattern_, text, row_);
  // Bit-parallel Levenshtein (Myers, Hyyrö): vertical deltas of one column
  // over the pattern, advanced one text unit at a time.
  std::uint64_t pv = ~std::uint64_t{0};
  std::uint64_t mv = 0;
  const std::uint64_t last = std::uint64_t{1} << (m - 1);
  std::uint32_t score = static_cast<std::uint32_t>(m);
  for (char16_t c : text) {
    const std::uint64_t eq = peq_[c];
    const std::uint64_t xv = eq | mv;
    const std::uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
    std::uint64_t ph = mv | ~(xh | pv);
    std::uint64_t mh = pv & xh;
    if (ph & last) {
      ++score;
    } else if (mh & last) {
      --score;
    }
    ph = (ph << 1) | 1;
    mh <<= 1;
    pv = mh | ~(xv | ph);
    mv = ph & xv;
  }
  return score;
}

double TEditDistance::RelativeTo(std::u16string_view text) {
  return Relative(DistanceTo(text), pattern_.size(), text.size());
}

}  // namespace tavora
