#include "app/TFormTavoraUX.h"

#include <algorithm>
#include <clocale>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include "app/IDialogs.h"
#include "app/TOptionPanes.h"
#include "app/TOptionWidgets.h"
#include "app/TProgressDisplay.h"
#include "app/TResultsView.h"
#include "app/TRunSummary.h"
#include "app/TWindowSettings.h"
#include "base/Platform.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "processing/TProcessTexts.h"

namespace tavora {

TFormTavoraUX::TFormTavoraUX(IDialogs& Dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(Dialogs) {
  // Numbers are converted with "." as the decimal separator whatever the user's locale:
  // the C library's (which the toolkit set from the environment) and the toolkit's own.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  setWindowTitle(QString::fromStdU16String(std::u16string(TOptionsModel::kWindowCaption)));
  setAcceptDrops(true);
  BuildWindow();
}

TFormTavoraUX::~TFormTavoraUX() {
  cancelRequested_ = true;
  FinishThread();
}

void TFormTavoraUX::FinishThread() {
  if (runThread_ == nullptr) return;
  runThread_->wait();
  delete runThread_;
  runThread_ = nullptr;
  SetRunning(false);
}

void TFormTavoraUX::BuildWindow() {
  widgets_ = new TOptionWidgets(model_, this);
  connect(widgets_, &TOptionWidgets::ButtonClicked, this, &TFormTavoraUX::OnButton);
  connect(widgets_, &TOptionWidgets::ChangeRefused, this,
          [this](const QString& message) { dialogs_.Error(this, message); });
  connect(widgets_, &TOptionWidgets::ShownChanged, this, [this] {
    // Keyboard users go on in the text field once the text source is chosen.
    QWidget* texts = widgets_->Widget(ctl::MemoListOfTexts);
    if (!focusedTexts_ && model_.IsVisible(ctl::MemoListOfTexts) && isVisible()) {
      focusedTexts_ = true;
      texts->setFocus(Qt::OtherFocusReason);
    }
  });
  options_ = new TOptionPanes(model_, *widgets_);

  BuildTabs();

  labelWarning_ = new QLabel;
  labelWarning_->setObjectName(QStringLiteral("LabelStatusWarning"));
  labelWarning_->setWordWrap(true);
  labelWarning_->setVisible(false);

  auto* central = new QWidget;
  auto* box = new QVBoxLayout(central);
  box->addWidget(tabs_, 1);
  box->addWidget(summary_);
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(progress_->StatusLabel());
  statusRow->addWidget(progress_->PhaseLabel());
  statusRow->addWidget(labelWarning_, 1);
  box->addLayout(statusRow);
  box->addWidget(BuildRunRow());
  setCentralWidget(central);
  BuildMenus();

  widgets_->RefreshAll();
  options_->Arrange({buttonCancel_, buttonShowResults_});

  // A start size in proportion to the screen; the layouts do the rest.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize available = screen->availableGeometry().size();
    resize(std::min(available.width(), std::max(sizeHint().width(), available.width() * 3 / 4)),
           std::min(available.height(), std::max(sizeHint().height(), available.height() * 3 / 4)));
  }
}

// The options and, in a second tab, the results of a run; reading long series drives the
// progress bar. The summary of the last run stands below the tabs.
void TFormTavoraUX::BuildTabs() {
  progress_ = new TProgressDisplay(this);
  results_ = new TResultsView(dialogs_);
  results_->setObjectName(QStringLiteral("ResultsView"));
  connect(results_, &TResultsView::LoadProgress, progress_, &TProgressDisplay::ShowLoading);
  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("TabsMain"));
  tabs_->addTab(options_, QStringLiteral("Options"));
  tabs_->addTab(results_, QStringLiteral("Results"));

  summary_ = new TRunSummary;
  connect(summary_, &TRunSummary::OpenFolderClicked, this,
          [this](const QString& folder) { dialogs_.ShowFolder(folder); });
  connect(summary_, &TRunSummary::ShowResultsClicked, this,
          [this] { tabs_->setCurrentWidget(results_); });
}

