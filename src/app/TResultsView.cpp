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
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

#include "app/IDialogs.h"
#include "app/ResultLabels.h"
#include "app/TDistributionPage.h"
#include "app/TResultTable.h"
#include "charts/TChartView.h"
#include "charts/TSeriesChart.h"

namespace tavora {

namespace {

QLineEdit* FilterField(const QString& name) {
  auto* field = new QLineEdit;
  field->setObjectName(name);
  field->setPlaceholderText(QStringLiteral("Filter by name"));
  field->setAccessibleName(QStringLiteral("Filter the documents by name"));
  field->setClearButtonEnabled(true);
  field->hide();
  return field;
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
  distribution_ = new TDistributionPage(Dialogs);
  auto* tables = new QWidget;
  BuildSeriesTab(series);
  BuildTableTab(tables);
  tabs_->addTab(series, QStringLiteral("Series"));
  tabs_->addTab(distribution_, QStringLiteral("Distributions"));
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
  comboSeriesSet_->setAccessibleName(QStringLiteral("Series"));
  comboMeasure_ = new QComboBox;
  comboMeasure_->setObjectName(QStringLiteral("ComboMeasure"));
  comboMeasure_->setAccessibleName(QStringLiteral("Measure"));
  listDocuments_ = new QListWidget;
  listDocuments_->setObjectName(QStringLiteral("ListDocuments"));
  listDocuments_->setAccessibleName(QStringLiteral("Documents"));
  filterDocuments_ = FilterField(QStringLiteral("FilterDocuments"));
  checkBothKinds_ = new QCheckBox(QStringLiteral("Word forms against lemmata"));
  checkBothKinds_->setObjectName(QStringLiteral("CheckBoxBothKinds"));
  auto* reset = new QPushButton(QStringLiteral("Show all"));
  reset->setObjectName(QStringLiteral("ButtonResetZoom"));
  auto* save = new QPushButton(QStringLiteral("Save chart…"));
  save->setObjectName(QStringLiteral("ButtonSaveSeriesChart"));

  seriesChart_ = new TSeriesChart;
  seriesView_ = new TChartView(seriesChart_);
  seriesView_->setObjectName(QStringLiteral("ChartSeries"));
  seriesView_->setAccessibleName(QStringLiteral("Series chart"));
  seriesView_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; double click: show all"));

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(QStringLiteral("Series:")));
  side->addWidget(comboSeriesSet_);
  side->addWidget(new QLabel(QStringLiteral("Measure:")));
  side->addWidget(comboMeasure_);
  side->addWidget(new QLabel(QStringLiteral("Documents:")));
  side->addWidget(filterDocuments_);
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
  connect(filterDocuments_, &QLineEdit::textChanged, this, &TResultsView::FilterDocuments);
  connect(listDocuments_, &QListWidget::itemChanged, this, [this] { ShowSeries(); });
  connect(checkBothKinds_, &QCheckBox::toggled, this, [this] { ShowSeries(); });
  connect(reset, &QPushButton::clicked, this, [this] { seriesChart_->ResetZoom(); });
  connect(save, &QPushButton::clicked, this, &TResultsView::ButtonSaveSeriesChartClick);
}

void TResultsView::BuildTableTab(QWidget* page) {
  comboTable_ = new QComboBox;
  comboTable_->setObjectName(QStringLiteral("ComboTable"));
  comboTable_->setAccessibleName(QStringLiteral("Table"));
  auto* copy = new QPushButton(QStringLiteral("Copy to clipboard"));
  copy->setObjectName(QStringLiteral("ButtonCopyTable"));
  table_ = new TResultTable;
  table_->setObjectName(QStringLiteral("TableResults"));
  table_->setAccessibleName(QStringLiteral("Table of results"));
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
  distribution_->SetFiles(results_->Find(TOutputType::outDistribution), hillsQ_);
  ShowTable();
}

QString TResultsView::DocumentName(std::int64_t doc) const {
  const auto it = docNames_.find(doc);
  return it == docNames_.end()
             ? QStringLiteral("Text %1").arg(doc)
             : QStringLiteral("%1. %2").arg(doc).arg(ShortDocumentName(it->second));
}

void TResultsView::FilterDocuments(const QString& text) {
  for (int i = 0; i < listDocuments_->count(); ++i) {
    QListWidgetItem* item = listDocuments_->item(i);
    item->setHidden(!item->text().contains(text, Qt::CaseInsensitive) &&
                    !item->toolTip().contains(text, Qt::CaseInsensitive));
  }
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
  const QString measure = comboMeasure_->currentData().toString();
  comboMeasure_->clear();
  const int set = comboSeriesSet_->currentIndex();
  if (results_ && set >= 0 && set < static_cast<int>(seriesSets_.size())) {
    const TSeriesSet& s = seriesSets_[static_cast<std::size_t>(set)];
    const std::vector<TResultFileInfo> files = results_->Find(TOutputType::outSerie, s.Kind, s.Lag);
    const std::map<std::int64_t, double> tokens = TokenCounts(s.Kind);
    bool first = true;
    for (const TResultFileInfo& f : files) {
      auto* item = new QListWidgetItem(DocumentName(f.Doc), listDocuments_);
      if (const auto name = docNames_.find(f.Doc); name != docNames_.end())
        item->setToolTip(name->second);
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
        for (const std::u16string& c : TResultFolder::ReadSeriesCaptions(files.front().Path)) {
          comboMeasure_->addItem(MeasureLabel(Text(c), hillsQ_), Text(c));
          comboMeasure_->setItemData(comboMeasure_->count() - 1, MeasureToolTip(Text(c)),
                                     Qt::ToolTipRole);
        }
      } catch (const std::exception& e) {
        dialogs_.Error(this, QString::fromUtf8(e.what()));
      }
      // The measure shown before stays chosen when the new series have it; the first
      // measure after "Tokens" otherwise.
      const int keep = comboMeasure_->findData(measure);
      comboMeasure_->setCurrentIndex(keep >= 0 ? keep : std::min(1, comboMeasure_->count() - 1));
    }
  }
  filterDocuments_->clear();
  filterDocuments_->setVisible(listDocuments_->count() >= kFilterFrom);
  filling_ = false;
  ShowSeries();
}

