#include "app/TResultsView.h"

#include <set>
#include <stdexcept>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

#include "app/IDialogs.h"
#include "app/TResultTable.h"
#include "charts/TChartView.h"
#include "charts/TDistributionChart.h"
#include "charts/TSeriesChart.h"

namespace tavora {

namespace {

QString KindText(tWordOrLemma kind) {
  return kind == tWordOrLemma::tokWord ? QStringLiteral("word forms") : QStringLiteral("lemmata");
}

QString Text(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

TResultsView::TResultsView(IDialogs& Dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(Dialogs) {
  auto* box = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* open = new QPushButton(QStringLiteral("Open folder…"));
  open->setObjectName(QStringLiteral("ButtonOpenResults"));
  connect(open, &QPushButton::clicked, this, &TResultsView::ButtonOpenResultsClick);
  labelFolder_ = new QLabel(QStringLiteral("No results shown yet."));
  labelFolder_->setObjectName(QStringLiteral("LabelResultsFolder"));
  labelFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(open);
  top->addWidget(labelFolder_, 1);
  box->addLayout(top);

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("TabsResults"));
  auto* series = new QWidget;
  auto* dist = new QWidget;
  auto* tables = new QWidget;
  BuildSeriesTab(series);
  BuildDistributionTab(dist);
  BuildTableTab(tables);
  tabs_->addTab(series, QStringLiteral("Series"));
  tabs_->addTab(dist, QStringLiteral("Distributions"));
  tabs_->addTab(tables, QStringLiteral("Averages and whole texts"));
  box->addWidget(tabs_, 1);
}

TResultsView::~TResultsView() {
  cancel_ = true;
  if (thread_ != nullptr) {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
  }
}

void TResultsView::BuildSeriesTab(QWidget* page) {
  comboSeriesSet_ = new QComboBox;
  comboSeriesSet_->setObjectName(QStringLiteral("ComboSeriesSet"));
  comboMeasure_ = new QComboBox;
  comboMeasure_->setObjectName(QStringLiteral("ComboMeasure"));
  listDocuments_ = new QListWidget;
  listDocuments_->setObjectName(QStringLiteral("ListDocuments"));
  checkBothKinds_ = new QCheckBox(QStringLiteral("Word forms against lemmata"));
  checkBothKinds_->setObjectName(QStringLiteral("CheckBoxBothKinds"));
  auto* reset = new QPushButton(QStringLiteral("Show all"));
  reset->setObjectName(QStringLiteral("ButtonResetZoom"));
  auto* save = new QPushButton(QStringLiteral("Save chart…"));
  save->setObjectName(QStringLiteral("ButtonSaveSeriesChart"));

  seriesChart_ = new TSeriesChart;
  seriesView_ = new TChartView(seriesChart_);
  seriesView_->setObjectName(QStringLiteral("ChartSeries"));
  seriesView_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; double click: show all"));

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(QStringLiteral("Series:")));
  side->addWidget(comboSeriesSet_);
  side->addWidget(new QLabel(QStringLiteral("Measure:")));
  side->addWidget(comboMeasure_);
  side->addWidget(new QLabel(QStringLiteral("Documents:")));
  side->addWidget(listDocuments_, 1);
  side->addWidget(checkBothKinds_);
  side->addWidget(reset);
  side->addWidget(save);
  auto* row = new QHBoxLayout(page);
  row->addLayout(side);
  row->addWidget(seriesView_, 1);

  connect(comboSeriesSet_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) FillDocuments();
  });
  connect(comboMeasure_, &QComboBox::currentIndexChanged, this, [this] { ShowSeries(); });
  connect(listDocuments_, &QListWidget::itemChanged, this, [this] { ShowSeries(); });
  connect(checkBothKinds_, &QCheckBox::toggled, this, [this] { ShowSeries(); });
  connect(reset, &QPushButton::clicked, this, [this] { seriesChart_->ResetZoom(); });
  connect(save, &QPushButton::clicked, this, &TResultsView::ButtonSaveSeriesChartClick);
}

