#pragma once

// A signed integer wide enough for exact sums of products of two 64-bit counts (a text
// of 2^40 tokens against a list of 2^60): the compiler's 128-bit integer where it has
// one (GCC, Clang), else long double, exact below 2^64 where its mantissa has 64 bits
// and below 2^53 where it is a double.

#include <cstdint>
#include <limits>

namespace tavora {

#if defined(__SIZEOF_INT128__)
__extension__ using TWideInt = __int128;
#else
using TWideInt = long double;
#endif

[[nodiscard]] inline double WideToDouble(TWideInt v) {
  return static_cast<double>(static_cast<long double>(v));
}

// a * b / k as one division of exact integers, Inf for k = 0. While a * b and
// |k| stay within 2^53 both are exact doubles and the quotient is correctly
// rounded (ties to even), which covers windows of up to 10^6 tokens against
// lists of up to 9 * 10^9 tokens. Beyond that the operands go through long
// double, exact below 2^64 where it has a 64-bit mantissa (x86 GCC and Clang);
// where long double is double they are rounded once before dividing.
[[nodiscard]] inline double IntegerRatio(std::uint64_t a, std::uint64_t b, TWideInt k) {
  if (k == 0) return std::numeric_limits<double>::infinity();
  constexpr std::uint64_t kExact = std::uint64_t{1} << 53;
  const TWideInt magnitude = k < 0 ? -k : k;
  if (magnitude <= static_cast<TWideInt>(kExact) && (b == 0 || a <= kExact / b))
    return static_cast<double>(a * b) / WideToDouble(k);
  return static_cast<double>(static_cast<long double>(a) * static_cast<long double>(b) /
                             static_cast<long double>(k));
}

}  // namespace tavora
