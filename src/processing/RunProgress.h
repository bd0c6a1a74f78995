#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace tavora {

// Reports the progress of a run: bytes of input read so far, the total bytes of the input
// (0 when unknown), and the tokens read so far. Called every few thousand tokens on the
// run's own thread, and also once the input is listed and between the files a measurement
// run completes at its end; the values never decrease. Returning false cancels the run,
// which then throws TRunCancelled.
using TProgressCallback =
    std::function<bool(std::uint64_t bytesRead, std::uint64_t totalBytes, std::uint64_t tokens)>;

// Thrown by a run that its progress callback cancelled. The run's temporary files are
// removed: the output folder holds what it held before the run.
class TRunCancelled : public std::runtime_error {
 public:
  TRunCancelled() : std::runtime_error("Cancelled") {}
};

}  // namespace tavora