// The run buttons of both tasks, Cancel and the progress bar: outside the scrolling panes,
// so that they stay in view at any window size. Each run button shows exactly while the
// model shows it in its panel.
QWidget* TFormTavoraUX::BuildRunRow() {
  auto* row = new QWidget;
  row->setObjectName(QStringLiteral("RunRow"));
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (const std::string_view name : {ctl::ButtonProcess, ctl::ButtonCreateReference}) {
    layout->addWidget(widgets_->Widget(name));
    widgets_->Detach(name);
  }
  buttonCancel_ = new QPushButton(QStringLiteral("Cancel"));
  buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
  buttonCancel_->setToolTip(QStringLiteral("Stops the run (Esc)."));
  buttonCancel_->setVisible(false);
  connect(buttonCancel_, &QPushButton::clicked, this, &TFormTavoraUX::ButtonCancelClick);
  buttonShowResults_ = new QPushButton(QStringLiteral("Show results"));
  buttonShowResults_->setObjectName(QStringLiteral("ButtonShowResults"));
  buttonShowResults_->setToolTip(QStringLiteral("Shows the result files of any output folder."));
  connect(buttonShowResults_, &QPushButton::clicked, this, &TFormTavoraUX::ButtonShowResultsClick);
  layout->addWidget(buttonCancel_);
  layout->addWidget(progress_->Bar(), 1);
  layout->addWidget(buttonShowResults_);
  return row;
}

void TFormTavoraUX::BuildMenus() {
  QMenu* run = menuBar()->addMenu(QStringLiteral("&Run"));
  actionRun_ = run->addAction(QStringLiteral("Run the chosen task"));
  actionRun_->setObjectName(QStringLiteral("ActionRun"));
  actionRun_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_R),
                            QKeySequence(Qt::CTRL | Qt::Key_Return),
                            QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  connect(actionRun_, &QAction::triggered, this, &TFormTavoraUX::RunChosenTask);
  actionCancel_ = run->addAction(QStringLiteral("Cancel the run"));
  actionCancel_->setObjectName(QStringLiteral("ActionCancel"));
  actionCancel_->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(actionCancel_, &QAction::triggered, this, &TFormTavoraUX::ButtonCancelClick);
  actionCancel_->setEnabled(false);  // Esc means nothing to the window between runs

  QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
  QAction* restore = settings->addAction(QStringLiteral("Restore last settings"));
  restore->setObjectName(QStringLiteral("ActionRestoreSettings"));
  connect(restore, &QAction::triggered, this, &TFormTavoraUX::RestoreLastSettings);
  QAction* reset = settings->addAction(QStringLiteral("Reset to start values"));
  reset->setObjectName(QStringLiteral("ActionResetSettings"));
  connect(reset, &QAction::triggered, this, &TFormTavoraUX::ResetToStartValues);
}

QString TFormTavoraUX::StatusText() const { return progress_->StatusText(); }

QString TFormTavoraUX::StatusWarning() const { return labelWarning_->text(); }

void TFormTavoraUX::WarnAboutMissingEntries() {
  QStringList missing;
  if (model_.GetItemIndex(ctl::RGMode) == 0) {
    const QString list = QString::fromStdU16String(model_.GetText(ctl::MemoListOfTexts));
    for (const QString& line : list.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")))) {
      const QString entry = line.trimmed();
      std::error_code ec;
      if (!entry.isEmpty() && !std::filesystem::exists(entry.toStdU16String(), ec))
        missing << entry;
    }
  }
  labelWarning_->setText(missing.isEmpty() ? QString()
                                           : QStringLiteral("Skipped, does not exist: ") +
                                                 missing.join(QStringLiteral("; ")));
  labelWarning_->setVisible(!missing.isEmpty());
}

