#pragma once

#include <cstddef>
#include <vector>

namespace tavora {

struct TSeriesPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TSeriesPoint&) const = default;
};

// Reduces a long series to what a chart of a given width can show: the points within
// an x range are split into equal-width columns, and each column keeps its lowest and
// its highest point, in their order along x. Peaks and troughs therefore survive, however
// many points share a pixel.
class TSeriesDecimator {
 public:
  // Xs ascending, Ys of the same length. Keeps the points with x in [x0, x1] and the
  // nearest point outside on either side (so lines reach the edges); NaN and infinite
  // values are left out. When no more than 2 * columns points remain, all are kept.
  [[nodiscard]] static std::vector<TSeriesPoint> Decimate(const std::vector<double>& Xs,
                                                          const std::vector<double>& Ys, double x0,
                                                          double x1, std::size_t columns);
};

}  // namespace tavora
