#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "processing/RunProgress.h"

namespace tavora {

// The progress of a long run on standard error: bytes read out of the total input size
// and tokens per second, redrawn in place on one line at most ten times a second. Drawn
// only when Draw is set (standard error is a terminal). Its callback asks the run to stop
// once a signal has asked for it (TCancelSignals::Requested); the run then ends with
// TRunCancelled.
class TProgressBar {
 public:
  explicit TProgressBar(bool Draw, std::FILE* Out = stderr);
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // The callback to hand to the run; valid while this object lives.
  [[nodiscard]] TProgressCallback Callback();

  // Removes the bar from the terminal line.
  void Finish();

  // One bar line: "[#####.....]  45%  1.2 MB / 2.7 MB  123,456 tokens/s".
  [[nodiscard]] static std::string FormatLine(std::uint64_t BytesRead, std::uint64_t TotalBytes,
                                              std::uint64_t Tokens, double Seconds);

 private:
  bool Report(std::uint64_t BytesRead, std::uint64_t TotalBytes, std::uint64_t Tokens);

  bool draw_;
  std::FILE* out_;
  bool drawn_ = false;
  std::size_t lastWidth_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace tavora
