#pragma once

// The few operating-system calls that differ between systems: the console of the command line,
// the file calls of the atomic writer and of the folder lock, the process checks of the
// lock, and the reading of inputs that may be streams. Everything else goes through the
// standard library.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace tavora {

// Whether standard error is a terminal (then a progress bar is drawn there).
[[nodiscard]] bool IsStandardErrorTerminal();

// Reads standard input as bytes, without any translation of line ends.
void SetStandardInputBinary();

// A file opened by CreateNewFile: a descriptor or a handle.
using TFileHandle = std::intptr_t;
inline constexpr TFileHandle kNoFile = -1;

// Creates the file for writing. Fails with an error when the name exists in any form, also as
// a symbolic link, which is never followed (O_CREAT | O_EXCL | O_NOFOLLOW, CREATE_NEW).
[[nodiscard]] TFileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& ec);
// Writes all size bytes, or fails.
bool WriteToFile(TFileHandle file, const char* data, std::size_t size, std::error_code& ec);
// Flushes the file's data to the disk (fsync, FlushFileBuffers).
bool SyncFile(TFileHandle file, std::error_code& ec);
// Closes the file; the handle is invalid afterwards, whatever the result.
bool CloseFile(TFileHandle file, std::error_code& ec);
// Renames from to to, replacing to when it exists, in one step; on Windows written through to
// the disk.
bool RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec);
// Flushes a folder's entries to the disk where the system offers it (so that a rename in it
// survives a power loss); true where it does not, or where the file system cannot.
bool SyncFolder(const std::filesystem::path& folder, std::error_code& ec);

// This process's id.
[[nodiscard]] std::int64_t CurrentProcessId();
// Whether a process of this id runs on this machine (also one of another user).
[[nodiscard]] bool IsProcessRunning(std::int64_t pid);
// This machine's name; empty when the system does not tell.
[[nodiscard]] std::string MachineName();

// What OpenLockedFile achieved.
enum class TLockResult : std::uint8_t {
  Locked,       // the file is open and locked by this process
  Busy,         // another holder has it locked; the file is not open
  Unsupported,  // the file system has no locks; the file is open, unlocked
  Failed,       // the file cannot be opened (ec says why)
};
// Opens the file for reading and writing, creating it where it is missing but never through a
// symbolic link, and takes an exclusive lock on it without waiting: flock on POSIX systems; on
// Windows an open that shares only reading, the file removed when its handle closes. The system
// drops the lock when the process ends in any way, a kill included.
[[nodiscard]] TLockResult OpenLockedFile(const std::filesystem::path& path, TFileHandle& file,
                                         std::error_code& ec);
// Whether the open file is still the one the path names (not removed or replaced since).
[[nodiscard]] bool IsSameFile(TFileHandle file, const std::filesystem::path& path);
// Replaces the content of an open file.
bool ReplaceFileContent(TFileHandle file, std::string_view content, std::error_code& ec);
// Removes a file opened by OpenLockedFile and closes it; the lock ends with it.
void RemoveLockedFile(TFileHandle file, const std::filesystem::path& path);
// The bytes of a small file, also of one that another process holds open and locked; empty
// when it cannot be read.
[[nodiscard]] std::string ReadSharedFile(const std::filesystem::path& path);

// ---- Reading inputs ----
// An input is a regular file or a stream: a pipe, a FIFO, a device, a terminal. A stream has no
// size, and a read of it may wait for its writer; the wait is made in short steps that end once a
// cancel is requested (RequestReadCancel), so that Ctrl+C ends a run that waits on a FIFO. (On
// Windows a wait for a pipe ends only when the pipe does.)

// Thrown by a read of a stream that stopped waiting because a cancel was requested.
class TReadCancelled : public std::runtime_error {
 public:
  TReadCancelled() : std::runtime_error("Cancelled") {}
};

// Asks every read that waits for a stream to give up. Safe to call from a signal handler.
void RequestReadCancel() noexcept;
// Reads wait again (a new run starts).
void ClearReadCancel() noexcept;
[[nodiscard]] bool IsReadCancelRequested() noexcept;

// Opens an input for reading, links followed; isStream tells whether it is a stream. Opening a
// FIFO does not wait for its writer.
[[nodiscard]] TFileHandle OpenForReading(const std::filesystem::path& path, bool& isStream,
                                         std::error_code& ec);
// The standard input of the process (never to be closed); binary, as SetStandardInputBinary.
[[nodiscard]] TFileHandle StandardInputHandle(bool& isStream);
// Reads up to size bytes and returns how many; 0 at the end of the input. A stream's read returns
// what has arrived once anything has; it throws TReadCancelled when a cancel is requested while
// it waits.
std::size_t ReadFromFile(TFileHandle file, bool isStream, char* data, std::size_t size,
                         std::error_code& ec);

}  // namespace tavora
