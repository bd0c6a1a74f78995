#include "base/Paths.h"

#include "base/Utf8.h"

namespace tavora {

std::u16string PathToUtf16(const std::filesystem::path& p) {
#ifdef _WIN32
  // Names are UTF-16 already, lone surrogates included.
  const std::wstring& native = p.native();
  return {native.begin(), native.end()};
#else
  return Utf8ToUtf16(p.native(), TOnInvalid::Escape);
#endif
}

std::filesystem::path PathFromUtf16(std::u16string_view text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  std::string bytes;
  bytes.reserve(text.size());
  AppendUtf16ToUtf8(bytes, text, TOnInvalid::Escape);
  return std::filesystem::path(std::move(bytes));
#endif
}

std::filesystem::path PathFromCommandLine(std::string_view argument) {
#ifdef _WIN32
  return PathFromUtf16(Utf8ToUtf16(argument));
#else
  return std::filesystem::path(std::string(argument));
#endif
}

std::string PathToUtf8(const std::filesystem::path& p) { return Utf16ToUtf8(PathToUtf16(p)); }

std::string QuotedPath(const std::filesystem::path& p) { return '"' + PathToUtf8(p) + '"'; }

}  // namespace tavora
