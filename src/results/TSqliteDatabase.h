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
  enum class TOpen : std::uint8_t {
    ReadOnly,
    // Also for readers: only a connection that may write can roll back the journal that a
    // killed writer left (a file the system protects is still opened, for reading).
    ReadWrite,
    Create,  // ReadWrite, creating a missing file
  };
  TSqliteDatabase(std::filesystem::path File, TOpen Mode, std::string Doing);
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