void TFormTavoraUX::OnButton(const QString& Name) {
  const std::string name = Name.toStdString();
  if (name == ctl::ButtonOpenFiles)
    ButtonOpenFilesClick();
  else if (name == ctl::ButtonSelectOutputDirectory)
    ButtonSelectOutputDirectoryClick();
  else if (name == ctl::ButtonOpenFileWordForm)
    ButtonOpenFileWordFormClick();
  else if (name == ctl::ButtonOpenFileLemma)
    ButtonOpenFileLemmaClick();
  else if (name == ctl::ButtonProcess)
    ButtonProcessClick();
  else if (name == ctl::ButtonCreateReference)
    ButtonCreateReferenceClick();
}

// ---- Pickers, the drop target, settings and keys ----

void TFormTavoraUX::ButtonOpenFilesClick() {
  if (IsRunning()) return;
  for (const QString& file : dialogs_.OpenFiles(this)) model_.AddInputLine(file.toStdU16String());
}

void TFormTavoraUX::ButtonSelectOutputDirectoryClick() {
  if (IsRunning()) return;
  if (const std::optional<QString> dir = dialogs_.SelectDirectory(this)) {
    model_.SetText(ctl::EditOutputDirectory, dir->toStdU16String());
  }
}

void TFormTavoraUX::SelectListFile(std::string_view field) {
  if (IsRunning()) return;
  // In the frequency-list task the field names a list to write, otherwise one to read.
  const bool forSaving = model_.IsShown(ctl::ButtonCreateReference);
  if (const std::optional<QString> file = dialogs_.SelectFile(this, forSaving)) {
    model_.SetText(field, file->toStdU16String());
  }
}

void TFormTavoraUX::ButtonOpenFileWordFormClick() { SelectListFile(ctl::EditWordDictionary); }

void TFormTavoraUX::ButtonOpenFileLemmaClick() { SelectListFile(ctl::EditLemmaDictionary); }

void TFormTavoraUX::dragEnterEvent(QDragEnterEvent* event) {
  if (!IsRunning() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormTavoraUX::dropEvent(QDropEvent* event) {
  if (IsRunning() || !event->mimeData()->hasUrls()) return;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    model_.DropFile(QDir::toNativeSeparators(url.toLocalFile()).toStdU16String());
  }
  event->acceptProposedAction();
}

void TFormTavoraUX::closeEvent(QCloseEvent* event) {
  // A run still going stops at its next progress report; the window closes without
  // reporting it.
  if (runThread_ != nullptr) {
    cancelRequested_ = true;
    FinishThread();
    progress_->Stop(false);
    progress_->ShowWaiting();
  }
  TWindowSettings::Save(model_, *this);
  QMainWindow::closeEvent(event);
}

void TFormTavoraUX::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The first question has the focus until the text field is shown.
  if (!focusedTexts_) widgets_->RadioButton(ctl::RGMode, 0)->setFocus(Qt::OtherFocusReason);
}

