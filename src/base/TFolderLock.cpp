#include "base/TFolderLock.h"

#include <charconv>
#include <chrono>
#include <optional>
#include <stdexcept>

#include "base/Paths.h"
#include "base/Timestamp.h"

namespace tavora {

namespace {

// What a lock file says of its holder.
struct THolder {
  std::int64_t Pid = 0;
  std::string Host;
  std::string Started;
};

// The value of "key=" in a record of space-separated fields.
std::string_view Field(std::string_view record, std::string_view key) {
  for (std::size_t start = 0; start < record.size();) {
    std::size_t end = record.find_first_of(" \r\n", start);
    if (end == std::string_view::npos) end = record.size();
    const std::string_view field = record.substr(start, end - start);
    if (field.size() > key.size() && field.starts_with(key) && field[key.size()] == '=')
      return field.substr(key.size() + 1);
    start = end + 1;
  }
  return {};
}

std::optional<THolder> ParseRecord(std::string_view record) {
  THolder holder;
  const std::string_view pid = Field(record, "pid");
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), holder.Pid);
  if (pid.empty() || ec != std::errc() || end != pid.data() + pid.size() || holder.Pid <= 0)
    return std::nullopt;
  holder.Host = Field(record, "host");
  holder.Started = Field(record, "started");
  return holder;
}

}  // namespace

TFolderLock::TFolderLock(std::filesystem::path folder, std::string what)
    : folder_(std::move(folder)), path_(folder_ / kFileName), what_(std::move(what)) {
  // A holder that ends removes its file while still holding it; a run that opened the old
  // file just then locks a removed file and tries again.
  std::error_code ec;
  for (int attempt = 0; attempt < 16; ++attempt) {
    TFileHandle file = kNoFile;
    const TLockResult result = OpenLockedFile(path_, file, ec);
    if (result == TLockResult::Busy) FailBusy(ReadSharedFile(path_), false);
    if (result == TLockResult::Failed) break;
    if (result == TLockResult::Unsupported) {
      TakeUnchecked(file);
      return;
    }
    if (!IsSameFile(file, path_)) {
      CloseFile(file, ec);
      ec.clear();
      continue;
    }
    // Only a run that ended without cleaning up leaves a record behind.
    tookOver_ = !ReadSharedFile(path_).empty();
    WriteRecord(file);
    return;
  }
  throw std::runtime_error("Cannot lock the " + what_ + " " + QuotedPath(folder_) + ": " +
                           (ec ? ec.message() : std::string("the lock file keeps changing")) + ".");
}

TFolderLock::~TFolderLock() {
  if (file_ != kNoFile) RemoveLockedFile(file_, path_);
}

void TFolderLock::WriteRecord(TFileHandle file) {
  const std::string record = "pid=" + std::to_string(CurrentProcessId()) +
                             " host=" + MachineName() +
                             " started=" + UtcTimestamp(std::chrono::system_clock::now()) + "\n";
  std::error_code ec;
  if (!ReplaceFileContent(file, record, ec)) {
    RemoveLockedFile(file, path_);
    throw std::runtime_error("Cannot lock the " + what_ + " " + QuotedPath(folder_) + ": " +
                             ec.message() + ".");
  }
  file_ = file;
}

void TFolderLock::TakeUnchecked(TFileHandle file) {
  const std::string record = ReadSharedFile(path_);
  if (const auto holder = ParseRecord(record)) {
    if (holder->Host != MachineName() || IsProcessRunning(holder->Pid)) {
      std::error_code ec;
      CloseFile(file, ec);
      FailBusy(record, true);
    }
    tookOver_ = true;
  }
  WriteRecord(file);
}

void TFolderLock::FailBusy(const std::string& record, bool unchecked) const {
  std::string message =
      "The " + what_ + " " + QuotedPath(folder_) + " is in use by another run of Tavora";
  if (const auto holder = ParseRecord(record)) {
    message += " (process " + std::to_string(holder->Pid);
    if (!holder->Host.empty()) message += " on \"" + holder->Host + "\"";
    if (!holder->Started.empty()) message += ", started " + holder->Started;
    message += ")";
  }
  message += "; wait until it ends or choose another folder.";
  if (unchecked) message += " If no run is going on there, remove " + QuotedPath(path_) + ".";
  throw std::runtime_error(message);
}

}  // namespace tavora
