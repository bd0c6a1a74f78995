#include "engine/TVocdD.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tavora {

TVocdD::TVocdD(std::vector<std::uint32_t> Population, std::size_t TypeCount, std::uint64_t Seed)
    : population_(std::move(Population)), mark_(TypeCount, 0), random_(Seed) {}

std::uint32_t TVocdD::SampleTypes(std::uint32_t Size) {
  const std::size_t n = population_.size();
  ++sample_;
  std::uint32_t types = 0;
  for (std::size_t i = 0; i < Size; ++i) {
    const std::size_t j = i + static_cast<std::size_t>(random_.Below(n - i));
    std::swap(population_[i], population_[j]);
    std::uint32_t& mark = mark_[population_[i]];
    if (mark != sample_) {
      mark = sample_;
      ++types;
    }
  }
  return types;
}

double TVocdD::NextTrial() {
  if (population_.size() < kLargestSample) return std::numeric_limits<double>::quiet_NaN();
  std::array<double, kSizes> meanTtr{};
  for (std::size_t k = 0; k < kSizes; ++k) {
    const auto size = static_cast<std::uint32_t>(kSmallestSample + k);
    std::uint64_t types = 0;
    for (std::uint32_t s = 0; s < kSamplesPerSize; ++s) types += SampleTypes(size);
    meanTtr[k] = static_cast<double>(types) / (static_cast<double>(kSamplesPerSize) * size);
  }
  return FitD(meanTtr);
}

double TVocdD::FitD(const std::array<double, kSizes>& MeanTtr) {
  // In x = 1 / D the curve reads TTR = 2 / (1 + sqrt(1 + 2 N x)), which stays exact for
  // large D. One size alone is fitted by x = 2 (1 - t) / (N t^2); the least-squares x lies
  // between the smallest and the largest of these, where the slope of the sum of squares
  // changes sign. Bisection finds it using only +, -, *, / and sqrt, which IEEE arithmetic
  // rounds the same way everywhere.
  double lo = std::numeric_limits<double>::infinity(), hi = 0;
  for (std::size_t k = 0; k < kSizes; ++k) {
    const double n = static_cast<double>(kSmallestSample + k), t = MeanTtr[k];
    const double x = 2 * (1 - t) / (n * t * t);
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  // The sign of d/dx of the sum of squares.
  const auto slope = [&MeanTtr](double x) {
    double sum = 0;
    for (std::size_t k = 0; k < kSizes; ++k) {
      const double n = static_cast<double>(kSmallestSample + k);
      const double s = std::sqrt(1 + 2 * n * x);
      sum += (MeanTtr[k] - 2 / (1 + s)) * n / (s * (1 + s) * (1 + s));
    }
    return sum;
  };
  for (int step = 0; step < 200; ++step) {
    const double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) break;
    (slope(mid) < 0 ? lo : hi) = mid;
  }
  return 1 / (lo + (hi - lo) / 2);
}

}  // namespace tavora
