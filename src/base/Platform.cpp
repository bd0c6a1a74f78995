#include "base/Platform.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavora {

bool IsStandardErrorTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

void SetStandardInputBinary() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace tavora
