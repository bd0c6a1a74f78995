#include "results/TDatabaseSink.h"

#include <algorithm>

#include "base/Utf8.h"
#include "results/DatabaseSchema.h"
#include "results/TIntervals.h"
#include "results/TRunFolder.h"
#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

namespace tavora {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }

// Parameters of one statement: the least limit any SQLite has had.
constexpr std::size_t kMaxParameters = 999;
constexpr std::size_t kMaxBatchRows = 64;

std::string Placeholders(std::size_t columns, std::size_t rows) {
  std::string row = "(";
  for (std::size_t c = 0; c < columns; ++c) row += c == 0 ? "?" : ", ?";
  row += ")";
  std::string all;
  for (std::size_t r = 0; r < rows; ++r) all += (r == 0 ? "" : ", ") + row;
  return all;
}

}  // namespace

TDatabaseSink::TDatabaseSink(std::filesystem::path File, bool Replace,
                             const TDatabaseWriter::TRun& Run, TRunFolder& Folder)
    : writer_(std::move(File), Replace, Run, {Folder.GetFolder()}), folder_(Folder) {}

TDatabaseSink::~TDatabaseSink() = default;

void TDatabaseSink::BeginRun(const TResultLayout& Layout) {
  layout_ = Layout;
  measures_ = MeasureRefs(Layout.Measures, Layout.MeasuresSecondary);
  writer_.AddMeasures(Layout.Measures, Layout.MeasuresSecondary);
  TSqliteDatabase& db = writer_.Database();
  document_ = std::make_unique<TSqliteStatement>(
      db,
      "INSERT INTO documents (run, doc, kind, file, document_id, tokens, windows, "
      "first_series_row, last_series_row) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?);");
  const TOutputTypeSet families = Layout.Families;
  if (families.Contains(TOutputType::outAverage))
    average_ = std::make_unique<TSqliteStatement>(
        db, "INSERT INTO averages (run, doc, kind, measure, value) VALUES (?, ?, ?, ?, ?);");
  if (families.Contains(TOutputType::outWholeTexts))
    wholeText_ = std::make_unique<TSqliteStatement>(
        db, "INSERT INTO whole_texts (run, doc, kind, measure, value) VALUES (?, ?, ?, ?, ?);");
  if (families.Contains(TOutputType::outIndices))
    index_ = std::make_unique<TSqliteStatement>(
        db, "INSERT INTO indices (run, doc, kind, index_name, value) VALUES (?, ?, ?, ?, ?);");
  if (families.Contains(TOutputType::outDistribution))
    distribution_ = std::make_unique<TSqliteStatement>(
        db,
        "INSERT INTO distributions (run, doc, kind, measure, interval, count) "
        "VALUES (?, ?, ?, ?, ?, ?);");
  if (families.Contains(TOutputType::outSerie)) PrepareSeries();
}

void TDatabaseSink::PrepareSeries() {
  std::string columns = "id, run, doc, kind, window_id";
  for (const TMeasureRef m : measures_) columns += ", " + QuotedIdentifier(m.Name());
  const std::size_t perRow = kSeriesKeyColumns + measures_.size();
  const std::size_t batch = std::clamp<std::size_t>(kMaxParameters / perRow, 1, kMaxBatchRows);
  const std::string insert = "INSERT INTO series (" + columns + ") VALUES ";
  seriesBatch_ = std::make_unique<TSqliteStatement>(writer_.Database(),
                                                    insert + Placeholders(perRow, batch) + ";");
  seriesOne_ = std::make_unique<TSqliteStatement>(writer_.Database(),
                                                  insert + Placeholders(perRow, 1) + ";");
  rows_.resize(batch);
  // Rows are numbered here, so that a document's range is known without asking.
  nextRow_ = writer_.Database().QueryInteger("SELECT max(id) FROM series;") + 1;
}

void TDatabaseSink::BeginDocument(const TDocumentKey& Document) {
  doc_ = Document.Number;
  docName_ = Utf16ToUtf8(Document.Name);
  docId_ = Utf16ToUtf8(Document.Id);
  firstRow_.fill(0);
  lastRow_.fill(0);
}

void TDatabaseSink::Window(tWordOrLemma Kind, std::uint64_t WindowId,
                           const TPositionResults& Values) {
  TSeriesRow& row = rows_[used_++];
  row.Id = nextRow_++;
  row.Doc = doc_;
  row.Window = static_cast<std::int64_t>(WindowId);
  row.Kind = Kind;
  if (!layout_.MeasuresSecondary.Empty())
    Values.SecondaryMetricsOf(layout_.MeasuresSecondary, secondary_);
  std::size_t i = 0;
  for (const TMeasureRef m : measures_) {
    row.Values[i++] = m.IsSecondary ? secondary_[static_cast<tMeasureSecondary>(m.Ordinal)]
                                    : Values.BasicMetrics(static_cast<tMeasure>(m.Ordinal));
  }
  if (firstRow_[Slot(Kind)] == 0) firstRow_[Slot(Kind)] = row.Id;
  lastRow_[Slot(Kind)] = row.Id;
  if (used_ == rows_.size()) FlushSeries();
}

