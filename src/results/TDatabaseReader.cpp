#include "results/TDatabaseReader.h"

#include <cmath>
#include <map>
#include <stdexcept>

#include "base/Paths.h"
#include "base/TJsonValue.h"
#include "base/Utf8.h"
#include "engine/Indices.h"
#include "results/DatabaseSchema.h"
#include "results/TIntervals.h"
#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

namespace tavora {

namespace {

constexpr const char* kDoing = "Cannot read the results database";

std::u16string NumberText(std::int64_t n) {
  const std::string text = std::to_string(n);
  return std::u16string(text.begin(), text.end());
}

// The families named by a run's "outputs" (a JSON array of names).
TOutputTypeSet Families(const std::string& outputs) {
  TOutputTypeSet families;
  const TJsonValue parsed = TJsonValue::Parse(outputs);  // outlives the loop over its items
  for (const TJsonValue& name : parsed.AsArray())
    for (const TOutputType t : TOutputTypeSet::All())
      if (OutputTypeName(t) == name.AsString()) families.Include(t);
  return families;
}

}  // namespace

TDatabaseReader::TDatabaseReader(const std::filesystem::path& File)
    : db_(std::make_unique<TSqliteDatabase>(File, TSqliteDatabase::TOpen::ReadWrite, kDoing)) {
  db_->Execute("PRAGMA busy_timeout = 10000;");
  if (db_->QueryInteger("PRAGMA application_id;") != kDatabaseApplicationId)
    Fail("it is not a results database of Tavora");
  if (db_->QueryInteger("PRAGMA user_version;") > kDatabaseVersion)
    Fail("it was written by a newer version of Tavora");
}

TDatabaseReader::~TDatabaseReader() = default;

void TDatabaseReader::Fail(const std::string& Problem) const { db_->Fail(Problem); }

std::optional<std::int64_t> TDatabaseReader::LatestRun() {
  const std::int64_t run = db_->QueryInteger(
      "SELECT max(id) FROM runs WHERE task = 'measure' AND finished IS NOT NULL;", 0);
  if (run == 0) return std::nullopt;
  return run;
}

std::int64_t TDatabaseReader::WindowLength(std::int64_t Run) {
  TSqliteStatement run(*db_,
                       "SELECT window_length FROM runs WHERE id = ? AND task = 'measure' AND "
                       "finished IS NOT NULL;");
  run.Bind(1, Run);
  if (!run.Step()) Fail("it holds no complete measurement run " + std::to_string(Run));
  const std::int64_t window = run.Integer(0);
  run.Reset();
  return window;
}

std::vector<TDatabaseReader::TMeasureColumn> TDatabaseReader::Measures(std::int64_t Run) {
  TSqliteStatement query(*db_,
                         "SELECT measure, caption FROM measures WHERE run = ? ORDER BY position;");
  query.Bind(1, Run);
  std::vector<TMeasureColumn> measures;
  while (query.Step()) measures.push_back({query.Text(0), Utf8ToUtf16(query.Text(1))});
  return measures;
}

std::vector<TDatabaseReader::TDocument> TDatabaseReader::Documents(std::int64_t Run,
                                                                   tWordOrLemma Kind) {
  TSqliteStatement query(*db_,
                         "SELECT doc, file, document_id FROM documents WHERE run = ? AND kind = ? "
                         "ORDER BY doc;");
  query.Bind(1, Run);
  query.BindStatic(2, KindName(Kind));
  std::vector<TDocument> documents;
  while (query.Step())
    documents.push_back({query.Integer(0), Utf8ToUtf16(query.Text(1)), Utf8ToUtf16(query.Text(2))});
  return documents;
}

std::vector<TResultName> TDatabaseReader::Contents(std::int64_t Run) {
  const std::int64_t lag = WindowLength(Run);
  TSqliteStatement outputs(*db_, "SELECT outputs FROM runs WHERE id = ?;");
  outputs.Bind(1, Run);
  TOutputTypeSet families;
  if (outputs.Step()) {
    try {
      families = Families(outputs.Text(0));
    } catch (const std::runtime_error&) {
      Fail("the outputs of run " + std::to_string(Run) + " cannot be read");
    }
    outputs.Reset();
  }
  const std::vector<TMeasureColumn> measures = Measures(Run);
  std::vector<TResultName> names;
  for (const tWordOrLemma kind : TWordOrLemmaSet::All()) {
    const std::vector<TDocument> documents = Documents(Run, kind);
    if (documents.empty()) continue;
    TResultName name;
    name.Kind = kind;
    for (const TOutputType family : families) {
      name.Family = family;
      name.Lag =
          family == TOutputType::outWholeTexts || family == TOutputType::outIndices ? 0 : lag;
      name.Doc = 0;
      name.Caption.clear();
      if (family == TOutputType::outSerie) {
        for (const TDocument& d : documents) {
          name.Doc = d.Number;
          names.push_back(name);
        }
      } else if (family == TOutputType::outDistribution) {
        for (const TMeasureColumn& m : measures) {
          name.Caption = m.Caption;
          names.push_back(name);
        }
      } else {
        names.push_back(name);
      }
    }
  }
  return names;
}

std::vector<std::u16string> TDatabaseReader::SeriesCaptions(std::int64_t Run) {
  std::vector<std::u16string> captions;
  for (const TMeasureColumn& m : Measures(Run)) captions.push_back(m.Caption);
  return captions;
}

std::int64_t TDatabaseReader::Windows(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc) {
  TSqliteStatement query(*db_,
                         "SELECT windows FROM documents WHERE run = ? AND doc = ? AND kind = ?;");
  query.Bind(1, Run);
  query.Bind(2, Doc);
  query.BindStatic(3, KindName(Kind));
  if (!query.Step()) Fail("run " + std::to_string(Run) + " has no document " + std::to_string(Doc));
  const std::int64_t windows = query.Integer(0);
  query.Reset();
  return windows;
}

bool TDatabaseReader::SeriesHasNoWindow(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc) {
  return Windows(Run, Kind, Doc) == 0;
}

TSeriesTable TDatabaseReader::ReadSeries(std::int64_t Run, tWordOrLemma Kind, std::int64_t Doc,
                                         const TResultFolder::TReadProgress& Progress) {
  TSeriesTable table;
  const std::vector<TMeasureColumn> measures = Measures(Run);
  std::string sql = "SELECT s.window_id";
  for (const TMeasureColumn& m : measures) {
    table.Captions.push_back(m.Caption);
    sql += ", s." + QuotedIdentifier(m.Name);
  }
  sql +=
      " FROM documents AS d JOIN series AS s ON s.id BETWEEN d.first_series_row AND "
      "d.last_series_row AND s.kind = d.kind WHERE d.run = ? AND d.doc = ? AND d.kind = ? "
      "ORDER BY s.id;";
  TSqliteStatement query(*db_, sql);
  query.Bind(1, Run);
  query.Bind(2, Doc);
  query.BindStatic(3, KindName(Kind));
  table.Columns.resize(measures.size());
  const double windows = static_cast<double>(Windows(Run, Kind, Doc));
  std::size_t rows = 0;
  while (query.Step()) {
    table.WindowIds.push_back(static_cast<double>(query.Integer(0)));
    for (std::size_t c = 0; c < measures.size(); ++c)
      table.Columns[c].push_back(query.Real(static_cast<int>(c) + 1));
    if (Progress && ++rows % 65536 == 0 && !Progress(static_cast<double>(rows) / windows))
      throw std::runtime_error("cancelled");
  }
  if (Progress) Progress(1.0);
  return table;
}

TTextTable TDatabaseReader::ReadTextTable(std::int64_t Run, TOutputType Family, tWordOrLemma Kind) {
  TTextTable table;
  std::map<std::string, std::size_t> columns;  // name -> column
  std::string sql;
  if (Family == TOutputType::outIndices) {
    TSqliteStatement names(*db_,
                           "SELECT DISTINCT index_name FROM indices WHERE run = ? AND kind = ?;");
    names.Bind(1, Run);
    names.BindStatic(2, KindName(Kind));
    TIndexSet present;
    while (names.Step())
      for (const tIndex i : TIndexSet::All())
        if (IndexName(i) == names.Text(0)) present.Include(i);
    for (const tIndex i : present) {
      columns[std::string(IndexName(i))] = table.Captions.size();
      table.Captions.emplace_back(IndexCaption(i));
    }
    sql = "SELECT doc, index_name, value FROM indices WHERE run = ? AND kind = ?;";
  } else {
    for (const TMeasureColumn& m : Measures(Run)) {
      columns[m.Name] = table.Captions.size();
      table.Captions.push_back(m.Caption);
    }
    sql = std::string("SELECT doc, measure, value FROM ") +
          (Family == TOutputType::outAverage ? "averages" : "whole_texts") +
          " WHERE run = ? AND kind = ?;";
  }
  std::map<std::int64_t, std::size_t> rowOf;
  for (const TDocument& d : Documents(Run, Kind)) {
    rowOf[d.Number] = table.Rows.size();
    table.HasDocumentIds = table.HasDocumentIds || !d.Id.empty();
    table.Rows.push_back({d.File, NumberText(d.Number), d.Id,
                          std::vector<double>(table.Captions.size(), std::nan(""))});
  }
  TSqliteStatement values(*db_, sql);
  values.Bind(1, Run);
  values.BindStatic(2, KindName(Kind));
  while (values.Step()) {
    const auto row = rowOf.find(values.Integer(0));
    const auto column = columns.find(values.Text(1));
    if (row == rowOf.end() || column == columns.end()) continue;
    table.Rows[row->second].Values[column->second] = values.Real(2);
  }
  return table;
}

std::vector<TDistributionBlock> TDatabaseReader::ReadDistribution(std::int64_t Run,
                                                                  tWordOrLemma Kind,
                                                                  std::u16string_view Caption) {
  const std::vector<TMeasureColumn> measures = Measures(Run);
  const TMeasureColumn* measure = nullptr;
  for (const TMeasureColumn& m : measures)
    if (m.Caption == Caption) measure = &m;
  if (measure == nullptr)
    Fail("run " + std::to_string(Run) + " has no measure \"" + Utf16ToUtf8(Caption) + "\"");
  std::uint32_t granularity = 1;
  for (const TMeasureRef m : MeasureRefs(TMeasureSet::All(), tMeasureSecondarySet::All()))
    if (m.Name() == measure->Name) granularity = m.Granularity();
  // The non-zero counts by document (0 for the run's own) and interval.
  std::map<std::int64_t, std::map<std::int64_t, std::uint64_t>> counts;
  TSqliteStatement query(*db_,
                         "SELECT doc, interval, count FROM distributions WHERE run = ? AND "
                         "kind = ? AND measure = ?;");
  query.Bind(1, Run);
  query.BindStatic(2, KindName(Kind));
  query.Bind(3, std::string_view(measure->Name));
  while (query.Step()) {
    const std::int64_t doc = query.IsNull(0) ? 0 : query.Integer(0);
    const auto index = static_cast<std::int64_t>(std::llround(query.Real(1) * granularity));
    counts[doc][index] += static_cast<std::uint64_t>(query.Integer(2));
  }
  std::vector<TDistributionBlock> blocks;
  std::vector<TDocument> documents = Documents(Run, Kind);
  documents.push_back({0, u"TOTAL", u""});
  const TIntervals labels(granularity);
  for (const TDocument& d : documents) {
    TDistributionBlock block;
    block.Name = d.File;
    if (d.Number > 0) block.TextId = NumberText(d.Number);
    const auto& used = counts[d.Number];
    if (!used.empty()) {
      const std::int64_t lo = std::min<std::int64_t>(used.begin()->first, 0);
      const std::int64_t hi = std::max<std::int64_t>(used.rbegin()->first, -1);
      for (std::int64_t i = lo; i <= hi; ++i) {
        std::string label;
        labels.AppendLabel(label, i);
        block.LabelValues.push_back(static_cast<double>(i) / granularity);
        block.Labels.push_back(std::move(label));
        const auto c = used.find(i);
        block.Counts.push_back(c == used.end() ? 0 : c->second);
      }
    }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

}  // namespace tavora
