#include "processing/TLowercaser.h"

#include <stdexcept>

#include <unicode/uloc.h>
#include <unicode/ustring.h>

namespace tavora {

namespace {

bool IsAscii(std::u16string_view text) {
  for (const char16_t c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

TLowercaser::TLowercaser(std::string locale) : locale_(std::move(locale)) {
  if (locale_.empty()) locale_ = uloc_getDefault();
  char language[ULOC_LANG_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getLanguage(locale_.c_str(), language, ULOC_LANG_CAPACITY, &status);
  const std::string_view lang = U_SUCCESS(status) ? std::string_view(language) : std::string_view();
  asciiFastPath_ = lang != "tr" && lang != "az";
}

void TLowercaser::Lower(std::u16string_view text, std::u16string& out) const {
  if (asciiFastPath_ && IsAscii(text)) {
    out.assign(text);
    for (char16_t& c : out)
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return;
  }
  // Lower-casing rarely lengthens text; ICU reports the needed size when it does.
  out.resize(text.size() + 8);
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        u_strToLower(out.data(), static_cast<int32_t>(out.size()), text.data(),
                     static_cast<int32_t>(text.size()), locale_.c_str(), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<std::size_t>(length));
      continue;
    }
    if (U_FAILURE(status))
      throw std::runtime_error(std::string("Lower-casing failed: ") + u_errorName(status) + ".");
    out.resize(static_cast<std::size_t>(length));
    return;
  }
  throw std::runtime_error("Lower-casing failed: the text keeps growing.");
}

void TLowercaser::LowerAppend(std::u16string_view text, std::u16string& out) const {
  const std::size_t start = out.size();
  if (asciiFastPath_) {
    // Copies and lowers in one pass; the first unit beyond ASCII hands the text to ICU.
    out.resize(start + text.size());
    char16_t* o = out.data() + start;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (c >= 0x80) break;
      o[i] = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    if (i == text.size()) return;
  }
  out.resize(start + text.size() + 8);
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        u_strToLower(out.data() + start, static_cast<int32_t>(out.size() - start), text.data(),
                     static_cast<int32_t>(text.size()), locale_.c_str(), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(start + static_cast<std::size_t>(length));
      continue;
    }
    if (U_FAILURE(status)) {
      out.resize(start);
      throw std::runtime_error(std::string("Lower-casing failed: ") + u_errorName(status) + ".");
    }
    out.resize(start + static_cast<std::size_t>(length));
    return;
  }
  out.resize(start);
  throw std::runtime_error("Lower-casing failed: the text keeps growing.");
}

bool TLowercaser::IsLower(std::u16string_view text) { return IsLower(text, scratch_); }

bool TLowercaser::IsLower(std::u16string_view text, std::u16string& scratch) const {
  if (asciiFastPath_ && IsAscii(text)) {
    for (const char16_t c : text)
      if (c >= u'A' && c <= u'Z') return false;
    return true;
  }
  Lower(text, scratch);
  return scratch == text;
}

}  // namespace tavora
