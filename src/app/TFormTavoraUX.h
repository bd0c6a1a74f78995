#pragma once

// The main window: the option panels in two columns, the pickers and the drop target that
// fill them, the measuring run and the frequency-list run, the cache of reference lists,
// and the status line with the progress bar.
//
// A run executes on a worker thread while the window keeps painting; every option and
// both run buttons stay disabled until it ends, so the options, the cache and the
// run-state fields are touched by one run at a time. Its end is handled back on the
// window's thread.

#include <atomic>
#include <functional>
#include <memory>
#include <string_view>

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include "options/TOptionsModel.h"
#include "options/TReferenceCache.h"
#include "processing/RunProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QThread;
class QVBoxLayout;

namespace tavora {

class IDialogs;
class TOptionWidgets;
class TResultsView;

class TFormTavoraUX : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kStatusWaiting = "Waiting for your input";
  static constexpr const char* kStatusPhase = "Processing files: Phase ";
  static constexpr const char* kComplete = "Complete!";
  static constexpr const char* kCancelled = "The run was cancelled.";

  // Window creation: the controls in their start state, the drop target, the empty cache,
  // and "." as the decimal separator of every number conversion in the process.
  explicit TFormTavoraUX(IDialogs& Dialogs, QWidget* parent = nullptr);
  // Window destruction: a run still going is cancelled and waited for; the cache and its
  // lists are freed.
  ~TFormTavoraUX() override;

  [[nodiscard]] TOptionsModel& Model() noexcept { return model_; }
  [[nodiscard]] TReferenceCache& ReferenceDictionaries() noexcept { return cache_; }
  [[nodiscard]] TOptionWidgets& Widgets() noexcept { return *widgets_; }
  [[nodiscard]] TResultsView& Results() noexcept { return *results_; }
  [[nodiscard]] bool IsRunning() const noexcept { return runThread_ != nullptr; }
  [[nodiscard]] QString StatusText() const;
  // The warning beside the status line: listed input entries that do not exist (they
  // add nothing to the run); empty when every entry exists.
  [[nodiscard]] QString StatusWarning() const;

 public slots:
  void ButtonOpenFilesClick();
  void ButtonSelectOutputDirectoryClick();
  void ButtonOpenFileWordFormClick();
  void ButtonOpenFileLemmaClick();
  void ButtonProcessClick();
  void ButtonCreateReferenceClick();
  void ButtonCancelClick();
  // Picks an output folder and shows its result files in the results tab.
  void ButtonShowResultsClick();
  // Once a second during a run: every 60 ticks the phase number goes up by one.
  void Timer1Timer();

 signals:
  // A run has ended and its message has been closed; the status line is back.
  void RunFinished();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class TOutcome { Complete, Cancelled, Failed };
  using TJob = std::function<void(const TProgressCallback&)>;

  void BuildWindow();
  void ArrangeLeftColumn();
  void OnButton(const QString& Name);
  void SetStatus(const QString& text);
  void WarnAboutMissingEntries();
  // Starts the progress display and hands the job to the worker thread.
  void StartRun(TJob job);
  void EndOfRun();
  // Waits for the worker thread and frees it; the options become usable again.
  void FinishThread();
  void SetRunning(bool running);
  void ShowProgress();
  void SelectListFile(std::string_view field);

  IDialogs& dialogs_;
  TOptionsModel model_;
  TReferenceCache cache_;  // ReferenceDictionaries
  TOptionWidgets* widgets_ = nullptr;

  QWidget* options_ = nullptr;  // both columns: disabled during a run
  QTabWidget* tabs_ = nullptr;  // the options and the results
  TResultsView* results_ = nullptr;
  QPushButton* buttonShowResults_ = nullptr;
  QVBoxLayout* leftLower_ = nullptr;
  QLabel* labelStatus_ = nullptr;
  QLabel* labelWarning_ = nullptr;  // missing input entries of the latest run
  QProgressBar* progressBar_ = nullptr;
  QPushButton* buttonCancel_ = nullptr;
  QTimer timer1_;
  bool columnsPending_ = false;

  int progressI_ = 0;  // ticks within the current phase
  int progressA_ = 1;  // phase number in the status line

  // Run state, shared with the worker thread.
  QThread* runThread_ = nullptr;
  std::atomic<bool> cancelRequested_{false};
  std::atomic<int> permille_{0};
  TOutcome outcome_ = TOutcome::Complete;  // written by the worker, read after it ends
  QString runOutputFolder_;                // the folder of a measuring run; empty for other runs
  QString error_;
};

}  // namespace tavora
