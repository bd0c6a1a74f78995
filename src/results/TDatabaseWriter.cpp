#include "results/TDatabaseWriter.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/Platform.h"
#include "base/TAtomicFile.h"
#include "base/TFolderLock.h"
#include "base/Timestamp.h"
#include "base/Utf8.h"
#include "base/Version.h"
#include "engine/TReferenceDictionary.h"
#include "results/DatabaseSchema.h"
#include "results/TRunFolder.h"
#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

namespace fs = std::filesystem;

namespace tavora {

namespace {

constexpr const char* kDoing = "Cannot write the results database";

// Pages of 64 KiB suit the long sequential writes of series; 16 MiB of them are cached.
constexpr const char* kFreshPragmas =
    "PRAGMA page_size = 65536; PRAGMA journal_mode = OFF; PRAGMA cache_size = -16384;";
constexpr const char* kAppendPragmas = "PRAGMA cache_size = -16384;";

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

[[noreturn]] void Fail(const fs::path& file, const std::string& problem) {
  throw std::runtime_error(std::string(kDoing) + " " + QuotedPath(file) + ": " + problem + ".");
}

}  // namespace

TDatabaseWriter::TDatabaseWriter(fs::path File, bool Replace, const TRun& Run,
                                 const std::vector<fs::path>& LockedFolders)
    : file_(std::move(File)) {
  std::error_code ec;
  if (!fs::is_directory(FolderOf(file_), ec)) Fail(file_, "its folder does not exist");
  if (fs::is_directory(file_, ec)) Fail(file_, "a folder of that name exists");
  LockFolder(LockedFolders);
  RemoveLeftTemporaries();
  const bool exists = fs::exists(file_, ec) && fs::file_size(file_, ec) > 0 && !ec;
  const std::int64_t lastRun = exists ? CheckExisting() : 0;
  const bool fresh = !exists || Replace;
  Open(fresh);
  CreateSchema();
  // A replaced database goes on counting, so that a record naming an earlier run never
  // finds this one under that id.
  AddRun(Run, fresh ? lastRun + 1 : 0);
}

TDatabaseWriter::~TDatabaseWriter() {
  if (committed_) return;
  db_.reset();  // closing without a commit rolls the transaction back
  if (!temporary_.empty()) {
    std::error_code ec;
    fs::remove(temporary_, ec);
  }
}

void TDatabaseWriter::LockFolder(const std::vector<fs::path>& LockedFolders) {
  const fs::path folder = FolderOf(file_);
  for (const fs::path& locked : LockedFolders) {
    std::error_code ec;
    if (fs::equivalent(folder, locked, ec)) return;
  }
  lock_ = std::make_unique<TFolderLock>(folder, "folder of the results database");
}

void TDatabaseWriter::RemoveLeftTemporaries() const {
  // The folder is locked: no other run writes a temporary of this database now.
  const std::string name = PathToUtf8(file_.filename());
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(file_), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code removeError;
    if (TRunFolder::TemporaryTarget(PathToUtf8(it->path().filename())) == name &&
        it->is_regular_file(removeError))
      fs::remove(it->path(), removeError);
  }
}

std::int64_t TDatabaseWriter::CheckExisting() {
  // Opened for writing also when it is to be replaced: a journal left by a killed run is
  // rolled back and removed now, before a new file takes the name it belongs to.
  TSqliteDatabase old(file_, TSqliteDatabase::TOpen::ReadWrite, kDoing);
  old.Execute("PRAGMA busy_timeout = 10000;");
  if (old.QueryInteger("PRAGMA application_id;") != kDatabaseApplicationId)
    Fail(file_, "it is not a results database of Tavora");
  if (old.QueryInteger("PRAGMA user_version;") > kDatabaseVersion)
    Fail(file_, "it was written by a newer version of Tavora");
  const std::int64_t last = old.QueryInteger("SELECT max(id) FROM runs;");
  old.Close();
  return last;
}

void TDatabaseWriter::Open(bool Fresh) {
  if (Fresh) {
    TAtomicFile temporary(file_, "the results database");
    temporary_ = temporary.Release();
  }
  db_ = std::make_unique<TSqliteDatabase>(Fresh ? temporary_ : file_,
                                          TSqliteDatabase::TOpen::Create, kDoing);
  db_->Execute(Fresh ? kFreshPragmas : kAppendPragmas);
  db_->Execute("PRAGMA busy_timeout = 10000; BEGIN IMMEDIATE;");
}