void TFormTavoraUX::RunChosenTask() {
  if (IsRunning()) return;
  for (const std::string_view name : {ctl::ButtonProcess, ctl::ButtonCreateReference}) {
    QWidget* button = widgets_->Widget(name);
    if (button->isVisible() && button->isEnabled()) {
      OnButton(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
      return;
    }
  }
}

void TFormTavoraUX::RestoreLastSettings() {
  if (IsRunning()) return;
  model_.ResetToStartValues();
  if (!TWindowSettings::Restore(model_, *this)) {
    dialogs_.Information(this, QStringLiteral("No settings have been kept yet: they are kept at "
                                              "every run and when the window closes."));
  }
}

void TFormTavoraUX::ResetToStartValues() {
  if (IsRunning()) return;
  model_.ResetToStartValues();
}

// ---- Runs ----

bool TFormTavoraUX::RefuseRun(TRunTask Task) {
  widgets_->ClearProblems();
  const std::vector<TRunProblem> problems = CheckRun(model_, Task);
  if (problems.empty()) return false;
  QStringList messages;
  for (const TRunProblem& p : problems) {
    const QString message = QString::fromStdString(p.Message);
    widgets_->ShowProblem(p.Control, message);
    messages << message;
  }
  labelWarning_->setText(QStringLiteral("Nothing was run. ") + messages.join(QLatin1Char(' ')));
  labelWarning_->setVisible(true);
  QWidget* first = widgets_->Widget(problems.front().Control);
  if (first->isVisible()) first->setFocus(Qt::OtherFocusReason);
  return true;
}

void TFormTavoraUX::ButtonProcessClick() {
  if (IsRunning() || RefuseRun(TRunTask::Measuring)) return;
  model_.PrepareRun();
  // The lists are prepared before Hill's Q is read, so a Q that cannot be read still
  // leaves the named lists loaded and cached.
  TWordOrLemmaNames lists = model_.GetReferenceFileNames();
  // A list named in a field the user cannot see (no cross measure chosen) is read when it
  // exists, as always; when it does not exist it is passed over instead of failing the run
  // over a file the window does not show.
  for (const auto& [kind, field] : {std::pair{tWordOrLemma::tokWord, ctl::EditWordDictionary},
                                    std::pair{tWordOrLemma::tokLemma, ctl::EditLemmaDictionary}}) {
    std::u16string& name = lists[kind];
    std::error_code ec;
    if (!name.empty() && !model_.IsVisible(field) && cache_.Find(name) == nullptr &&
        !std::filesystem::exists(std::filesystem::path(name), ec)) {
      name.clear();
    }
  }
  std::optional<TMeasureParameters> params;
  std::string qError;
  try {
    params = model_.GetMeasureParameters();
  } catch (const EConvertError& e) {
    qError = e.what();
  }
  runFolder_ = QString::fromStdU16String(model_.GetText(ctl::EditOutputDirectory));
  runWindow_ = static_cast<std::uint32_t>(model_.GetValue(ctl::SpinEditWindowLength));
  runHillsQ_ = params ? std::optional<double>(params->HillsQ) : std::nullopt;
  StartRun([this, lists, params, qError](TProcessTexts& driver, const TProgressCallback& progress) {
    const TReferenceDictionaryPair pair = cache_.Resolve(lists);
    if (!params) throw EConvertError(qError);
    driver.Measure(*params, pair, progress);
  });
}

void TFormTavoraUX::ButtonCreateReferenceClick() {
  if (IsRunning() || RefuseRun(TRunTask::FrequencyLists)) return;
  model_.PrepareRun();
  const TDictionaryParameters params = model_.GetDictionaryParameters();
  const std::u16string& list =
      params.WoL.Contains(tWordOrLemma::tokWord) ? params.OutputFileWF : params.OutputFileLemma;
  runFolder_ = QFileInfo(QString::fromStdU16String(list)).absolutePath();
  runWindow_ = 0;
  runHillsQ_.reset();
  StartRun([this, params](TProcessTexts& driver, const TProgressCallback& progress) {
    TPreparedDictionaries built = driver.PrepareDictionary(params, progress);
    TWordOrLemmaNames names;
    names[tWordOrLemma::tokWord] = params.OutputFileWF;
    names[tWordOrLemma::tokLemma] = params.OutputFileLemma;
    cache_.Store(std::move(built), names);
  });
}

void TFormTavoraUX::ButtonCancelClick() {
  if (!IsRunning()) return;
  cancelRequested_ = true;
  RequestReadCancel();  // a read that waits for a FIFO gives up
}

void TFormTavoraUX::StartRun(TJob job) {
  WarnAboutMissingEntries();
  TWindowSettings::Save(model_, *this);
  cancelRequested_ = false;
  ClearReadCancel();
  permille_ = 0;
  phase_ = static_cast<int>(TRunPhase::ReadingAndMeasuring);
  report_ = TRunReport{};
  progress_->Start();
  SetRunning(true);

  TProgressCallback progress = [this](std::uint64_t bytesRead, std::uint64_t totalBytes,
                                      std::uint64_t) {
    const int permille = totalBytes == 0 ? 0
                                         : static_cast<int>(std::min(bytesRead, totalBytes) *
                                                            TProgressDisplay::kRange / totalBytes);
    if (permille_.exchange(permille) != permille) {
      QMetaObject::invokeMethod(this, &TFormTavoraUX::ShowProgress, Qt::QueuedConnection);
    }
    return !cancelRequested_.load();
  };
  runThread_ = QThread::create([this, job = std::move(job), progress = std::move(progress)] {
    TProcessTexts driver;
    // The engines' diagnostics become warnings of the run's report.
    driver.SetDiagnosticSink([](std::string_view) {});
    driver.SetPhaseCallback([this](TRunPhase phase) {
      phase_ = static_cast<int>(phase);
      QMetaObject::invokeMethod(this, &TFormTavoraUX::ShowProgress, Qt::QueuedConnection);
    });
    // The whole-text difference's comparison of pairs shows its own share.
    driver.SetPairProgressCallback([this](std::uint64_t done, std::uint64_t total) {
      permille_ = total == 0 ? 0 : static_cast<int>(done * TProgressDisplay::kRange / total);
      QMetaObject::invokeMethod(this, &TFormTavoraUX::ShowProgress, Qt::QueuedConnection);
    });
    try {
      job(driver, progress);
      outcome_ = TOutcome::Complete;
    } catch (const TRunCancelled&) {
      outcome_ = TOutcome::Cancelled;
    } catch (const std::exception& e) {
      outcome_ = TOutcome::Failed;
      error_ = QString::fromUtf8(e.what());
    } catch (...) {
      outcome_ = TOutcome::Failed;
      error_ = QStringLiteral("The run failed for an unknown reason.");
    }
    report_ = driver.GetReport();
  });
  connect(runThread_, &QThread::finished, this, &TFormTavoraUX::EndOfRun, Qt::QueuedConnection);
  runThread_->start();
}

void TFormTavoraUX::EndOfRun() {
  if (runThread_ == nullptr) return;  // already ended (window closed during the run)
  FinishThread();
  progress_->Stop(outcome_ == TOutcome::Complete);

  // A failure is reported as such and never as "Complete!".
  switch (outcome_) {
    case TOutcome::Complete:
      dialogs_.Information(this, QString::fromLatin1(kComplete));
      ShowSummary();
      break;
    case TOutcome::Cancelled:
      dialogs_.Information(this, QString::fromLatin1(kCancelled));
      break;
    case TOutcome::Failed:
      dialogs_.Error(this, error_);
      break;
  }
  error_.clear();
  progress_->ShowWaiting();
  emit RunFinished();
}

void TFormTavoraUX::ShowSummary() {
  const bool measuring = runWindow_ > 0;
  summary_->ShowRun(report_, runWindow_, runFolder_, measuring);
  // A measuring run opens its results (quietly when it chose no result file).
  if (measuring) {
    results_->SetHillsQ(runHillsQ_);
    results_->OpenFolder(runFolder_, false);
    tabs_->setCurrentWidget(results_);
  }
}

void TFormTavoraUX::ButtonShowResultsClick() {
  if (const auto folder = dialogs_.SelectDirectory(this)) {
    results_->SetHillsQ(std::nullopt);
    results_->OpenFolder(*folder);
    tabs_->setCurrentWidget(results_);
  }
}

void TFormTavoraUX::SetRunning(bool running) {
  buttonShowResults_->setEnabled(!running);
  options_->setEnabled(!running);
  // The run buttons stand outside the options.
  for (const std::string_view name : {ctl::ButtonProcess, ctl::ButtonCreateReference})
    widgets_->Widget(name)->setEnabled(!running && model_.IsEnabled(name));
  buttonCancel_->setVisible(running);
  buttonCancel_->setEnabled(running);
  actionRun_->setEnabled(!running);
  actionCancel_->setEnabled(running);
}

void TFormTavoraUX::ShowProgress() {
  if (!IsRunning()) return;
  progress_->SetPhase(static_cast<TRunPhase>(phase_.load()));
  progress_->SetShare(permille_.load());
}

void TFormTavoraUX::Timer1Timer() { progress_->Timer1Timer(); }

}  // namespace tavora
