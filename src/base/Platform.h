#pragma once

// The few operating-system calls that differ between systems: the console of the command line,
// the file calls of the atomic writer and the reading of inputs that may be streams. Everything
// else goes through the standard library.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
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
