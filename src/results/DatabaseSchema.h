#pragma once

// The tables of the results database, shared by its writer and its reader (docs/database.md
// describes them for users).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

class TSqliteDatabase;

// Marks a file as a results database of Tavora (PRAGMA application_id: "TAVR").
inline constexpr std::int64_t kDatabaseApplicationId = 0x54415652;
// The version of the tables (PRAGMA user_version); a reader refuses newer ones.
inline constexpr std::int64_t kDatabaseVersion = 1;
// The columns of "series" before those of the measures.
inline constexpr std::size_t kSeriesKeyColumns = 5;

// Creates every table that is missing (an existing database keeps its own).
[[nodiscard]] std::string DatabaseSchemaSql();

// An SQL identifier in double quotes ("log-ttr" needs them).
[[nodiscard]] std::string QuotedIdentifier(std::string_view Name);

// The measure columns that "series" has, in the order they were added.
[[nodiscard]] std::vector<std::string> SeriesMeasureColumns(TSqliteDatabase& Database);

// Replaces the view "series_long" (run, doc, kind, window_id, measure, value) over the given
// measure columns of "series": one row per window position and measure of the run.
[[nodiscard]] std::string SeriesViewSql(const std::vector<std::string>& Columns);

}  // namespace tavora
