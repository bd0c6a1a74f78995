#pragma once

// Paths in messages: the one way a path is written into a message the user reads.

#include <filesystem>
#include <string>

namespace tavora {

// The path as UTF-8 text.
[[nodiscard]] std::string PathToUtf8(const std::filesystem::path& p);

// The path as UTF-8 text in double quotes ("\"out/AveragesWord200.csv\""), as every message
// that names a file or folder shows it.
[[nodiscard]] std::string QuotedPath(const std::filesystem::path& p);

}  // namespace tavora
