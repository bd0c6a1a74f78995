#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/Measures.h"
#include "results/ResultNames.h"

namespace tavora {

class TFolderLock;
class TReferenceDictionary;
class TSqliteDatabase;

// The results database, opened to add one run in one transaction, so that a run that does not
// reach Commit, a killed one included, leaves the database as it was. The tables are described
// in docs/database.md; TDatabaseSink fills those of a measurement run.
//
// An existing database gets the run appended under the next run id: it is written in place,
// inside one SQLite transaction that SQLite rolls back when the run ends without committing
// (after a kill, at the next opening). A database that is new, or that the run replaces, is
// built under a temporary name beside the target ("<name>.<16 hex digits>.part", without a
// journal) and renamed into place by Commit.
//
// The database's folder is locked for the writer's life (TFolderLock), unless the caller holds
// its lock already; temporaries of the database left there by a killed run are removed.
class TDatabaseWriter {
 public:
  // What the table "runs" says of the run.
  struct TRun {
    std::string Task;                // "measure" or "freqlist"
    std::string Options;             // JSON object of the run's options
    std::string Inputs;              // JSON array of its inputs
    std::uint32_t WindowLength = 0;  // 0: none (frequency lists)
    TOutputTypeSet Families;         // the families it writes
  };

  // Opens File for the run and records it. Replace: the run replaces every earlier one.
  // LockedFolders: folders whose lock the caller holds. Throws std::runtime_error naming the
  // file when its folder does not exist or is in use by another run, when the file is not a
  // results database of Tavora or comes from a newer version, or when it cannot be written.
  TDatabaseWriter(std::filesystem::path File, bool Replace, const TRun& Run,
                  const std::vector<std::filesystem::path>& LockedFolders);
  // Without Commit, leaves the database as it was. Never throws.
  ~TDatabaseWriter();
  TDatabaseWriter(const TDatabaseWriter&) = delete;
  TDatabaseWriter& operator=(const TDatabaseWriter&) = delete;

  [[nodiscard]] std::int64_t RunId() const noexcept { return runId_; }
  [[nodiscard]] TSqliteDatabase& Database() const noexcept { return *db_; }
  [[nodiscard]] const std::filesystem::path& GetFile() const noexcept { return file_; }

  // The measures of the run, in column order: listed in "measures", and given a column of
  // "series" each where it has none yet.
  void AddMeasures(TMeasureSet Measures, tMeasureSecondarySet MeasuresSecondary);
  // A frequency list of the run, in the order of its list file.
  void AddFrequencyList(tWordOrLemma Kind, const TReferenceDictionary& List);

  // Records the run as finished, commits the transaction and puts a new file in place. Every
  // statement of the database must be finalized before.
  void Commit();

 private:
  void LockFolder(const std::vector<std::filesystem::path>& LockedFolders);
  void RemoveLeftTemporaries() const;
  // Checks an existing file and returns its largest run id.
  [[nodiscard]] std::int64_t CheckExisting();
  void Open(bool Fresh);
  void CreateSchema();
  void AddRun(const TRun& Run, std::int64_t Id);
  void RebuildSeriesView();

  std::filesystem::path file_;
  std::filesystem::path temporary_;  // of a new or replaced file; empty when appending
  std::unique_ptr<TFolderLock> lock_;
  std::unique_ptr<TSqliteDatabase> db_;
  std::int64_t runId_ = 0;
  bool committed_ = false;
};

}  // namespace tavora
