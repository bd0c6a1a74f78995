#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "processing/RunProgress.h"

namespace tavora {

// The progress of a long run on standard error: the phase, bytes read out of the total
// input size with the share done, tokens per second and the time left, redrawn in place on
// one line at most ten times a second. Drawn only when Draw is set (standard error is a
// terminal). Its callback asks the run to stop once a signal has asked for it
// (TCancelSignals::Requested); the run then ends with TRunCancelled.
class TProgressBar {
 public:
  explicit TProgressBar(bool Draw, std::FILE* Out = stderr);
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // The callbacks to hand to the run; valid while this object lives.
  [[nodiscard]] TProgressCallback Callback();
  [[nodiscard]] TPhaseCallback PhaseCallback();
  [[nodiscard]] TPairProgressCallback PairCallback();

  // Removes the bar from the terminal line.
  void Finish();

  // One bar line: "Reading and measuring [####......]  45%  1.2 / 2.7 MB  123,456 tokens/s
  // about 2 min left".
  [[nodiscard]] static std::string FormatLine(TRunPhase Phase, std::uint64_t BytesRead,
                                              std::uint64_t TotalBytes, std::uint64_t Tokens,
                                              double Seconds);

 private:
  bool Report(std::uint64_t BytesRead, std::uint64_t TotalBytes, std::uint64_t Tokens);
  // "Comparing pairs of types [####......]  45%  about 2 min left" for one document.
  void ReportPairs(std::uint64_t Done, std::uint64_t Total);
  void Draw(std::string line);

  bool draw_;
  std::FILE* out_;
  TRunPhase phase_ = TRunPhase::ReadingAndMeasuring;
  bool drawn_ = false;
  std::size_t lastWidth_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
  std::uint64_t pairTotal_ = 0;  // of the document whose pairs are being compared
  std::chrono::steady_clock::time_point pairStart_;
};

}  // namespace tavora