void TResultsView::BuildDistributionTab(QWidget* page) {
  comboDistribution_ = new QComboBox;
  comboDistribution_->setObjectName(QStringLiteral("ComboDistribution"));
  comboBlock_ = new QComboBox;
  comboBlock_->setObjectName(QStringLiteral("ComboDistributionDocument"));
  auto* save = new QPushButton(QStringLiteral("Save chart…"));
  save->setObjectName(QStringLiteral("ButtonSaveDistributionChart"));
  distChart_ = new TDistributionChart;
  distView_ = new TChartView(distChart_);
  distView_->setObjectName(QStringLiteral("ChartDistribution"));

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Distribution:")));
  top->addWidget(comboDistribution_, 1);
  top->addWidget(new QLabel(QStringLiteral("Document:")));
  top->addWidget(comboBlock_, 1);
  top->addWidget(save);
  auto* box = new QVBoxLayout(page);
  box->addLayout(top);
  box->addWidget(distView_, 1);

  connect(comboDistribution_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ShowDistributionFile();
  });
  connect(comboBlock_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ShowDistributionBlock();
  });
  connect(save, &QPushButton::clicked, this, &TResultsView::ButtonSaveDistributionChartClick);
}

void TResultsView::BuildTableTab(QWidget* page) {
  comboTable_ = new QComboBox;
  comboTable_->setObjectName(QStringLiteral("ComboTable"));
  auto* copy = new QPushButton(QStringLiteral("Copy to clipboard"));
  copy->setObjectName(QStringLiteral("ButtonCopyTable"));
  table_ = new TResultTable;
  table_->setObjectName(QStringLiteral("TableResults"));
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Table:")));
  top->addWidget(comboTable_, 1);
  top->addWidget(copy);
  auto* box = new QVBoxLayout(page);
  box->addLayout(top);
  box->addWidget(table_, 1);
  connect(comboTable_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) ShowTable();
  });
  connect(copy, &QPushButton::clicked, this, &TResultsView::ButtonCopyTableClick);
}

void TResultsView::ButtonOpenResultsClick() {
  if (const auto folder = dialogs_.SelectDirectory(this)) OpenFolder(*folder);
}

void TResultsView::OpenFolder(const QString& Folder, bool ReportEmpty) {
  try {
    results_.emplace(std::filesystem::path(QDir::fromNativeSeparators(Folder).toStdU16String()));
  } catch (const std::exception& e) {
    results_.reset();
    dialogs_.Error(this, QString::fromUtf8(e.what()));
    return;
  }
  folder_ = Folder;
  tables_.clear();
  docNames_.clear();
  if (results_->GetFiles().empty()) {
    labelFolder_->setText(
        QStringLiteral("No result files in %1").arg(QDir::toNativeSeparators(Folder)));
    if (ReportEmpty)
      dialogs_.Error(this, QStringLiteral("The folder \"%1\" holds no result files.")
                               .arg(QDir::toNativeSeparators(Folder)));
  } else {
    labelFolder_->setText(QDir::toNativeSeparators(Folder));
  }

  // Names of the documents, from whichever table has them: the id the input gave, or the
  // file's name without its folders.
  for (const TTextRow& row : results_->ReadDocuments()) {
    const QString name = !row.DocumentId.empty()
                             ? Text(row.DocumentId)
                             : QFileInfo(QDir::fromNativeSeparators(Text(row.FileName))).fileName();
    docNames_[QString::fromStdU16String(row.TextId).toLongLong()] = name;
  }

  filling_ = true;
  seriesSets_.clear();
  comboSeriesSet_->clear();
  for (const TResultFileInfo& f : results_->Find(TOutputType::outSerie)) {
    if (!seriesSets_.empty() && seriesSets_.back().Kind == f.Kind &&
        seriesSets_.back().Lag == f.Lag)
      continue;
    seriesSets_.push_back({f.Kind, f.Lag});
    comboSeriesSet_->addItem(QStringLiteral("%1, window %2").arg(KindText(f.Kind)).arg(f.Lag));
  }
  distFiles_ = results_->Find(TOutputType::outDistribution);
  comboDistribution_->clear();
  for (const TResultFileInfo& f : distFiles_)
    comboDistribution_->addItem(
        QStringLiteral("%1, %2, window %3").arg(Text(f.Caption), KindText(f.Kind)).arg(f.Lag));
  tableFiles_.clear();
  comboTable_->clear();
  for (const TOutputType family :
       {TOutputType::outAverage, TOutputType::outWholeTexts, TOutputType::outIndices}) {
    for (const TResultFileInfo& f : results_->Find(family)) {
      tableFiles_.push_back(f);
      const QString what = family == TOutputType::outAverage      ? QStringLiteral("Averages")
                           : family == TOutputType::outWholeTexts ? QStringLiteral("Whole texts")
                                                                  : QStringLiteral("Indices");
      comboTable_->addItem(
          f.Lag > 0 ? QStringLiteral("%1, %2, window %3").arg(what, KindText(f.Kind)).arg(f.Lag)
                    : QStringLiteral("%1, %2").arg(what, KindText(f.Kind)));
    }
  }
  filling_ = false;
  FillDocuments();
  ShowDistributionFile();
  ShowTable();
}

