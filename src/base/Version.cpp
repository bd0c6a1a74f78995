#include "base/Version.h"

namespace tavora {

std::string_view TavoraVersion() { return TAVORA_VERSION; }

}  // namespace tavora
