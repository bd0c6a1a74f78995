#include "base/Paths.h"

namespace tavora {

std::string PathToUtf8(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

std::string QuotedPath(const std::filesystem::path& p) { return '"' + PathToUtf8(p) + '"'; }

}  // namespace tavora
