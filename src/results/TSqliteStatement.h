#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace tavora {

class TSqliteDatabase;

// A prepared statement of a TSqliteDatabase, which outlives it. Parameters and columns count
// from 1 and 0, as in SQLite. Failures throw as the database does.
class TSqliteStatement {
 public:
  TSqliteStatement(TSqliteDatabase& Database, const std::string& Sql);
  ~TSqliteStatement();
  TSqliteStatement(TSqliteStatement&& Other) noexcept;
  TSqliteStatement& operator=(TSqliteStatement&&) = delete;
  TSqliteStatement(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(const TSqliteStatement&) = delete;

  void Bind(int Index, std::int64_t Value);
  // NaN is bound as NULL (SQLite has no NaN); the infinities as REAL values.
  void Bind(int Index, double Value);
  // The text is copied.
  void Bind(int Index, std::string_view Text);
  // The text is not copied: it must stay unchanged until the statement is run.
  void BindStatic(int Index, std::string_view Text);
  void BindNull(int Index);

  // Runs a statement that gives no rows, then resets it for the next run.
  void Run();
  // Steps a query: true when a row is there to read, false when it has ended (and is reset).
  bool Step();
  void Reset();

  [[nodiscard]] bool IsNull(int Column) const;
  [[nodiscard]] std::int64_t Integer(int Column) const;
  // NULL reads as NaN.
  [[nodiscard]] double Real(int Column) const;
  [[nodiscard]] std::string Text(int Column) const;

 private:
  TSqliteDatabase& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace tavora