void TResultsView::ShowSeries() {
  if (filling_ || !results_) return;
  const int set = comboSeriesSet_->currentIndex();
  const QString measure = comboMeasure_->currentData().toString();
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
  QStringList documents;
  for (int i = 0; i < listDocuments_->count(); ++i) {
    const QListWidgetItem* item = listDocuments_->item(i);
    if (item->checkState() != Qt::Checked) continue;
    const std::int64_t doc = item->data(Qt::UserRole).toLongLong();
    documents << DocumentName(doc);
    for (const tWordOrLemma kind : kinds) {
      for (const TResultFileInfo& f : results_->Find(TOutputType::outSerie, kind, s.Lag)) {
        if (f.Doc != doc) continue;
        wanted.push_back({f.Path, QStringLiteral("%1, %2").arg(DocumentName(doc), KindText(kind)),
                          kind, s.Lag, doc});
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

  std::vector<TSeriesCurve> curves = LoadedCurves(wanted, measure.toStdU16String());
  seriesChart_->SetCurves(MeasureTitle(measure, hillsQ_), std::move(curves));
  seriesChart_->setTitle(ChartTitle(
      MeasureTitle(measure, hillsQ_), documents,
      kinds.size() > 1 ? QStringLiteral("word forms and lemmata") : KindText(s.Kind), s.Lag));
  emit SeriesShown();
}

std::vector<TSeriesCurve> TResultsView::LoadedCurves(const std::vector<TWantedCurve>& Wanted,
                                                     const std::u16string& caption) const {
  std::vector<TSeriesCurve> curves;
  for (const TWantedCurve& w : Wanted) {
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
  return curves;
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

TDistributionChart* TResultsView::DistributionChart() const { return distribution_->Chart(); }

TChartView* TResultsView::DistributionView() const { return distribution_->View(); }

QString TResultsView::TableText() const { return table_->Text(); }

void TResultsView::ButtonCopyTableClick() { QApplication::clipboard()->setText(TableText()); }

void TResultsView::ButtonSaveSeriesChartClick() {
  const int set = comboSeriesSet_->currentIndex();
  if (set < 0 || set >= static_cast<int>(seriesSets_.size())) return;
  QList<std::int64_t> documents;
  for (int i = 0; i < listDocuments_->count(); ++i) {
    if (listDocuments_->item(i)->checkState() == Qt::Checked)
      documents << listDocuments_->item(i)->data(Qt::UserRole).toLongLong();
  }
  const TSeriesSet& s = seriesSets_[static_cast<std::size_t>(set)];
  SaveChartImage(dialogs_, this, seriesView_,
                 ChartFileName(comboMeasure_->currentData().toString(), documents, s.Kind, s.Lag));
}

}  // namespace tavora
