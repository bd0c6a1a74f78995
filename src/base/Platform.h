#pragma once

// The few operating-system calls that differ between systems: the console of the command line
// and the file calls of the atomic writer. Everything else goes through the standard library.

#include <cstddef>
#include <cstdint>
#include <filesystem>
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

}  // namespace tavora
