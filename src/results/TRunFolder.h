#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/TJsonValue.h"

namespace tavora {

class TFolderLock;
class TResultFile;

// The output folder of one measurement run, which holds one consistent run at a time.
//
// The run locks the folder (TFolderLock), so that no second run writes into it meanwhile,
// and records itself in "TavoraRun.json": at the start as "running", with the record of the
// latest complete run kept under "previous"; at the end as "complete", with the names of the
// files it wrote. Result files are written under temporary names and kept (Keep) until
// Commit renames them all into place and only then records the run as complete. A run that
// ends before Commit (an error, a cancel) removes its temporaries and puts the previous record
// back, so the folder holds the previous run's files exactly as they were. A run killed
// outright leaves its "running" record, whose "previous" still names the latest complete run,
// and temporaries that the next run into the folder removes.
//
// Readers (CompleteRunFiles) take the files of the latest complete run only: files of earlier
// runs that the latest one did not rewrite stay on disk but are never shown as its own.
class TRunFolder {
 public:
  static constexpr std::string_view kRecordName = "TavoraRun.json";

  // Creates the folder with its missing parents, locks it and records the run as running.
  // description: an object whose members (the task, the options, the inputs) go into the
  // record. Throws std::runtime_error "Unable to create directory" for an empty folder, and
  // a message naming the folder when it cannot be created, is locked by another run, or the
  // record cannot be written.
  TRunFolder(std::filesystem::path folder, const TJsonValue& description);
  // Without Commit, undoes the run (see above). Never throws.
  ~TRunFolder();
  TRunFolder(const TRunFolder&) = delete;
  TRunFolder& operator=(const TRunFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& GetFolder() const noexcept { return folder_; }

  // Finishes a written result file of the folder and keeps its temporary, closed, for
  // Commit; the file object can then be destroyed.
  void Keep(TResultFile& file);
  // Records that the run wrote its results into a database as run Run: File is listed with
  // the files (relative to the folder when it lies in it) and under "database" with the run.
  void KeepDatabase(const std::filesystem::path& File, std::int64_t Run);
  // Calls BeforeRenames (which commits what is written elsewhere, such as a database), then
  // renames every kept file into place, flushes the folder and records the run as complete. A
  // file that cannot be put in place (a folder of its name) fails before anything is done.
  void Commit(const std::function<void()>& BeforeRenames = {});

  // What the record of a folder's latest complete run says.
  struct TCompleteRun {
    std::vector<std::string> Files;  // in the order written
    // The database the run wrote, as recorded (relative to the folder, or absolute), and
    // the run's id in it; empty and 0 when it wrote none.
    std::filesystem::path Database;
    std::int64_t DatabaseRun = 0;
  };
  // The latest complete run recorded in the folder; nullopt when the folder holds no record
  // of a complete run (one written by an older version, or none at all). Throws
  // std::runtime_error naming the record when it cannot be read.
  [[nodiscard]] static std::optional<TCompleteRun> CompleteRun(const std::filesystem::path& folder);
  // The names of the files of CompleteRun.
  [[nodiscard]] static std::optional<std::vector<std::string>> CompleteRunFiles(
      const std::filesystem::path& folder);
  // Whether runs write files of this name into an output folder: result files, the record,
  // the lock, the results database with its journal, and their temporaries.
  [[nodiscard]] static bool IsWrittenByRuns(std::string_view fileName);
  // The name of the file whose temporary (TAtomicFile: "<name>.<16 hex digits>.part") this
  // is; empty for any other name.
  [[nodiscard]] static std::string_view TemporaryTarget(std::string_view fileName);

 private:
  struct TKept {
    std::filesystem::path Temporary;  // names within the folder
    std::filesystem::path Target;
  };

  void ReadPreviousRecord();
  void RemoveLeftTemporaries() const;
  [[nodiscard]] std::string Record(std::string_view state, bool withPrevious) const;
  void WriteRecord(const std::string& text) const;
  void Undo() const;

  std::filesystem::path folder_;
  std::unique_ptr<TFolderLock> lock_;
  TJsonValue description_;
  std::chrono::system_clock::time_point started_;
  std::optional<std::string> oldRecord_;  // the record's bytes before the run
  TJsonValue previous_;                   // the latest complete run's record, or null
  std::vector<TKept> kept_;
  std::filesystem::path database_;  // as recorded; empty when the run writes none
  std::int64_t databaseRun_ = 0;
  std::size_t renamed_ = 0;  // kept files already in place
  bool committed_ = false;
};

}  // namespace tavora
