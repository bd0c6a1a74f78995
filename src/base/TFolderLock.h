#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/Platform.h"

namespace tavora {

// An exclusive lock on a folder for the length of one run, so that two runs never write into
// one folder at the same time, whether they run in one process or in two.
//
// The lock is the file "TavoraRun.lock" in the folder, held open and locked with the system's
// file lock (OpenLockedFile) and removed when the lock ends. It records its holder on one
// line: "pid=1234 host=NAME started=2025-03-14T09:26:53Z". The system drops the lock of a
// process that ends in any way, so a lock file left behind by a killed run does not block: the
// next run finds it unlocked and takes it over.
//
// On a file system that offers no locks (flock fails with ENOLCK, as on NFS without a lock
// manager) the record is checked instead: a lock of a process that still runs on this machine
// blocks, and so does one of another machine, whose process cannot be checked; a lock of a
// process that has ended is taken over. Two runs that start at the very same moment on such a
// file system may then both go on.
class TFolderLock {
 public:
  static constexpr std::string_view kFileName = "TavoraRun.lock";

  // Takes the lock on an existing folder. what names the folder in messages ("output
  // folder"). Throws std::runtime_error naming the folder when another run holds it ("The
  // output folder "R" is in use by another run of Tavora (process 1234 on "host", started
  // ...); wait until it ends or choose another folder.") or when no lock file can be made.
  explicit TFolderLock(std::filesystem::path folder, std::string what = "output folder");
  // Ends the lock and removes the lock file.
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

  // Whether the lock file of an earlier run that ended without removing it was taken over:
  // that run's temporary files may still lie in the folder.
  [[nodiscard]] bool TookOverLeftLock() const noexcept { return tookOver_; }
  [[nodiscard]] const std::filesystem::path& GetPath() const noexcept { return path_; }

 private:
  [[noreturn]] void FailBusy(const std::string& record, bool unchecked) const;
  // The file system has no locks: the record decides.
  void TakeUnchecked(TFileHandle file);
  void WriteRecord(TFileHandle file);

  std::filesystem::path folder_;
  std::filesystem::path path_;
  std::string what_;
  TFileHandle file_ = kNoFile;
  bool tookOver_ = false;
};

}  // namespace tavora
