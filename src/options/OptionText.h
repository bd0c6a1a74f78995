#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavora {

// A text typed into an option field that cannot be read as the number it stands for.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decimal integer, surrounded by blanks or not, with an optional sign; nullopt for any
// other text. Magnitudes beyond 2^40 saturate there (still far outside every bound).
[[nodiscard]] std::optional<long long> ParseDecimalInteger(std::u16string_view Text) noexcept;

// "1", "true", "yes", "on" or "0", "false", "no", "off" as a check box's state; nullopt for
// any other text.
[[nodiscard]] std::optional<bool> ReadBoolean(std::u16string_view Text) noexcept;

// Reads an integer field: a decimal integer, surrounded by blanks or not, with an optional
// sign. Text that is not an integer counts as MinValue; the result is clamped to
// [MinValue, MaxValue], so digits too many for an int give the nearer bound.
[[nodiscard]] int ReadIntegerField(std::u16string_view Text, int MinValue, int MaxValue) noexcept;

// Reads a decimal number with "." as the decimal separator, whatever the locale: optional
// blanks, sign, digits with at most one ".", optional exponent ("e" or "E", sign, digits).
// Throws EConvertError "'<Text>' is not a valid floating point value" otherwise, also for
// a value out of the range of double.
[[nodiscard]] double ReadFloat(std::u16string_view Text);

}  // namespace tavora
