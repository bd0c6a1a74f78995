#pragma once

// The progress of a run at the bottom of the window: the status line, which reads
// "Processing files: Phase " and the phase number during a run (the number going up once a
// minute, by the ticks of Timer1); beside it the readable phase with the share of the input
// done and the time left; and the progress bar, which shows the share, moves without end
// while the result files are written, and is empty again after a run that did not complete.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "processing/RunProgress.h"

class QLabel;
class QProgressBar;

namespace tavora {

class TProgressDisplay : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kStatusWaiting = "Waiting for your input";
  static constexpr const char* kStatusPhase = "Processing files: Phase ";
  static constexpr int kRange = 1000;  // the bar counts per mille of the input's bytes

  explicit TProgressDisplay(QObject* parent = nullptr);

  [[nodiscard]] QLabel* StatusLabel() const noexcept { return status_; }
  [[nodiscard]] QLabel* PhaseLabel() const noexcept { return phase_; }
  [[nodiscard]] QProgressBar* Bar() const noexcept { return bar_; }
  [[nodiscard]] QString StatusText() const;
  [[nodiscard]] QString PhaseText() const;

  // A run starts: phase 1, the bar empty, Timer1 on.
  void Start();
  void SetPhase(TRunPhase Phase);
  // The share of the input read, 0 to kRange.
  void SetShare(int Permille);
  // A run has ended: Timer1 off, the bar full when it completed and empty otherwise.
  void Stop(bool Completed);
  // The status line between runs.
  void ShowWaiting();
  // Progress of work between runs (reading result files), 0 to 1000.
  void ShowLoading(int Permille);

 public slots:
  // Once a second during a run: every 60 ticks the phase number goes up by one.
  void Timer1Timer();

 private:
  void ShowPhase();

  QLabel* status_ = nullptr;
  QLabel* phase_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QTimer timer1_;
  QElapsedTimer elapsed_;
  TRunPhase runPhase_ = TRunPhase::ReadingAndMeasuring;
  int permille_ = 0;
  int progressI_ = 0;  // ticks within the current phase number
  int progressA_ = 1;  // phase number in the status line
  bool running_ = false;
};

}  // namespace tavora
