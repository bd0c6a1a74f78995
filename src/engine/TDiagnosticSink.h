#pragma once

#include <functional>
#include <string_view>

namespace tavora {

// Receives one diagnostic line (without its line break) about a condition that does not stop a
// run but leaves a value incomplete, such as a window position whose values could not all be
// added to the averages. Called on the thread that feeds the engine.
using TDiagnosticSink = std::function<void(std::string_view line)>;

// The default sink: the line on standard output.
void WriteDiagnosticToStandardOutput(std::string_view line);

}  // namespace tavora
