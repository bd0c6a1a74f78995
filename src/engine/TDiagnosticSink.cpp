#include "engine/TDiagnosticSink.h"

#include <iostream>

namespace tavora {

void WriteDiagnosticToStandardOutput(std::string_view line) { std::cout << line << std::endl; }

}  // namespace tavora
