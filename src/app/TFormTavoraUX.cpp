#include "app/TFormTavoraUX.h"

#include <algorithm>
#include <clocale>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include "app/IDialogs.h"
#include "app/TOptionWidgets.h"
#include "app/TResultsView.h"
#include "base/Platform.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "processing/TProcessTexts.h"

namespace tavora {

namespace {

constexpr int kProgressRange = 1000;  // the bar counts per mille of the input's bytes

// A column that scrolls vertically and asks for the full width of what it shows.
class TColumnScroll final : public QScrollArea {
 public:
  explicit TColumnScroll(QWidget* content) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(content);
  }
  QSize minimumSizeHint() const override {
    return WithContentWidth(QScrollArea::minimumSizeHint());
  }
  QSize sizeHint() const override { return WithContentWidth(QScrollArea::sizeHint()); }

 private:
  QSize WithContentWidth(QSize size) const {
    size.setWidth(widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width() +
                  2 * frameWidth());
    return size;
  }
};

QScrollArea* Scrolling(QWidget* content) { return new TColumnScroll(content); }

}  // namespace

TFormTavoraUX::TFormTavoraUX(IDialogs& Dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(Dialogs) {
  // Numbers are converted with "." as the decimal separator whatever the user's locale:
  // the C library's (which the toolkit set from the environment) and the toolkit's own.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  setWindowTitle(QString::fromStdU16String(std::u16string(TOptionsModel::kWindowCaption)));
  setAcceptDrops(true);
  BuildWindow();

  timer1_.setInterval(1000);
  connect(&timer1_, &QTimer::timeout, this, &TFormTavoraUX::Timer1Timer);
}

TFormTavoraUX::~TFormTavoraUX() {
  cancelRequested_ = true;
  FinishThread();
}

void TFormTavoraUX::FinishThread() {
  timer1_.stop();
  if (runThread_ == nullptr) return;
  runThread_->wait();
  delete runThread_;
  runThread_ = nullptr;
  SetRunning(false);
}

void TFormTavoraUX::BuildWindow() {
  widgets_ = new TOptionWidgets(model_, this);
  connect(widgets_, &TOptionWidgets::ButtonClicked, this, &TFormTavoraUX::OnButton);
  connect(widgets_, &TOptionWidgets::PanelsMoved, this, &TFormTavoraUX::ArrangeLeftColumn);
  connect(widgets_, &TOptionWidgets::ShownChanged, this, [this] {
    // Once the layouts have taken in the change, the columns ask for their new widths.
    if (columnsPending_) return;
    columnsPending_ = true;
    QTimer::singleShot(0, this, [this] {
      columnsPending_ = false;
      for (QScrollArea* column : findChildren<QScrollArea*>()) column->updateGeometry();
    });
  });
  connect(widgets_, &TOptionWidgets::ChangeRefused, this,
          [this](const QString& message) { dialogs_.Error(this, message); });

  // Left column: the first question, then the text field above the input settings with a
  // splitter between them.
  const std::vector<std::string> left = model_.LeftColumnPanels();
  auto* leftColumn = new QWidget;
  auto* leftBox = new QVBoxLayout(leftColumn);
  leftBox->setContentsMargins(0, 0, 0, 0);
  leftBox->addWidget(widgets_->Widget(ctl::PanelFirstDecision));
  auto* lowerContent = new QWidget;
  leftLower_ = new QVBoxLayout(lowerContent);
  leftLower_->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 2; i < left.size(); ++i) leftLower_->addWidget(widgets_->Widget(left[i]));
  leftLower_->addStretch(1);
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->setObjectName(QStringLiteral("SplitterTexts"));
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(widgets_->Widget(ctl::PanelInputTexts));
  splitter->addWidget(Scrolling(lowerContent));
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  leftBox->addWidget(splitter, 1);

  // Right column: task, measures, lists, output.
  auto* rightContent = new QWidget;
  auto* rightBox = new QVBoxLayout(rightContent);
  rightBox->setContentsMargins(0, 0, 0, 0);
  for (const std::string& panel : model_.RightColumnPanels())
    rightBox->addWidget(widgets_->Widget(panel));
  rightBox->addStretch(1);

  options_ = new QWidget;
  auto* columns = new QHBoxLayout(options_);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(leftColumn, 1);
  columns->addWidget(Scrolling(rightContent), 1);

  // Across the bottom: status line, progress bar and, during a run, "Cancel".
  labelStatus_ = new QLabel(QString::fromLatin1(kStatusWaiting));
  labelStatus_->setObjectName(QStringLiteral("LabelStatus"));
  labelWarning_ = new QLabel;
  labelWarning_->setObjectName(QStringLiteral("LabelStatusWarning"));
  labelWarning_->setWordWrap(true);
  labelWarning_->setVisible(false);
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName(QStringLiteral("ProgressBar"));
  progressBar_->setRange(0, kProgressRange);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  buttonCancel_ = new QPushButton(QStringLiteral("Cancel"));
  buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
  buttonCancel_->setVisible(false);
  connect(buttonCancel_, &QPushButton::clicked, this, &TFormTavoraUX::ButtonCancelClick);
  buttonShowResults_ = new QPushButton(QStringLiteral("Show results"));
  buttonShowResults_->setObjectName(QStringLiteral("ButtonShowResults"));
  connect(buttonShowResults_, &QPushButton::clicked, this, &TFormTavoraUX::ButtonShowResultsClick);
  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(progressBar_, 1);
  progressRow->addWidget(buttonCancel_);
  progressRow->addWidget(buttonShowResults_);

  // The results of a run in a second tab; reading long series drives the progress bar.
  results_ = new TResultsView(dialogs_);
  results_->setObjectName(QStringLiteral("ResultsView"));
  connect(results_, &TResultsView::LoadProgress, this, [this](int permille) {
    if (!IsRunning()) progressBar_->setValue(permille * kProgressRange / 1000);
  });
  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("TabsMain"));
  tabs_->addTab(options_, QStringLiteral("Options"));
  tabs_->addTab(results_, QStringLiteral("Results"));

  auto* central = new QWidget;
  auto* box = new QVBoxLayout(central);
  box->addWidget(tabs_, 1);
  auto* statusRow = new QHBoxLayout;
  statusRow->addWidget(labelStatus_);
  statusRow->addWidget(labelWarning_, 1);
  box->addLayout(statusRow);
  box->addLayout(progressRow);
  setCentralWidget(central);

  widgets_->RefreshAll();
  ArrangeLeftColumn();

  // A start size in proportion to the screen; the layouts do the rest.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize available = screen->availableGeometry().size();
    resize(std::min(available.width(), std::max(sizeHint().width(), available.width() * 3 / 4)),
           std::min(available.height(), std::max(sizeHint().height(), available.height() * 3 / 4)));
  }
}

