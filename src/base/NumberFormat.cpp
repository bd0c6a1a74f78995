#include "base/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace tavora {

namespace {

constexpr int kSignificantDigits = 10;
constexpr int kMaxDigits = 30;

// Writes the text into buf and returns its length; ASCII only.
std::size_t Format(char* buf, std::size_t size, double value, int digits) {
  if (std::isnan(value)) {
    std::string_view t = "NaN";
    std::copy(t.begin(), t.end(), buf);
    return t.size();
  }
  if (std::isinf(value)) {
    std::string_view t = value > 0 ? "Inf" : "-Inf";
    std::copy(t.begin(), t.end(), buf);
    return t.size();
  }
  digits = std::clamp(digits, 0, kMaxDigits);
  char* const end = buf + size;
  auto scientific = [&] {
    auto r = std::to_chars(buf, end, value, std::chars_format::scientific, kSignificantDigits - 1);
    return static_cast<std::size_t>(r.ptr - buf);
  };
  if (std::fabs(value) >= 1e10) return scientific();

  auto fixed = [&](int decimals) {
    auto r = std::to_chars(buf, end, value, std::chars_format::fixed, decimals);
    return static_cast<std::size_t>(r.ptr - buf);
  };
  auto integerDigits = [&](std::size_t len) {
    std::string_view s(buf, len);
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    std::size_t point = s.find('.');
    std::string_view ip = s.substr(0, point);
    return ip == "0" ? 0 : static_cast<int>(ip.size());
  };

  std::size_t len = fixed(digits);
  int intDigits = integerDigits(len);
  if (intDigits + digits > kSignificantDigits) {
    // Round once, to the last significant position, then pad with zeros.
    int keep = std::max(0, kSignificantDigits - intDigits);
    len = fixed(keep);
    if (integerDigits(len) > kSignificantDigits) return scientific();
    if (keep == 0 && digits > 0) buf[len++] = '.';
    for (int i = keep; i < digits; ++i) buf[len++] = '0';
  }
  // A value rounded to zero carries no sign.
  if (buf[0] == '-' &&
      std::all_of(buf + 1, buf + len, [](char c) { return c == '0' || c == '.'; })) {
    std::copy(buf + 1, buf + len, buf);
    --len;
  }
  return len;
}

// The shortest round-trip text into buf; its length.
std::size_t Shortest(char* buf, std::size_t size, double value) {
  if (!std::isfinite(value) || value == 0) return Format(buf, size, value, 0);
  return static_cast<std::size_t>(std::to_chars(buf, buf + size, value).ptr - buf);
}

std::size_t Number(char* buf, std::size_t size, double value, int digits, TPrecision precision) {
  return precision == TPrecision::Full ? Shortest(buf, size, value)
                                       : Format(buf, size, value, digits);
}

}  // namespace

void AppendFixed(std::string& out, double value, int digits) {
  char buf[128];
  std::size_t len = Format(buf, sizeof buf, value, digits);
  out.append(buf, len);
}

void AppendFixed(std::u16string& out, double value, int digits) {
  char buf[128];
  std::size_t len = Format(buf, sizeof buf, value, digits);
  for (std::size_t i = 0; i < len; ++i) out.push_back(static_cast<char16_t>(buf[i]));
}

void AppendNumber(std::string& out, double value, int digits, TPrecision precision) {
  char buf[128];
  out.append(buf, Number(buf, sizeof buf, value, digits, precision));
}

void AppendNumber(std::u16string& out, double value, int digits, TPrecision precision) {
  char buf[128];
  const std::size_t len = Number(buf, sizeof buf, value, digits, precision);
  for (std::size_t i = 0; i < len; ++i) out.push_back(static_cast<char16_t>(buf[i]));
}

std::string FormatShortest(double value) {
  char buf[128];
  return std::string(buf, Shortest(buf, sizeof buf, value));
}

std::string FormatFixed(double value, int digits) {
  std::string out;
  AppendFixed(out, value, digits);
  return out;
}

}  // namespace tavora