void TDatabaseWriter::CreateSchema() {
  db_->Execute(DatabaseSchemaSql());
  if (db_->QueryInteger("SELECT count(*) FROM sqlite_master WHERE name = 'series_long';") == 0)
    db_->Execute(SeriesViewSql(SeriesMeasureColumns(*db_)));
  db_->Execute("PRAGMA application_id = " + std::to_string(kDatabaseApplicationId) +
               "; PRAGMA user_version = " + std::to_string(kDatabaseVersion) + ";");
}

void TDatabaseWriter::AddRun(const TRun& Run, std::int64_t Id) {
  TSqliteStatement insert(*db_,
                          "INSERT INTO runs (id, program, version, task, started, finished, "
                          "window_length, outputs, options, inputs) "
                          "VALUES (?, 'Tavora', ?, ?, ?, NULL, ?, ?, ?, ?);");
  if (Id > 0) {
    insert.Bind(1, Id);
  } else {
    insert.BindNull(1);
  }
  insert.Bind(2, TavoraVersion());
  insert.Bind(3, Run.Task);
  insert.Bind(4, UtcTimestamp(std::chrono::system_clock::now()));
  if (Run.WindowLength > 0) {
    insert.Bind(5, static_cast<std::int64_t>(Run.WindowLength));
  } else {
    insert.BindNull(5);
  }
  std::string outputs = "[";
  for (const TOutputType family : Run.Families) {
    if (outputs.size() > 1) outputs += ", ";
    outputs += '"';
    outputs += OutputTypeName(family);
    outputs += '"';
  }
  insert.Bind(6, outputs + "]");
  insert.Bind(7, Run.Options);
  insert.Bind(8, Run.Inputs);
  insert.Run();
  runId_ = db_->LastRowId();
}

void TDatabaseWriter::AddMeasures(TMeasureSet Measures, tMeasureSecondarySet MeasuresSecondary) {
  const std::vector<std::string> columns = SeriesMeasureColumns(*db_);
  bool added = false;
  TSqliteStatement insert(
      *db_, "INSERT INTO measures (run, measure, caption, position) VALUES (?, ?, ?, ?);");
  std::int64_t position = 0;
  for (const TMeasureRef m : MeasureRefs(Measures, MeasuresSecondary)) {
    insert.Bind(1, runId_);
    insert.BindStatic(2, m.Name());
    insert.Bind(3, std::string_view(Utf16ToUtf8(m.Caption())));
    insert.Bind(4, ++position);
    insert.Run();
    if (std::find(columns.begin(), columns.end(), m.Name()) != columns.end()) continue;
    db_->Execute("ALTER TABLE series ADD COLUMN " + QuotedIdentifier(m.Name()) + " REAL;");
    added = true;
  }
  if (added) db_->Execute(SeriesViewSql(SeriesMeasureColumns(*db_)));
}

void TDatabaseWriter::AddFrequencyList(tWordOrLemma Kind, const TReferenceDictionary& List) {
  TSqliteStatement insert(
      *db_, "INSERT INTO frequency_lists (run, kind, rank, type, count) VALUES (?, ?, ?, ?, ?);");
  std::int64_t rank = 0;
  std::string type;
  for (const auto* entry : List.InListOrder()) {
    type.clear();
    AppendUtf16ToUtf8(type, entry->first);
    insert.Bind(1, runId_);
    insert.BindStatic(2, KindName(Kind));
    insert.Bind(3, ++rank);
    insert.BindStatic(4, type);
    insert.Bind(5, static_cast<std::int64_t>(entry->second.Count));
    insert.Run();
  }
}

void TDatabaseWriter::Commit() {
  {
    TSqliteStatement finish(*db_, "UPDATE runs SET finished = ? WHERE id = ?;");
    finish.Bind(1, UtcTimestamp(std::chrono::system_clock::now()));
    finish.Bind(2, runId_);
    finish.Run();
  }
  db_->Execute("COMMIT;");
  db_->Close();
  if (!temporary_.empty()) {
    std::error_code ec;
    if (!RenameReplacing(temporary_, file_, ec)) Fail(file_, ec.message());
    temporary_.clear();
    if (!SyncFolder(FolderOf(file_), ec))
      Fail(file_, "its folder cannot be flushed: " + ec.message());
  }
  committed_ = true;
}

}  // namespace tavora
