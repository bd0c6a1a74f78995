#include "app/TProgressDisplay.h"

#include <QLabel>
#include <QProgressBar>

#include "processing/RunSummary.h"

namespace tavora {

namespace {

bool IsReading(TRunPhase phase) {
  return phase == TRunPhase::ReadingAndMeasuring || phase == TRunPhase::ReadingAndCounting;
}

// Phases whose share done the bar shows.
bool HasShare(TRunPhase phase) { return IsReading(phase) || phase == TRunPhase::ComparingPairs; }

}  // namespace

TProgressDisplay::TProgressDisplay(QObject* parent) : QObject(parent) {
  status_ = new QLabel(QString::fromLatin1(kStatusWaiting));
  status_->setObjectName(QStringLiteral("LabelStatus"));
  phase_ = new QLabel;
  phase_->setObjectName(QStringLiteral("LabelPhase"));
  bar_ = new QProgressBar;
  bar_->setObjectName(QStringLiteral("ProgressBar"));
  bar_->setAccessibleName(QStringLiteral("Progress of the run"));
  bar_->setRange(0, kRange);
  bar_->setValue(0);
  bar_->setFormat(QStringLiteral("%p%"));
  timer1_.setInterval(1000);
  connect(&timer1_, &QTimer::timeout, this, &TProgressDisplay::Timer1Timer);
}

QString TProgressDisplay::StatusText() const { return status_->text(); }

QString TProgressDisplay::PhaseText() const { return phase_->text(); }

void TProgressDisplay::Start() {
  progressI_ = 0;
  progressA_ = 1;
  permille_ = 0;
  running_ = true;
  runPhase_ = TRunPhase::ReadingAndMeasuring;
  status_->setText(QString::fromLatin1(kStatusPhase) + QString::number(progressA_));
  bar_->setRange(0, kRange);
  bar_->setValue(0);
  phase_->clear();
  elapsed_.start();
  timer1_.start();
}

void TProgressDisplay::SetPhase(TRunPhase Phase) {
  if (!running_) return;
  if (Phase != runPhase_) {
    runPhase_ = Phase;
    // Writing has no share to show: the bar moves without end until the run ends.
    if (HasShare(Phase)) {
      bar_->setRange(0, kRange);
      bar_->setValue(permille_);
    } else {
      bar_->setRange(0, 0);
    }
  }
  ShowPhase();
}

void TProgressDisplay::SetShare(int Permille) {
  if (!running_ || !HasShare(runPhase_)) return;
  permille_ = Permille;
  bar_->setValue(Permille);
  ShowPhase();
}

void TProgressDisplay::ShowPhase() {
  QString text = QString::fromUtf8(PhaseName(runPhase_));
  if (!HasShare(runPhase_)) {
    phase_->setText(text + QStringLiteral("\u2026"));
    return;
  }
  const double share = static_cast<double>(permille_) / kRange;
  text += QStringLiteral(": %1%").arg(permille_ / 10);
  if (!IsReading(runPhase_)) {
    phase_->setText(text);
    return;
  }
  if (const auto left = EstimateSecondsLeft(share, static_cast<double>(elapsed_.elapsed()) / 1000))
    text += QStringLiteral(", ") + QString::fromStdString(FormatTimeLeft(*left));
  phase_->setText(text);
}

void TProgressDisplay::Stop(bool Completed) {
  timer1_.stop();
  running_ = false;
  bar_->setRange(0, kRange);
  bar_->setValue(Completed ? kRange : 0);
  phase_->clear();
}

void TProgressDisplay::ShowWaiting() { status_->setText(QString::fromLatin1(kStatusWaiting)); }

void TProgressDisplay::ShowLoading(int Permille) {
  if (!running_) bar_->setValue(Permille * kRange / 1000);
}

void TProgressDisplay::Timer1Timer() {
  ++progressI_;
  if (progressI_ == 60) {
    progressI_ = 0;
    ++progressA_;
    status_->setText(QString::fromLatin1(kStatusPhase) + QString::number(progressA_));
  }
}

}  // namespace tavora
