#include "base/NumberFormat.h"

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace tavora {
namespace {

TEST(FormatFixed, WritesFixedDigitsWithPointAndTenSignificantDigits) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Row {
    double value;
    int digits;
    const char* text;
  };
  const Row rows[] = {
      {200, 0, "200"},
      {0.71498, 3, "0.715"},
      {142.6, 1, "142.6"},
      {0, 4, "0.0000"},
      {0, 1, "0.0"},
      {2.8284271247, 1, "2.8"},
      {-1.25, 4, "-1.2500"},
      {-0.00001, 4, "0.0000"},            // no sign on a rounded zero
      {1234567.0, 0, "1234567"},          // no thousands separator
      {123456.789012, 4, "123456.7890"},  // tenth significant digit rounded, rest 0
      {1234567890.12345, 4, "1234567890.0000"},
      {9999999999.4, 1, "9999999999.0"},
      {12345678901.0, 1, "1.234567890e+10"},
      {9999999999.6, 0, "1.000000000e+10"},  // rounds up to eleven digits
      {-3e15, 2, "-3.000000000e+15"},
      {std::numeric_limits<double>::quiet_NaN(), 2, "NaN"},
      {kInf, 1, "Inf"},
      {-kInf, 0, "-Inf"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatFixed(row.value, row.digits), row.text) << row.value;
    std::u16string wide;
    AppendFixed(wide, row.value, row.digits);
    EXPECT_EQ(Utf16ToUtf8(wide), row.text);
  }
}

TEST(FormatFixed, IgnoresTheProcessLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(FormatFixed(1234.5, 2), "1234.50");
  std::setlocale(LC_ALL, saved.c_str());
}

// Full precision: the shortest text that reads back to the very same double.
TEST(FormatShortest, ReadsBackToTheSameDouble) {
  EXPECT_EQ(FormatShortest(200), "200");
  EXPECT_EQ(FormatShortest(0.0019735), "0.0019735");
  EXPECT_EQ(FormatShortest(2.0 / 3), "0.6666666666666666");
  EXPECT_EQ(FormatShortest(-0.0), "0");
  EXPECT_EQ(FormatShortest(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(FormatShortest(-std::numeric_limits<double>::infinity()), "-Inf");
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    // Bit patterns cover every exponent; finite ones only.
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    std::u16string wide;
    AppendNumber(wide, value, 2, TPrecision::Full);
    const std::string text = Utf16ToUtf8(wide);
    double back = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    EXPECT_EQ(back, value) << text;
  }
  std::string fixed;
  AppendNumber(fixed, 2.0 / 3, 3, TPrecision::Fixed);
  EXPECT_EQ(fixed, "0.667");
}

}  // namespace
}  // namespace tavora
