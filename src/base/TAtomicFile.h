#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Platform.h"

namespace tavora {

// A file written under a temporary name beside its target and put in its place by Commit, so
// that the target holds either its old content or the whole new one, never a part of it.
//
// The temporary is created in the target's folder under a name of its own
// ("<target name>.<16 hex digits>.part") that did not exist before: an existing name, a
// symbolic link planted there included, is never opened. Finish flushes the data to the disk
// and closes the temporary; Commit finishes when that has not been done, renames the temporary
// over the target and flushes the folder, so that after a power loss the target is either the
// old file or the whole new one, never an empty file. Finish and Commit are separate so that
// the files of one run can all be finished before any of them is renamed. A writer destroyed
// before Commit removes its temporary.
//
// Writes are not buffered: every Write goes to the system, so callers collect large pieces.
// Failures throw std::runtime_error "Cannot write <what> "<target>": <reason>.".
class TAtomicFile {
 public:
  // what: the kind of file in messages ("file", "the table", "the frequency list").
  explicit TAtomicFile(std::filesystem::path target, std::string what = "file");
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  void Write(const char* data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Flushes the temporary to the disk and closes it; nothing can be written afterwards.
  void Finish();
  // Finishes, then renames the temporary to the target (replacing it) and flushes the folder.
  void Commit();
  // Finishes and hands the temporary over: the caller renames or removes it, the destructor
  // leaves it alone. Returns the temporary's path. Writers of many files release each one
  // when written, so that only its name stays held until all are renamed.
  [[nodiscard]] std::filesystem::path Release();

  // Throws the error of this file with the given reason ("writing failed").
  [[noreturn]] void Fail(std::string_view reason) const;

  [[nodiscard]] const std::filesystem::path& GetTarget() const noexcept { return target_; }
  [[nodiscard]] const std::filesystem::path& GetTemporary() const noexcept { return temp_; }
  [[nodiscard]] bool IsCommitted() const noexcept { return committed_; }

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::string what_;
  TFileHandle file_ = kNoFile;
  bool committed_ = false;
  bool released_ = false;
};

}  // namespace tavora
