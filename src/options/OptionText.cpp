#include "options/OptionText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "base/Trim.h"
#include "base/Utf8.h"

namespace tavora {

namespace {

bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// Power of ten of the leading non-zero digit of a number in from_chars form
// ("123.45e-6" gives -4); only its sign matters, so large exponents saturate.
long long DecimalExponent(const std::string& number) {
  const std::size_t e = number.find('e');
  const std::string mantissa = number.substr(0, e);
  long long exponent = 0;
  if (e != std::string::npos) {
    std::size_t i = e + 1;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
    for (; i < number.size(); ++i) {
      if (exponent < (1LL << 40)) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  const long long position = first < point ? static_cast<long long>(point - first - 1)
                                           : -static_cast<long long>(first - point);
  return position + exponent;
}

}  // namespace

std::optional<long long> ParseDecimalInteger(std::u16string_view Text) noexcept {
  std::u16string_view s = TrimBlanks(Text);
  bool negative = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  constexpr long long kCap = 1LL << 40;
  long long magnitude = 0;
  for (char16_t c : s) {
    if (!IsDigit(c)) return std::nullopt;
    if (magnitude < kCap) magnitude = magnitude * 10 + (c - u'0');
  }
  return negative ? -magnitude : magnitude;
}

int ReadIntegerField(std::u16string_view Text, int MinValue, int MaxValue) noexcept {
  const std::optional<long long> value = ParseDecimalInteger(Text);
  if (!value || *value < MinValue) return MinValue;
  if (*value > MaxValue) return MaxValue;
  return static_cast<int>(*value);
}

double ReadFloat(std::u16string_view Text) {
  auto fail = [&]() -> double {
    throw EConvertError("'" + Utf16ToUtf8(Text) + "' is not a valid floating point value");
  };
  std::u16string_view s = TrimBlanks(Text);
  std::string ascii;
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ascii += static_cast<char>(s[i++]), ++digits;
  if (i < s.size() && s[i] == u'.') {
    ascii += '.';
    ++i;
    while (i < s.size() && IsDigit(s[i])) ascii += static_cast<char>(s[i++]), ++digits;
  }
  if (digits == 0) return fail();
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    std::size_t exponentDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ascii += static_cast<char>(s[i++]), ++exponentDigits;
    if (exponentDigits == 0) return fail();
  }
  if (i != s.size()) return fail();

  double value = 0.0;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow passes silently as zero; overflow is not a usable number.
    if (DecimalExponent(ascii) > 0) return fail();
    value = 0.0;
  } else if (ec != std::errc() || end != ascii.data() + ascii.size() || std::isinf(value)) {
    return fail();
  }
  return negative ? -value : value;
}

std::optional<bool> ReadBoolean(std::u16string_view Text) noexcept {
  for (const std::u16string_view yes : {u"1", u"true", u"yes", u"on"}) {
    if (Text == yes) return true;
  }
  for (const std::u16string_view no : {u"0", u"false", u"no", u"off"}) {
    if (Text == no) return false;
  }
  return std::nullopt;
}

}  // namespace tavora
