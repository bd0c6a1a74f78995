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

namespace {

// One column of the bit-parallel computation: its vertical deltas and the
// distance at the pattern's last row.
struct TColumn {
  std::uint64_t pv = ~std::uint64_t{0};
  std::uint64_t mv = 0;
  std::uint32_t score = 0;
};

// Advances a column by one text unit whose pattern mask is eq. A horizontal
// delta is never +1 and -1 at once, so the score moves by at most one.
inline void Step(TColumn& col, std::uint64_t eq, std::uint64_t last) {
  const std::uint64_t xv = eq | col.mv;
  const std::uint64_t xh = (((eq & col.pv) + col.pv) ^ col.pv) | eq;
  std::uint64_t ph = col.mv | ~(xh | col.pv);
  std::uint64_t mh = col.pv & xh;
  col.score += static_cast<std::uint32_t>((ph & last) != 0);
  col.score -= static_cast<std::uint32_t>((mh & last) != 0);
  ph = (ph << 1) | 1;
  mh <<= 1;
  col.pv = mh | ~(xv | ph);
  col.mv = ph & xv;
}

}  // namespace

void TEditDistance::RelativeToMany(const std::u16string_view* texts, std::size_t count,
                                   double* out) {
  const std::size_t m = pattern_.size();
  std::size_t i = 0;
  if (m >= 1 && m <= 64) {
    const std::uint64_t last = std::uint64_t{1} << (m - 1);
    const std::uint64_t* peq = peq_.data();
    for (; i + 4 <= count; i += 4) {
      const std::u16string_view t0 = texts[i], t1 = texts[i + 1], t2 = texts[i + 2],
                                t3 = texts[i + 3];
      TColumn c0, c1, c2, c3;
      c0.score = c1.score = c2.score = c3.score = static_cast<std::uint32_t>(m);
      const std::size_t common = std::min({t0.size(), t1.size(), t2.size(), t3.size()});
      for (std::size_t k = 0; k < common; ++k) {
        Step(c0, peq[t0[k]], last);
        Step(c1, peq[t1[k]], last);
        Step(c2, peq[t2[k]], last);
        Step(c3, peq[t3[k]], last);
      }
      for (std::size_t k = common; k < t0.size(); ++k) Step(c0, peq[t0[k]], last);
      for (std::size_t k = common; k < t1.size(); ++k) Step(c1, peq[t1[k]], last);
      for (std::size_t k = common; k < t2.size(); ++k) Step(c2, peq[t2[k]], last);
      for (std::size_t k = common; k < t3.size(); ++k) Step(c3, peq[t3[k]], last);
      out[i] = Relative(c0.score, m, t0.size());
      out[i + 1] = Relative(c1.score, m, t1.size());
      out[i + 2] = Relative(c2.score, m, t2.size());
      out[i + 3] = Relative(c3.score, m, t3.size());
    }
  }
  for (; i < count; ++i) out[i] = RelativeTo(texts[i]);
}

double TEditDistance::RelativeTo(std::u16string_view text) {
  return Relative(DistanceTo(text), pattern_.size(), text.size());
}

}  // namespace tavora
