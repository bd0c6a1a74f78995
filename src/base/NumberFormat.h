#pragma once

// The one number-to-text conversion for measure values. Independent of the
// user's locale: "." as decimal separator, no thousands separator.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavora {

// How measure values are written: Fixed with the digits of each measure, or Full, the
// shortest decimal text that reads back to the same double.
enum class TPrecision : std::uint8_t { Fixed, Full };
// Their names on the command line and in run records, in TPrecision order.
inline constexpr std::array<std::string_view, 2> kPrecisionNames = {"fixed", "full"};
[[nodiscard]] constexpr std::string_view PrecisionName(TPrecision Precision) {
  return kPrecisionNames[static_cast<std::size_t>(Precision)];
}

// Fixed-point text with exactly `digits` digits after the decimal point (no
// point when `digits` is 0). At most 10 significant digits are kept; later
// positions are written as 0. A value whose integer part has more than 10
// digits is written in scientific notation with 10 significant digits
// ("1.234567890e+12"). Non-finite values are written "NaN", "Inf", "-Inf".
// A value that rounds to zero is written without a minus sign.
[[nodiscard]] std::string FormatFixed(double value, int digits);

// The same text appended to out (ASCII, so it fits either string kind).
void AppendFixed(std::string& out, double value, int digits);
void AppendFixed(std::u16string& out, double value, int digits);

// The shortest decimal text that reads back to exactly the same double (std::to_chars
// without a precision: "0.0019735", "200", "1e-07"); non-finite values as FormatFixed
// writes them, and a zero without a minus sign.
[[nodiscard]] std::string FormatShortest(double value);

// AppendFixed with `digits`, or, with TPrecision::Full, the shortest text.
void AppendNumber(std::string& out, double value, int digits, TPrecision precision);
void AppendNumber(std::u16string& out, double value, int digits, TPrecision precision);

}  // namespace tavora
