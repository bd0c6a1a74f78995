#pragma once

#include <string>
#include <string_view>

namespace tavora {

// Maps text to lower case with the linguistic rules of one ICU locale. The lower-case
// form may differ in length from the original (outside Turkish and Azeri, U+0130 becomes
// "i" followed by U+0307). Text made only of ASCII takes a table-free fast path except in
// Turkish and Azeri, where "I" lowers to U+0131.
class TLowercaser {
 public:
  // locale: an ICU locale id such as "tr_TR"; empty means ICU's default locale at construction.
  explicit TLowercaser(std::string locale = {});

  // Sets out to the lower-case form of text; out keeps its capacity.
  void Lower(std::u16string_view text, std::u16string& out) const;
  // Appends the lower-case form of text to out; ASCII text allocates nothing once out has room.
  void LowerAppend(std::u16string_view text, std::u16string& out) const;
  // Whether text equals its own lower-case form.
  [[nodiscard]] bool IsLower(std::u16string_view text);
  // The same for callers on other threads: scratch is theirs, used only beyond ASCII.
  [[nodiscard]] bool IsLower(std::u16string_view text, std::u16string& scratch) const;

  [[nodiscard]] const std::string& GetLocale() const { return locale_; }

 private:
  std::string locale_;
  bool asciiFastPath_ = true;
  std::u16string scratch_;
};

}  // namespace tavora
