#include "engine/Power.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tavora {

namespace {

double IntPower(double base, std::int64_t exponent) {
  std::uint64_t n =
      exponent < 0 ? static_cast<std::uint64_t>(-exponent) : static_cast<std::uint64_t>(exponent);
  double result = 1.0;
  while (n != 0) {
    if (n & 1u) result *= base;
    base *= base;
    n >>= 1;
  }
  return exponent < 0 ? 1.0 / result : result;
}

}  // namespace

double Power(double x, double y) {
  if (y == 0) return 1.0;
  if (x == 0 && y > 0) return 0.0;
  if (std::isfinite(y) && y == std::trunc(y)) {
    if (std::fabs(y) <= 2147483648.0) {
      return IntPower(x, static_cast<std::int64_t>(y));
    }
    return std::pow(x, y);
  }
  if (x < 0) return std::numeric_limits<double>::quiet_NaN();
  return std::exp(y * std::log(x));
}

}  // namespace tavora
