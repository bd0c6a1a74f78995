#include "base/Platform.h"

#include <cstdio>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavora {

bool IsStandardErrorTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

void SetStandardInputBinary() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

#ifdef _WIN32

namespace {

HANDLE AsHandle(TFileHandle file) { return reinterpret_cast<HANDLE>(file); }

bool Failed(std::error_code& ec) {
  ec.assign(static_cast<int>(GetLastError()), std::system_category());
  return false;
}

}  // namespace

TFileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& ec) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Failed(ec);
    return kNoFile;
  }
  ec.clear();
  return reinterpret_cast<TFileHandle>(h);
}

bool WriteToFile(TFileHandle file, const char* data, std::size_t size, std::error_code& ec) {
  while (size > 0) {
    const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(AsHandle(file), data, piece, &written, nullptr)) return Failed(ec);
    data += written;
    size -= written;
  }
  ec.clear();
  return true;
}

bool SyncFile(TFileHandle file, std::error_code& ec) {
  if (!FlushFileBuffers(AsHandle(file))) return Failed(ec);
  ec.clear();
  return true;
}

bool CloseFile(TFileHandle file, std::error_code& ec) {
  if (!CloseHandle(AsHandle(file))) return Failed(ec);
  ec.clear();
  return true;
}

bool RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Failed(ec);
  ec.clear();
  return true;
}

bool SyncFolder(const std::filesystem::path&, std::error_code& ec) {
  ec.clear();  // MOVEFILE_WRITE_THROUGH has already made the rename durable
  return true;
}

#else

namespace {

bool Failed(std::error_code& ec) {
  ec.assign(errno, std::generic_category());
  return false;
}

}  // namespace

TFileHandle CreateNewFile(const std::filesystem::path& path, std::error_code& ec) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Failed(ec);
    return kNoFile;
  }
  ec.clear();
  return fd;
}

bool WriteToFile(TFileHandle file, const char* data, std::size_t size, std::error_code& ec) {
  while (size > 0) {
    const ssize_t written = ::write(static_cast<int>(file), data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return Failed(ec);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  ec.clear();
  return true;
}

bool SyncFile(TFileHandle file, std::error_code& ec) {
  while (::fsync(static_cast<int>(file)) != 0) {
    if (errno != EINTR) return Failed(ec);
  }
  ec.clear();
  return true;
}

bool CloseFile(TFileHandle file, std::error_code& ec) {
  // A close interrupted by a signal has still released the descriptor: never retried.
  if (::close(static_cast<int>(file)) != 0 && errno != EINTR) return Failed(ec);
  ec.clear();
  return true;
}

bool RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec) {
  if (::rename(from.c_str(), to.c_str()) != 0) return Failed(ec);
  ec.clear();
  return true;
}

bool SyncFolder(const std::filesystem::path& folder, std::error_code& ec) {
  ec.clear();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed(ec);
  bool ok = true;
  while (::fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // File systems that cannot flush a folder say so; there is nothing more to do there.
    if (errno != EINVAL && errno != ENOTSUP) ok = Failed(ec);
    break;
  }
  ::close(fd);
  return ok;
}

#endif

}  // namespace tavora
