#pragma once

// The main window: the option panels in two columns (TOptionPanes), the pickers and the drop
// target that fill them, the measuring run and the frequency-list run, the cache of reference
// lists, the run row ("Process the texts!", "Create frequency list of types", Cancel and the
// progress bar) that stays visible at every size, the status line with the progress
// (TProgressDisplay) and the summary of the last run (TRunSummary).
//
// A run that could not do anything is refused before it starts, with a message beside the
// field at fault. A run executes on a worker thread while the window keeps painting; every
// option and both run buttons stay disabled until it ends, so the options, the cache and the
// run-state fields are touched by one run at a time. Its end is handled back on the window's
// thread.
//
// Keyboard: Ctrl+R (or Ctrl+Return) runs the task chosen, Esc cancels a run. The menu
// Settings holds "Restore last settings" (TWindowSettings) and "Reset to start values"; every
// start of the program begins from the start values.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include <QMainWindow>
#include <QString>

#include "options/RunCheck.h"
#include "options/TOptionsModel.h"
#include "options/TReferenceCache.h"
#include "processing/RunProgress.h"
#include "processing/RunReport.h"

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QThread;

namespace tavora {

class IDialogs;
class TOptionPanes;
class TOptionWidgets;
class TProgressDisplay;
class TResultsView;
class TRunSummary;

class TFormTavoraUX : public QMainWindow {
  Q_OBJECT

 public:
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
  [[nodiscard]] TRunSummary& Summary() noexcept { return *summary_; }
  [[nodiscard]] TProgressDisplay& Progress() noexcept { return *progress_; }
  [[nodiscard]] bool IsRunning() const noexcept { return runThread_ != nullptr; }
  [[nodiscard]] QString StatusText() const;
  // The warning beside the status line: listed input entries that do not exist (they
  // add nothing to the run), or why a run was refused; empty otherwise.
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
  // Ctrl+R: the run of the task chosen, when its button can be pressed.
  void RunChosenTask();
  void RestoreLastSettings();
  void ResetToStartValues();

 signals:
  // A run has ended and its message has been closed; the status line is back.
  void RunFinished();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  enum class TOutcome { Complete, Cancelled, Failed };
  using TJob = std::function<void(TProcessTexts&, const TProgressCallback&)>;

  void BuildWindow();
  void BuildTabs();
  QWidget* BuildRunRow();
  void BuildMenus();
  void OnButton(const QString& Name);
  void WarnAboutMissingEntries();
  // Shows why a run of Task cannot start; false when it can.
  bool RefuseRun(TRunTask Task);
  // Starts the progress display and hands the job to the worker thread.
  void StartRun(TJob job);
  void EndOfRun();
  void ShowSummary();
  // Waits for the worker thread and frees it; the options become usable again.
  void FinishThread();
  void SetRunning(bool running);
  void ShowProgress();
  void SelectListFile(std::string_view field);

  IDialogs& dialogs_;
  TOptionsModel model_;
  TReferenceCache cache_;  // ReferenceDictionaries
  TOptionWidgets* widgets_ = nullptr;

  TOptionPanes* options_ = nullptr;  // both columns: disabled during a run
  QTabWidget* tabs_ = nullptr;       // the options and the results
  TResultsView* results_ = nullptr;
  TRunSummary* summary_ = nullptr;
  TProgressDisplay* progress_ = nullptr;
  QPushButton* buttonShowResults_ = nullptr;
  QLabel* labelWarning_ = nullptr;  // missing input entries of the latest run
  QPushButton* buttonCancel_ = nullptr;
  QAction* actionRun_ = nullptr;
  QAction* actionCancel_ = nullptr;
  bool focusedTexts_ = false;  // the text field had the focus once it was shown

  // Run state, shared with the worker thread.
  QThread* runThread_ = nullptr;
  std::atomic<bool> cancelRequested_{false};
  std::atomic<int> permille_{0};
  std::atomic<int> phase_{0};
  TOutcome outcome_ = TOutcome::Complete;  // written by the worker, read after it ends
  TRunReport report_;                      // likewise
  QString error_;
  QString runFolder_;            // where the run's files go
  std::uint32_t runWindow_ = 0;  // window length of a measuring run; 0 for frequency lists
  std::optional<double> runHillsQ_;
};

}  // namespace tavora
