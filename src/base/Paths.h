#pragma once

// Paths as text: the one way a path is written into a message the user reads, and the one way
// a path travels in the UTF-16 text of an input list.
//
// On systems whose names are bytes, a name need not be valid UTF-8. In UTF-16 text such a name
// keeps each byte of an ill-formed sequence as a lone surrogate U+DC80..U+DCFF (see Utf8.h), so
// PathFromUtf16(PathToUtf16(p)) == p for every path; wherever the text is shown or written, each
// such byte appears as U+FFFD.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavora {

// The path as UTF-8 text; bytes that are not UTF-8 appear as U+FFFD.
[[nodiscard]] std::string PathToUtf8(const std::filesystem::path& p);

// The path as UTF-8 text in double quotes ("\"out/AveragesWord200.csv\""), as every message
// that names a file or folder shows it.
[[nodiscard]] std::string QuotedPath(const std::filesystem::path& p);

// The path as UTF-16 text that gives the same path back through PathFromUtf16.
[[nodiscard]] std::u16string PathToUtf16(const std::filesystem::path& p);
[[nodiscard]] std::filesystem::path PathFromUtf16(std::u16string_view text);

// A path given on the command line: its bytes as they stand where names are bytes, UTF-8 text
// on Windows.
[[nodiscard]] std::filesystem::path PathFromCommandLine(std::string_view argument);

}  // namespace tavora
