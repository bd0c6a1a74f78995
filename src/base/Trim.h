#pragma once

// Trimming the ends of a piece of text.

#include <string_view>

namespace tavora {

// Without the control characters and spaces (code units up to U+0020) at either end.
constexpr std::u16string_view TrimControl(std::u16string_view s) noexcept {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && s[b] <= 32) ++b;
  while (e > b && s[e - 1] <= 32) --e;
  return s.substr(b, e - b);
}

// Without the spaces and tabs at either end.
template <typename TChar>
constexpr std::basic_string_view<TChar> TrimBlanks(std::basic_string_view<TChar> s) noexcept {
  const auto blank = [](TChar c) { return c == TChar(' ') || c == TChar('\t'); };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace tavora
