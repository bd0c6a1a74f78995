#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;

namespace tavora {

class TSqliteStatement;

// One connection to an SQLite database file (the results database), closed by the destructor.
// Every failure throws std::runtime_error "<Doing> "<file>": <what SQLite says>.", where Doing
// is given at opening ("Cannot write the results database").
class TSqliteDatabase {
 public:
  // Opens File for reading only, or for reading and writing (creating it when missing).
  TSqliteDatabase(std::filesystem::path File, bool ReadOnly, std::string Doing);
  ~TSqliteDatabase();
  TSqliteDatabase(const TSqliteDatabase&) = delete;
  TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

  // Runs statements without parameters (several may be separated by ";").
  void Execute(const std::string& Sql);
  // The single value of a query's first row, or Otherwise when it has none or it is NULL.
  [[nodiscard]] std::int64_t QueryInteger(const std::string& Sql, std::int64_t Otherwise = 0);
  // The id of the row that the latest INSERT added.
  [[nodiscard]] std::int64_t LastRowId() const;
  // Closes the connection; a failure throws. The destructor closes quietly.
  void Close();

  // Throws the error of the latest call, or one with the given problem.
  [[noreturn]] void Fail() const;
  [[noreturn]] void Fail(std::string_view Problem) const;
  // SQLite's result code of the latest failed call.
  [[nodiscard]] int ErrorCode() const;

  [[nodiscard]] sqlite3* Handle() const noexcept { return db_; }
  [[nodiscard]] const std::filesystem::path& GetFile() const noexcept { return file_; }

 private:
  std::filesystem::path file_;
  std::string doing_;
  sqlite3* db_ = nullptr;
};

}  // namespace tavora