QString TResultsView::DocumentName(std::int64_t doc) const {
  const auto it = docNames_.find(doc);
  return it == docNames_.end() || it->second.isEmpty()
             ? QStringLiteral("Text %1").arg(doc)
             : QStringLiteral("Text %1: %2").arg(doc).arg(it->second);
}

std::map<std::int64_t, double> TResultsView::TokenCounts(tWordOrLemma Kind) const {
  std::map<std::int64_t, double> counts;
  for (const TResultFileInfo& f : results_->Find(TOutputType::outWholeTexts, Kind)) {
    try {
      const TTextTable table = TResultFolder::ReadTextTable(f.Path);
      const auto column = table.ColumnOf(u"Tokens");
      if (!column) continue;
      for (const TTextRow& row : table.Rows)
        counts[QString::fromStdU16String(row.TextId).toLongLong()] = row.Values[*column];
    } catch (const std::exception&) {
      // The table tab reports a broken file when it is chosen.
    }
  }
  return counts;
}

void TResultsView::FillDocuments() {
  filling_ = true;
  listDocuments_->clear();
  const QString measure = comboMeasure_->currentText();
  comboMeasure_->clear();
  const int set = comboSeriesSet_->currentIndex();
  if (results_ && set >= 0 && set < static_cast<int>(seriesSets_.size())) {
    const TSeriesSet& s = seriesSets_[static_cast<std::size_t>(set)];
    const std::vector<TResultFileInfo> files = results_->Find(TOutputType::outSerie, s.Kind, s.Lag);
    const std::map<std::int64_t, double> tokens = TokenCounts(s.Kind);
    bool first = true;
    for (const TResultFileInfo& f : files) {
      auto* item = new QListWidgetItem(DocumentName(f.Doc), listDocuments_);
      item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(f.Doc));
      bool empty = false;
      try {
        empty = TResultFolder::SeriesHasNoWindow(f.Path);
      } catch (const std::exception&) {
        // An unreadable series is reported when it is drawn.
      }
      if (empty) {
        // Nothing to draw: the document completed no window position.
        const auto n = tokens.find(f.Doc);
        QString count = QStringLiteral("fewer than %1 tokens").arg(s.Lag);
        if (n != tokens.end())
          count = n->second == 1 ? QStringLiteral("1 token")
                                 : QStringLiteral("%1 tokens").arg(n->second);
        item->setText(item->text() +
                      QStringLiteral(" \u2014 shorter than the window (%1)").arg(count));
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        continue;
      }
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(first ? Qt::Checked : Qt::Unchecked);
      first = false;
    }
    if (!files.empty()) {
      try {
        for (const std::u16string& c : TResultFolder::ReadSeriesCaptions(files.front().Path))
          comboMeasure_->addItem(Text(c));
      } catch (const std::exception& e) {
        dialogs_.Error(this, QString::fromUtf8(e.what()));
      }
      // The measure shown before stays chosen when the new series have it; the first
      // measure after "Tokens" otherwise.
      const int keep = comboMeasure_->findText(measure);
      comboMeasure_->setCurrentIndex(keep >= 0 ? keep : std::min(1, comboMeasure_->count() - 1));
    }
  }
  filling_ = false;
  ShowSeries();
}

