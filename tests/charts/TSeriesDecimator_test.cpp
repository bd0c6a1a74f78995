#include "charts/TSeriesDecimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavora {
namespace {

std::vector<double> Ids(std::size_t n) {
  std::vector<double> xs(n);
  for (std::size_t i = 0; i < n; ++i) xs[i] = static_cast<double>(i + 1);
  return xs;
}

TEST(TSeriesDecimator, ShortSeriesAreKeptWhole) {
  const std::vector<double> xs = Ids(5);
  const std::vector<double> ys = {1, 2, std::numeric_limits<double>::quiet_NaN(), 4, INFINITY};
  const auto points = TSeriesDecimator::Decimate(xs, ys, 1, 5, 10);
  EXPECT_EQ(points, (std::vector<TSeriesPoint>{{1, 1}, {2, 2}, {4, 4}}));
}

// A million windows reduced to 100 columns keep every column's extremes, spikes included.
TEST(TSeriesDecimator, MinAndMaxOfEveryColumnAreKept) {
  const std::size_t n = 1'000'000;
  const std::vector<double> xs = Ids(n);
  std::vector<double> ys(n);
  for (std::size_t i = 0; i < n; ++i) ys[i] = std::sin(static_cast<double>(i) / 1000.0);
  ys[123'456] = 50;   // a single spike
  ys[876'543] = -50;  // a single trough
  const std::size_t columns = 100;
  const auto points = TSeriesDecimator::Decimate(xs, ys, 1, static_cast<double>(n), columns);
  ASSERT_LE(points.size(), 2 * columns + 2);
  for (std::size_t i = 1; i < points.size(); ++i) EXPECT_LT(points[i - 1].X, points[i].X);
  // Every column's min and max appear among the points.
  const double width = (static_cast<double>(n) - 1) / columns;
  for (std::size_t c = 0; c < columns; ++c) {
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t i = 0; i < n; ++i) {
      const double col = std::floor((xs[i] - 1) / width);
      if (static_cast<std::size_t>(std::min<double>(col, columns - 1)) != c) continue;
      lo = std::min(lo, ys[i]);
      hi = std::max(hi, ys[i]);
    }
    bool foundLo = false, foundHi = false;
    for (const TSeriesPoint& p : points) {
      foundLo = foundLo || p.Y == lo;
      foundHi = foundHi || p.Y == hi;
    }
    EXPECT_TRUE(foundLo && foundHi) << "column " << c;
  }
  bool spike = false, trough = false;
  for (const TSeriesPoint& p : points) {
    spike = spike || (p.X == 123'457 && p.Y == 50);
    trough = trough || (p.X == 876'544 && p.Y == -50);
  }
  EXPECT_TRUE(spike);
  EXPECT_TRUE(trough);
}

TEST(TSeriesDecimator, ZoomedRangeKeepsOneNeighbourEachSide) {
  const std::vector<double> xs = Ids(1000);
  std::vector<double> ys(1000, 1.0);
  const auto points = TSeriesDecimator::Decimate(xs, ys, 100, 110, 50);
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(points.front().X, 99);
  EXPECT_EQ(points.back().X, 111);
  EXPECT_EQ(points.size(), 13u);
  EXPECT_THROW((void)TSeriesDecimator::Decimate(xs, {1.0}, 0, 1, 1), std::invalid_argument);
}

}  // namespace
}  // namespace tavora
