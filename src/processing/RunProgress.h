#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace tavora {

// The stages of a run, for the progress display.
enum class TRunPhase : std::uint8_t {
  ReadingAndMeasuring,   // the input is read and measured
  ReadingAndCounting,    // the input is read and counted into frequency lists
  WritingDistributions,  // a measurement run writes its distributions and last rows
  WritingResults,        // a measurement run without distributions writes its last rows
  WritingLists,          // a frequency-list run saves its lists
  ComparingPairs,        // the whole-text difference of a document compares its pairs of types
};

// The phase as the user reads it: "Reading and measuring", "Writing distributions".
[[nodiscard]] constexpr std::string_view PhaseName(TRunPhase Phase) {
  switch (Phase) {
    case TRunPhase::ReadingAndMeasuring:
      return "Reading and measuring";
    case TRunPhase::ReadingAndCounting:
      return "Reading and counting";
    case TRunPhase::WritingDistributions:
      return "Writing distributions";
    case TRunPhase::WritingResults:
      return "Writing result files";
    case TRunPhase::WritingLists:
      return "Writing frequency lists";
    case TRunPhase::ComparingPairs:
      return "Comparing pairs of types";
  }
  return "";
}

// Called on the run's calling thread whenever a run enters a phase.
using TPhaseCallback = std::function<void(TRunPhase)>;

// Reports the progress of a run: bytes of input read so far, the total bytes of the input
// (0 when unknown), and the tokens read so far. Called every few thousand tokens on the
// run's own thread, and also once the input is listed and between the files a measurement
// run completes at its end; the values never decrease. Returning false cancels the run,
// which then throws TRunCancelled.
using TProgressCallback =
    std::function<bool(std::uint64_t bytesRead, std::uint64_t totalBytes, std::uint64_t tokens)>;

// Reports the whole-text comparison of every pair of a document's types (the whole-text
// difference, quadratic in the types): pairs compared so far and pairs in all. Called on the
// run's own thread as a document's comparison starts (0), about every 100 ms while it lasts
// and once at its end (all), within the phase ComparingPairs; the run's progress callback is
// called as well, with its last values, so that it can cancel.
using TPairProgressCallback = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Thrown by a run that its progress callback cancelled. The run's temporary files are
// removed: the output folder holds what it held before the run.
class TRunCancelled : public std::runtime_error {
 public:
  TRunCancelled() : std::runtime_error("Cancelled") {}
};

}  // namespace tavora