void TResultsView::ShowSeries() {
  if (filling_ || !results_) return;
  const int set = comboSeriesSet_->currentIndex();
  const QString measure = comboMeasure_->currentText();
  if (set < 0 || set >= static_cast<int>(seriesSets_.size()) || measure.isEmpty()) {
    seriesChart_->SetCurves(QString(), {});
    return;
  }
  const TSeriesSet& s = seriesSets_[static_cast<std::size_t>(set)];
  std::vector<tWordOrLemma> kinds{s.Kind};
  if (checkBothKinds_->isChecked())
    kinds.push_back(s.Kind == tWordOrLemma::tokWord ? tWordOrLemma::tokLemma
                                                    : tWordOrLemma::tokWord);

  std::vector<TWantedCurve> wanted;
  for (int i = 0; i < listDocuments_->count(); ++i) {
    const QListWidgetItem* item = listDocuments_->item(i);
    if (item->checkState() != Qt::Checked) continue;
    const std::int64_t doc = item->data(Qt::UserRole).toLongLong();
    for (const tWordOrLemma kind : kinds) {
      for (const TResultFileInfo& f : results_->Find(TOutputType::outSerie, kind, s.Lag)) {
        if (f.Doc != doc) continue;
        wanted.push_back(
            {f.Path, QStringLiteral("Text %1, %2").arg(doc).arg(KindText(kind)), kind, s.Lag, doc});
      }
    }
  }
  std::vector<std::filesystem::path> missing;
  for (const TWantedCurve& w : wanted)
    if (tables_.find(w.Path) == tables_.end()) missing.push_back(w.Path);
  if (!missing.empty() || IsLoading()) {
    if (IsLoading()) {
      pending_ = true;
    } else {
      StartLoading(std::move(missing));
    }
    return;
  }

  std::vector<TSeriesCurve> curves;
  const std::u16string caption = measure.toStdU16String();
  for (const TWantedCurve& w : wanted) {
    const auto& table = tables_.at(w.Path);
    const auto column = table->ColumnOf(caption);
    if (!column) continue;
    TSeriesCurve curve;
    curve.Name = w.Name;
    curve.Table = table;
    curve.Column = *column;
    try {
      if (const auto average = results_->ReadAverage(w.Kind, w.Lag, w.Doc, caption))
        curve.Average = *average;
    } catch (const std::exception&) {
      // Without a readable averages file the series is shown without its average.
    }
    curves.push_back(std::move(curve));
  }
  seriesChart_->SetCurves(measure, std::move(curves));
  emit SeriesShown();
}

void TResultsView::StartLoading(std::vector<std::filesystem::path> Paths) {
  job_ = std::make_shared<TLoadJob>();
  job_->Paths = std::move(Paths);
  cancel_ = false;
  std::shared_ptr<TLoadJob> job = job_;
  thread_ = QThread::create([this, job] {
    const double parts = static_cast<double>(job->Paths.size());
    try {
      for (std::size_t i = 0; i < job->Paths.size(); ++i) {
        job->Tables.push_back(std::make_shared<const TSeriesTable>(
            TResultFolder::ReadSeries(job->Paths[i], [this, i, parts](double share) {
              const int permille =
                  static_cast<int>((static_cast<double>(i) + share) / parts * 1000.0);
              QMetaObject::invokeMethod(
                  this, [this, permille] { emit LoadProgress(permille); }, Qt::QueuedConnection);
              return !cancel_.load();
            })));
      }
    } catch (const std::exception& e) {
      job->Error = QString::fromUtf8(e.what());
    }
  });
  connect(thread_, &QThread::finished, this, &TResultsView::LoadingEnded, Qt::QueuedConnection);
  emit LoadingChanged(true);
  thread_->start();
}

