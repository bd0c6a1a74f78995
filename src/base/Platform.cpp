#include "base/Platform.h"

#include <atomic>
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
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavora {

namespace {

// Set by RequestReadCancel, also from a signal handler: it must need no lock.
std::atomic<bool> gReadCancel{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

void RequestReadCancel() noexcept { gReadCancel.store(true, std::memory_order_relaxed); }

void ClearReadCancel() noexcept { gReadCancel.store(false, std::memory_order_relaxed); }

bool IsReadCancelRequested() noexcept { return gReadCancel.load(std::memory_order_relaxed); }

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

TFileHandle OpenForReading(const std::filesystem::path& path, bool& isStream, std::error_code& ec) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Failed(ec);
    return kNoFile;
  }
  isStream = GetFileType(h) != FILE_TYPE_DISK;
  ec.clear();
  return reinterpret_cast<TFileHandle>(h);
}

TFileHandle StandardInputHandle(bool& isStream) {
  SetStandardInputBinary();
  const HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
  isStream = GetFileType(h) != FILE_TYPE_DISK;
  return reinterpret_cast<TFileHandle>(h);
}

std::size_t ReadFromFile(TFileHandle file, bool isStream, char* data, std::size_t size,
                         std::error_code& ec) {
  if (isStream && IsReadCancelRequested()) throw TReadCancelled();
  const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!::ReadFile(AsHandle(file), data, piece, &got, nullptr)) {
    // The writer of a pipe has closed it: the end of the input.
    const DWORD error = GetLastError();
    if (error != ERROR_BROKEN_PIPE && error != ERROR_HANDLE_EOF) {
      Failed(ec);
      return 0;
    }
    got = 0;
  }
  ec.clear();
  return got;
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

namespace {

// How long a read of a stream waits before it looks for a cancel again.
constexpr int kWaitStepMilliseconds = 100;

bool IsStreamDescriptor(int fd, std::error_code& ec) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return Failed(ec);
  return !S_ISREG(status.st_mode);
}

}  // namespace

TFileHandle OpenForReading(const std::filesystem::path& path, bool& isStream, std::error_code& ec) {
  ec.clear();
  int fd;
  // Non-blocking, so that opening a FIFO does not wait for its writer; ReadFromFile waits.
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Failed(ec);
    return kNoFile;
  }
  isStream = IsStreamDescriptor(fd, ec);
  if (ec) {
    ::close(fd);
    return kNoFile;
  }
  return fd;
}

TFileHandle StandardInputHandle(bool& isStream) {
  std::error_code ec;
  isStream = IsStreamDescriptor(STDIN_FILENO, ec) || ec;
  return STDIN_FILENO;
}

std::size_t ReadFromFile(TFileHandle file, bool isStream, char* data, std::size_t size,
                         std::error_code& ec) {
  ec.clear();
  const int fd = static_cast<int>(file);
  for (;;) {
    if (isStream) {
      // Waits in steps (poll ends early on a signal), looking for a cancel between them.
      if (IsReadCancelRequested()) throw TReadCancelled();
      pollfd wanted{fd, POLLIN, 0};
      const int ready = ::poll(&wanted, 1, kWaitStepMilliseconds);
      if (ready < 0 && errno != EINTR) {
        Failed(ec);
        return 0;
      }
      if (ready <= 0) continue;
    }
    const ssize_t got = ::read(fd, data, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
      Failed(ec);
      return 0;
    }
  }
}

#endif

}  // namespace tavora
