#pragma once

// UTF-8 <-> UTF-16 conversion for the engine's files. Invalid UTF-8 (bad
// sequences, overlong forms, surrogates, values past U+10FFFF) becomes U+FFFD;
// an unpaired surrogate in UTF-16 is written as U+FFFD.

#include <string>
#include <string_view>

namespace tavora {

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view in);
void AppendUtf8ToUtf16(std::u16string& out, std::string_view in);

[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view in);
void AppendUtf16ToUtf8(std::string& out, std::u16string_view in);
// One code point (at most U+10FFFF, not a surrogate) as UTF-8.
void AppendCodePointUtf8(std::string& out, char32_t cp);

}  // namespace tavora
