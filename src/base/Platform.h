#pragma once

// The few calls of the command line that differ between operating systems.

namespace tavora {

// Whether standard error is a terminal (then a progress bar is drawn there).
[[nodiscard]] bool IsStandardErrorTerminal();

// Reads standard input as bytes, without any translation of line ends.
void SetStandardInputBinary();

}  // namespace tavora
