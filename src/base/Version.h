#pragma once

#include <string_view>

namespace tavora {

// The version of this build ("0.1.0"), as the run record, the results database, the
// command line and the Python package name it.
[[nodiscard]] std::string_view TavoraVersion();

}  // namespace tavora