void TFormTavoraUX::ArrangeLeftColumn() {
  if (leftLower_ == nullptr) return;
  const std::vector<std::string> left = model_.LeftColumnPanels();
  for (std::size_t i = 2; i < left.size(); ++i) {
    QWidget* panel = widgets_->Widget(left[i]);
    leftLower_->removeWidget(panel);
    leftLower_->insertWidget(static_cast<int>(i - 2), panel);
  }
  std::vector<std::string> order = left;
  const std::vector<std::string> right = model_.RightColumnPanels();
  order.insert(order.end(), right.begin(), right.end());
  widgets_->ApplyTabOrder(order);
}

QString TFormTavoraUX::StatusText() const { return labelStatus_->text(); }

void TFormTavoraUX::SetStatus(const QString& text) { labelStatus_->setText(text); }

QString TFormTavoraUX::StatusWarning() const { return labelWarning_->text(); }

void TFormTavoraUX::WarnAboutMissingEntries() {
  QStringList missing;
  if (model_.GetItemIndex(ctl::RGMode) == 0) {
    const QString list = QString::fromStdU16String(model_.GetText(ctl::MemoListOfTexts));
    for (const QString& line : list.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")))) {
      const QString entry = line.trimmed();
      std::error_code ec;
      if (!entry.isEmpty() && !std::filesystem::exists(entry.toStdU16String(), ec)) {
        missing << entry;
      }
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

// ---- Pickers and the drop target ----

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
    SetStatus(QString::fromLatin1(kStatusWaiting));
  }
  QMainWindow::closeEvent(event);
}

// ---- Runs ----

void TFormTavoraUX::ButtonProcessClick() {
  if (IsRunning()) return;
  progressI_ = 0;
  progressA_ = 1;
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
  runOutputFolder_ = params ? QString::fromStdU16String(params->OutputFolder) : QString();
  StartRun([this, lists, params, qError](const TProgressCallback& progress) {
    TProcessTexts driver;
    const TReferenceDictionaryPair pair = cache_.Resolve(lists);
    if (!params) throw EConvertError(qError);
    driver.Measure(*params, pair, progress);
  });
}

void TFormTavoraUX::ButtonCreateReferenceClick() {
  if (IsRunning()) return;
  progressI_ = 0;
  progressA_ = 1;
  model_.PrepareRun();
  const TDictionaryParameters params = model_.GetDictionaryParameters();
  runOutputFolder_.clear();
  StartRun([this, params](const TProgressCallback& progress) {
    TProcessTexts driver;
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
  SetStatus(QString::fromLatin1(kStatusPhase) + QString::number(progressA_));
  cancelRequested_ = false;
  ClearReadCancel();
  permille_ = 0;
  progressBar_->setValue(0);
  SetRunning(true);
  timer1_.start();

  TProgressCallback progress = [this](std::uint64_t bytesRead, std::uint64_t totalBytes,
                                      std::uint64_t) {
    const int permille =
        totalBytes == 0
            ? 0
            : static_cast<int>(std::min(bytesRead, totalBytes) * kProgressRange / totalBytes);
    if (permille_.exchange(permille) != permille) {
      QMetaObject::invokeMethod(this, &TFormTavoraUX::ShowProgress, Qt::QueuedConnection);
    }
    return !cancelRequested_.load();
  };
  runThread_ = QThread::create([this, job = std::move(job), progress = std::move(progress)] {
    try {
      job(progress);
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
  });
  connect(runThread_, &QThread::finished, this, &TFormTavoraUX::EndOfRun, Qt::QueuedConnection);
  runThread_->start();
}

void TFormTavoraUX::EndOfRun() {
  if (runThread_ == nullptr) return;  // already ended (window closed during the run)
  FinishThread();

  // A failure is reported as such and never as "Complete!".
  switch (outcome_) {
    case TOutcome::Complete:
      progressBar_->setValue(kProgressRange);
      dialogs_.Information(this, QString::fromLatin1(kComplete));
      // A measuring run opens its results (quietly when it chose no result file).
      if (!runOutputFolder_.isEmpty()) {
        results_->OpenFolder(runOutputFolder_, false);
        tabs_->setCurrentWidget(results_);
      }
      break;
    case TOutcome::Cancelled:
      dialogs_.Information(this, QString::fromLatin1(kCancelled));
      break;
    case TOutcome::Failed:
      dialogs_.Error(this, error_);
      break;
  }
  error_.clear();
  SetStatus(QString::fromLatin1(kStatusWaiting));
  emit RunFinished();
}

void TFormTavoraUX::ButtonShowResultsClick() {
  if (const auto folder = dialogs_.SelectDirectory(this)) {
    results_->OpenFolder(*folder);
    tabs_->setCurrentWidget(results_);
  }
}

void TFormTavoraUX::SetRunning(bool running) {
  buttonShowResults_->setEnabled(!running);
  options_->setEnabled(!running);
  buttonCancel_->setVisible(running);
  buttonCancel_->setEnabled(running);
}

void TFormTavoraUX::ShowProgress() {
  if (IsRunning()) progressBar_->setValue(permille_.load());
}

void TFormTavoraUX::Timer1Timer() {
  ++progressI_;
  if (progressI_ == 60) {
    progressI_ = 0;
    ++progressA_;
    SetStatus(QString::fromLatin1(kStatusPhase) + QString::number(progressA_));
  }
}

}  // namespace tavora