void TDatabaseSink::BindSeriesRow(TSqliteStatement& Insert, int First,
                                  const TSeriesRow& Row) const {
  Insert.Bind(First, Row.Id);
  Insert.Bind(First + 1, writer_.RunId());
  Insert.Bind(First + 2, Row.Doc);
  Insert.BindStatic(First + 3, KindName(Row.Kind));
  Insert.Bind(First + 4, Row.Window);
  for (std::size_t i = 0; i < measures_.size(); ++i)
    Insert.Bind(First + 5 + static_cast<int>(i), Row.Values[i]);
}

void TDatabaseSink::FlushSeries() {
  const int perRow = static_cast<int>(kSeriesKeyColumns + measures_.size());
  if (used_ == rows_.size()) {
    for (std::size_t r = 0; r < used_; ++r)
      BindSeriesRow(*seriesBatch_, 1 + static_cast<int>(r) * perRow, rows_[r]);
    seriesBatch_->Run();
  } else {
    for (std::size_t r = 0; r < used_; ++r) {
      BindSeriesRow(*seriesOne_, 1, rows_[r]);
      seriesOne_->Run();
    }
  }
  used_ = 0;
}

void TDatabaseSink::AddValues(TSqliteStatement& Insert, std::string_view Kind,
                              const std::function<double(TMeasureRef)>& Value) {
  for (const TMeasureRef m : measures_) {
    Insert.Bind(1, writer_.RunId());
    Insert.Bind(2, doc_);
    Insert.BindStatic(3, Kind);
    Insert.BindStatic(4, m.Name());
    Insert.Bind(5, Value(m));
    Insert.Run();
  }
}

void TDatabaseSink::AddDistributions(std::string_view Kind,
                                     std::span<const TMeasureDistribution> Counts, bool Total) {
  for (const TMeasureDistribution& d : Counts) {
    const double width = static_cast<double>(d.Measure.Granularity());
    d.Counts->ForEachCount([&](std::int64_t index, std::uint64_t count) {
      distribution_->Bind(1, writer_.RunId());
      if (Total) {
        distribution_->BindNull(2);
      } else {
        distribution_->Bind(2, doc_);
      }
      distribution_->BindStatic(3, Kind);
      distribution_->BindStatic(4, d.Measure.Name());
      distribution_->Bind(5, static_cast<double>(index) / width);
      distribution_->Bind(6, static_cast<std::int64_t>(count));
      distribution_->Run();
    });
  }
}

void TDatabaseSink::EndDocument(const TDocumentEnd& End) {
  const std::string_view kind = KindName(End.Kind);
  TSqliteStatement& doc = *document_;
  doc.Bind(1, writer_.RunId());
  doc.Bind(2, doc_);
  doc.BindStatic(3, kind);
  doc.BindStatic(4, docName_);
  if (docId_.empty()) {
    doc.BindNull(5);
  } else {
    doc.BindStatic(5, docId_);
  }
  doc.Bind(6, static_cast<std::int64_t>(End.Tokens));
  doc.Bind(7, static_cast<std::int64_t>(End.Windows));
  const std::int64_t first = firstRow_[Slot(End.Kind)];
  if (first == 0) {
    doc.BindNull(8);
    doc.BindNull(9);
  } else {
    doc.Bind(8, first);
    doc.Bind(9, lastRow_[Slot(End.Kind)]);
  }
  doc.Run();
  if (End.Averages != nullptr) {
    AddValues(*average_, kind, [&End](TMeasureRef m) {
      return m.IsSecondary
                 ? End.Averages->SecondaryMetrics(static_cast<tMeasureSecondary>(m.Ordinal))
                 : End.Averages->BasicMetrics(static_cast<tMeasure>(m.Ordinal));
    });
  }
  if (End.WholeText != nullptr) {
    AddValues(*wholeText_, kind, [&End](TMeasureRef m) {
      return m.IsSecondary
                 ? End.WholeText->SecondaryMetrics(static_cast<tMeasureSecondary>(m.Ordinal))
                 : End.WholeText->BasicMetrics(static_cast<tMeasure>(m.Ordinal));
    });
  }
  if (End.Indices != nullptr) {
    for (const tIndex i : layout_.Indices[Slot(End.Kind)]) {
      index_->Bind(1, writer_.RunId());
      index_->Bind(2, doc_);
      index_->BindStatic(3, kind);
      index_->BindStatic(4, IndexName(i));
      index_->Bind(5, (*End.Indices)[i]);
      index_->Run();
    }
  }
  if (distribution_) AddDistributions(kind, End.Distributions, false);
}

void TDatabaseSink::EndRun(const TRunEnd& End) {
  if (used_ > 0) FlushSeries();
  if (!distribution_) return;
  for (const tWordOrLemma kind : layout_.Kinds)
    AddDistributions(KindName(kind), End.Distributions[Slot(kind)], true);
}

void TDatabaseSink::Commit() {
  for (auto* statement :
       {&seriesBatch_, &seriesOne_, &document_, &average_, &wholeText_, &index_, &distribution_})
    statement->reset();
  writer_.Commit();
  folder_.KeepDatabase(writer_.GetFile(), writer_.RunId());
}

}  // namespace tavora
