#pragma once

#include <chrono>

#include "processing/RunReport.h"

namespace tavora {

// Starts a run's report afresh and records the run's time when the run ends, also by an
// error.
class TReportClock {
 public:
  explicit TReportClock(TRunReport& report)
      : report_(report), start_(std::chrono::steady_clock::now()) {
    report_ = TRunReport{};
  }
  ~TReportClock() {
    report_.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  TReportClock(const TReportClock&) = delete;
  TReportClock& operator=(const TReportClock&) = delete;

 private:
  TRunReport& report_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace tavora
