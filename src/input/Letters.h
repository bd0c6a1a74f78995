#pragma once

#include <array>
#include <cstdint>

namespace tavora {

namespace letters_detail {
// Bit flags of one UTF-16 code unit.
inline constexpr std::uint8_t kLetter = 1;
inline constexpr std::uint8_t kDigit = 2;
inline constexpr std::uint8_t kPunctuation = 4;
// The narrower sets that mark a whole token as punctuation or as a number (TToken).
// Bits 8, 16 and 128 are left to the word splitter's own copy of the table.
inline constexpr std::uint8_t kTokenPunctuation = 32;
inline constexpr std::uint8_t kTokenDigit = 64;
// Indexed by code unit; built at compile time, so usable during static initialisation.
extern const std::array<std::uint8_t, 65536> kCharClasses;
}  // namespace letters_detail

// Character classes used by the plain-text word splitter. Each is a pure function of one
// UTF-16 code unit; surrogate halves belong to no class.
[[nodiscard]] inline bool IsLetterChar(char16_t c) noexcept {
  return (letters_detail::kCharClasses[c] & letters_detail::kLetter) != 0;
}
[[nodiscard]] inline bool IsDigitChar(char16_t c) noexcept {
  return (letters_detail::kCharClasses[c] & letters_detail::kDigit) != 0;
}
[[nodiscard]] inline bool IsPunctuationChar(char16_t c) noexcept {
  return (letters_detail::kCharClasses[c] & letters_detail::kPunctuation) != 0;
}

}  // namespace tavora
