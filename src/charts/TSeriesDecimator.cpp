#include "charts/TSeriesDecimator.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tavora {

std::vector<TSeriesPoint> TSeriesDecimator::Decimate(const std::vector<double>& Xs,
                                                     const std::vector<double>& Ys, double x0,
                                                     double x1, std::size_t columns) {
  if (Xs.size() != Ys.size())
    throw std::invalid_argument("TSeriesDecimator: x and y differ in length");
  std::vector<TSeriesPoint> out;
  if (Xs.empty() || !(x0 <= x1)) return out;
  // The range, widened by one point on either side.
  std::size_t first =
      static_cast<std::size_t>(std::lower_bound(Xs.begin(), Xs.end(), x0) - Xs.begin());
  std::size_t last =
      static_cast<std::size_t>(std::upper_bound(Xs.begin(), Xs.end(), x1) - Xs.begin());
  if (first > 0) --first;
  if (last < Xs.size()) ++last;
  const auto usable = [&](std::size_t i) { return std::isfinite(Ys[i]) && std::isfinite(Xs[i]); };

  if (columns == 0 || last - first <= 2 * columns) {
    for (std::size_t i = first; i < last; ++i)
      if (usable(i)) out.push_back({Xs[i], Ys[i]});
    return out;
  }

  out.reserve(2 * columns + 2);
  const double width = (x1 - x0) / static_cast<double>(columns);
  std::size_t i = first;
  // The widening points lie outside [x0, x1]; they are kept as they are.
  if (Xs[i] < x0) {
    if (usable(i)) out.push_back({Xs[i], Ys[i]});
    ++i;
  }
  std::size_t end = last;
  const bool tail = end > i && Xs[end - 1] > x1;
  if (tail) --end;
  while (i < end) {
    const double offset = width > 0 ? (Xs[i] - x0) / width : 0;
    const std::size_t column =
        std::min(columns - 1, static_cast<std::size_t>(std::max(0.0, offset)));
    const double columnEnd =
        column + 1 == columns ? x1 : x0 + width * static_cast<double>(column + 1);
    std::size_t lo = end;
    std::size_t hi = end;
    // The column's first point is always taken, so rounding at a border cannot stall.
    for (std::size_t start = i;
         i < end && (i == start || Xs[i] < columnEnd || column + 1 == columns); ++i) {
      if (!usable(i)) continue;
      if (lo == end || Ys[i] < Ys[lo]) lo = i;
      if (hi == end || Ys[i] > Ys[hi]) hi = i;
    }
    if (lo == end) continue;
    const std::size_t a = std::min(lo, hi);
    const std::size_t b = std::max(lo, hi);
    out.push_back({Xs[a], Ys[a]});
    if (b != a) out.push_back({Xs[b], Ys[b]});
  }
  if (tail && usable(last - 1)) out.push_back({Xs[last - 1], Ys[last - 1]});
  return out;
}

}  // namespace tavora
