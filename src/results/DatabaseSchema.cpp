#include "results/DatabaseSchema.h"

#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

namespace tavora {

std::string DatabaseSchemaSql() {
  // Values are REAL at full precision; NaN is stored as NULL (SQLite has no NaN), the
  // infinities as REAL. Kinds are "word" and "lemma", measures and indices are named as on
  // the command line. Rows of "series" are appended in the order of the run, so a document's
  // rows of one kind lie between first_series_row and last_series_row of "documents".
  return R"sql(
CREATE TABLE IF NOT EXISTS runs (
  id INTEGER PRIMARY KEY,
  program TEXT NOT NULL,
  version TEXT NOT NULL,
  task TEXT NOT NULL,
  started TEXT NOT NULL,
  finished TEXT,
  window_length INTEGER,
  outputs TEXT NOT NULL,
  options TEXT NOT NULL,
  inputs TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS measures (
  run INTEGER NOT NULL,
  measure TEXT NOT NULL,
  caption TEXT NOT NULL,
  position INTEGER NOT NULL,
  PRIMARY KEY (run, measure)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS documents (
  run INTEGER NOT NULL,
  doc INTEGER NOT NULL,
  kind TEXT NOT NULL,
  file TEXT NOT NULL,
  document_id TEXT,
  tokens INTEGER NOT NULL,
  windows INTEGER NOT NULL,
  first_series_row INTEGER,
  last_series_row INTEGER,
  PRIMARY KEY (run, doc, kind)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS series (
  id INTEGER PRIMARY KEY,
  run INTEGER NOT NULL,
  doc INTEGER NOT NULL,
  kind TEXT NOT NULL,
  window_id INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS averages (
  run INTEGER NOT NULL,
  doc INTEGER NOT NULL,
  kind TEXT NOT NULL,
  measure TEXT NOT NULL,
  value REAL,
  PRIMARY KEY (run, doc, kind, measure)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS whole_texts (
  run INTEGER NOT NULL,
  doc INTEGER NOT NULL,
  kind TEXT NOT NULL,
  measure TEXT NOT NULL,
  value REAL,
  PRIMARY KEY (run, doc, kind, measure)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS indices (
  run INTEGER NOT NULL,
  doc INTEGER NOT NULL,
  kind TEXT NOT NULL,
  index_name TEXT NOT NULL,
  value REAL,
  PRIMARY KEY (run, doc, kind, index_name)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS distributions (
  run INTEGER NOT NULL,
  doc INTEGER,
  kind TEXT NOT NULL,
  measure TEXT NOT NULL,
  interval REAL NOT NULL,
  count INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS distributions_by_measure ON distributions (run, kind, measure, doc);
CREATE TABLE IF NOT EXISTS frequency_lists (
  run INTEGER NOT NULL,
  kind TEXT NOT NULL,
  rank INTEGER NOT NULL,
  type TEXT NOT NULL,
  count INTEGER NOT NULL,
  PRIMARY KEY (run, kind, rank)) WITHOUT ROWID;
)sql";
}

std::string QuotedIdentifier(std::string_view Name) {
  std::string quoted = "\"";
  for (const char c : Name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::vector<std::string> SeriesMeasureColumns(TSqliteDatabase& Database) {
  TSqliteStatement info(Database, "PRAGMA table_info(series);");
  std::vector<std::string> columns;
  for (std::size_t i = 0; info.Step(); ++i)
    if (i >= kSeriesKeyColumns) columns.push_back(info.Text(1));
  return columns;
}

std::string SeriesViewSql(const std::vector<std::string>& Columns) {
  std::string value = "CAST(NULL AS REAL)";
  if (!Columns.empty()) {
    value = "CASE m.measure";
    for (const std::string& c : Columns) value += " WHEN '" + c + "' THEN s." + QuotedIdentifier(c);
    value += " END";
  }
  // The rows of a document are found through its row range, not by a search of the table.
  return "DROP VIEW IF EXISTS series_long;\n"
         "CREATE VIEW series_long AS SELECT d.run AS run, d.doc AS doc, d.kind AS kind, "
         "s.window_id AS window_id, m.measure AS measure, " +
         value +
         " AS value FROM documents AS d JOIN series AS s ON s.id BETWEEN d.first_series_row "
         "AND d.last_series_row AND s.kind = d.kind JOIN measures AS m ON m.run = d.run;";
}

}  // namespace tavora
