#include "results/TSqliteDatabase.h"

#include <sqlite3.h>

#include <stdexcept>

#include "base/Paths.h"
#include "results/TSqliteStatement.h"

namespace tavora {

TSqliteDatabase::TSqliteDatabase(std::filesystem::path File, TOpen Mode, std::string Doing)
    : file_(std::move(File)), doing_(std::move(Doing)) {
  const int flags = Mode == TOpen::ReadOnly    ? SQLITE_OPEN_READONLY
                    : Mode == TOpen::ReadWrite ? SQLITE_OPEN_READWRITE
                                               : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const int rc =
      sqlite3_open_v2(PathToUtf8(file_).c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string problem = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    Fail(problem);
  }
  sqlite3_extended_result_codes(db_, 1);
}

TSqliteDatabase::~TSqliteDatabase() { sqlite3_close_v2(db_); }

void TSqliteDatabase::Execute(const std::string& Sql) {
  if (sqlite3_exec(db_, Sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
}

std::int64_t TSqliteDatabase::QueryInteger(const std::string& Sql, std::int64_t Otherwise) {
  TSqliteStatement query(*this, Sql);
  if (!query.Step() || query.IsNull(0)) return Otherwise;
  const std::int64_t value = query.Integer(0);
  query.Reset();
  return value;
}

std::int64_t TSqliteDatabase::LastRowId() const { return sqlite3_last_insert_rowid(db_); }

void TSqliteDatabase::Close() {
  if (db_ == nullptr) return;
  if (sqlite3_close(db_) != SQLITE_OK) Fail();
  db_ = nullptr;
}

void TSqliteDatabase::Fail() const {
  Fail(db_ != nullptr ? sqlite3_errmsg(db_) : "the database is closed");
}

void TSqliteDatabase::Fail(std::string_view Problem) const {
  throw std::runtime_error(doing_ + " " + QuotedPath(file_) + ": " + std::string(Problem) + ".");
}

int TSqliteDatabase::ErrorCode() const {
  return db_ != nullptr ? sqlite3_extended_errcode(db_) : SQLITE_MISUSE;
}

}  // namespace tavora
