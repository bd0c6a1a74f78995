#include "results/TSqliteStatement.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

#include "results/TSqliteDatabase.h"

namespace tavora {

TSqliteStatement::TSqliteStatement(TSqliteDatabase& Database, const std::string& Sql)
    : db_(Database) {
  if (sqlite3_prepare_v2(db_.Handle(), Sql.c_str(), static_cast<int>(Sql.size() + 1), &stmt_,
                         nullptr) != SQLITE_OK)
    db_.Fail();
}

TSqliteStatement::~TSqliteStatement() { sqlite3_finalize(stmt_); }

TSqliteStatement::TSqliteStatement(TSqliteStatement&& Other) noexcept
    : db_(Other.db_), stmt_(Other.stmt_) {
  Other.stmt_ = nullptr;
}

void TSqliteStatement::Bind(int Index, std::int64_t Value) {
  if (sqlite3_bind_int64(stmt_, Index, Value) != SQLITE_OK) db_.Fail();
}

void TSqliteStatement::Bind(int Index, double Value) {
  const int rc = std::isnan(Value) ? sqlite3_bind_null(stmt_, Index)
                                   : sqlite3_bind_double(stmt_, Index, Value);
  if (rc != SQLITE_OK) db_.Fail();
}

void TSqliteStatement::Bind(int Index, std::string_view Text) {
  if (sqlite3_bind_text64(stmt_, Index, Text.data(), Text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
      SQLITE_OK)
    db_.Fail();
}

void TSqliteStatement::BindStatic(int Index, std::string_view Text) {
  if (sqlite3_bind_text64(stmt_, Index, Text.data(), Text.size(), SQLITE_STATIC, SQLITE_UTF8) !=
      SQLITE_OK)
    db_.Fail();
}

void TSqliteStatement::BindNull(int Index) {
  if (sqlite3_bind_null(stmt_, Index) != SQLITE_OK) db_.Fail();
}

void TSqliteStatement::Run() {
  const int rc = sqlite3_step(stmt_);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) db_.Fail();
  sqlite3_reset(stmt_);
}

bool TSqliteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) db_.Fail();
  sqlite3_reset(stmt_);
  return false;
}

void TSqliteStatement::Reset() { sqlite3_reset(stmt_); }

bool TSqliteStatement::IsNull(int Column) const {
  return sqlite3_column_type(stmt_, Column) == SQLITE_NULL;
}

std::int64_t TSqliteStatement::Integer(int Column) const {
  return sqlite3_column_int64(stmt_, Column);
}

double TSqliteStatement::Real(int Column) const {
  if (IsNull(Column)) return std::numeric_limits<double>::quiet_NaN();
  return sqlite3_column_double(stmt_, Column);
}

std::string TSqliteStatement::Text(int Column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, Column));
  if (text == nullptr) return {};
  return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, Column)));
}

}  // namespace tavora