void TResultsView::LoadingEnded() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  std::shared_ptr<TLoadJob> job = std::move(job_);
  for (std::size_t i = 0; i < job->Tables.size(); ++i) tables_[job->Paths[i]] = job->Tables[i];
  emit LoadProgress(1000);
  emit LoadingChanged(false);
  pending_ = false;
  if (!job->Error.isEmpty()) {
    dialogs_.Error(this, job->Error);
    // The files that failed are not asked for again until the choice changes.
    for (const auto& p : job->Paths)
      if (tables_.find(p) == tables_.end()) tables_[p] = std::make_shared<const TSeriesTable>();
  }
  ShowSeries();
}

void TResultsView::ShowDistributionFile() {
  blocks_.clear();
  filling_ = true;
  comboBlock_->clear();
  const int i = comboDistribution_->currentIndex();
  if (i >= 0 && i < static_cast<int>(distFiles_.size())) {
    try {
      blocks_ = TResultFolder::ReadDistribution(distFiles_[static_cast<std::size_t>(i)].Path);
    } catch (const std::exception& e) {
      dialogs_.Error(this, QString::fromUtf8(e.what()));
    }
    for (const TDistributionBlock& b : blocks_)
      comboBlock_->addItem(b.TextId.empty()
                               ? Text(b.Name)
                               : DocumentName(QString::fromStdU16String(b.TextId).toLongLong()));
    // The whole run first.
    if (!blocks_.empty()) comboBlock_->setCurrentIndex(static_cast<int>(blocks_.size()) - 1);
  }
  filling_ = false;
  ShowDistributionBlock();
}

void TResultsView::ShowDistributionBlock() {
  const int i = comboBlock_->currentIndex();
  const int f = comboDistribution_->currentIndex();
  if (i < 0 || i >= static_cast<int>(blocks_.size()) || f < 0) {
    distChart_->SetBlock(QString(), TDistributionBlock{});
    return;
  }
  distChart_->SetBlock(Text(distFiles_[static_cast<std::size_t>(f)].Caption),
                       blocks_[static_cast<std::size_t>(i)]);
}

void TResultsView::ShowTable() {
  const int i = comboTable_->currentIndex();
  if (i < 0 || i >= static_cast<int>(tableFiles_.size())) {
    table_->Show(nullptr);
    return;
  }
  try {
    const TTextTable t =
        TResultFolder::ReadTextTable(tableFiles_[static_cast<std::size_t>(i)].Path);
    table_->Show(&t);
  } catch (const std::exception& e) {
    table_->Show(nullptr);
    dialogs_.Error(this, QString::fromUtf8(e.what()));
  }
}

QString TResultsView::TableText() const { return table_->Text(); }

void TResultsView::ButtonCopyTableClick() { QApplication::clipboard()->setText(TableText()); }

void TResultsView::ButtonSaveSeriesChartClick() { SaveChart(seriesView_); }

void TResultsView::ButtonSaveDistributionChartClick() { SaveChart(distView_); }

void TResultsView::SaveChart(TChartView* view) {
  const auto answer = dialogs_.SelectFile(this, true);
  if (!answer) return;
  QString file = *answer;
  if (!file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
      !file.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
    file += QStringLiteral(".png");
  try {
    view->SaveImage(file);
  } catch (const std::exception& e) {
    dialogs_.Error(this, QString::fromUtf8(e.what()));
  }
}

}  // namespace tavora
