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
#include <csignal>
#include <fstream>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
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

std::int64_t CurrentProcessId() { return static_cast<std::int64_t>(GetCurrentProcessId()); }

bool IsProcessRunning(std::int64_t pid) {
  if (pid <= 0 || pid > 0xFFFFFFFFll) return false;
  const HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

std::string MachineName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  const std::u8string utf8 = std::filesystem::path(std::wstring(name, size)).u8string();
  return std::string(utf8.begin(), utf8.end());
}

TLockResult OpenLockedFile(const std::filesystem::path& path, TFileHandle& file,
                           std::error_code& ec) {
  file = kNoFile;
  // Sharing only reading: a second writer's open fails while this handle lives. Readers of
  // the record must share deletion because of FILE_FLAG_DELETE_ON_CLOSE.
  const HANDLE h = CreateFileW(
      path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      ec.clear();
      return TLockResult::Busy;
    }
    Failed(ec);
    return TLockResult::Failed;
  }
  ec.clear();
  file = reinterpret_cast<TFileHandle>(h);
  return TLockResult::Locked;
}

bool IsSameFile(TFileHandle, const std::filesystem::path&) {
  return true;  // nobody removes or replaces a file held open without FILE_SHARE_DELETE
}

bool ReplaceFileContent(TFileHandle file, std::string_view content, std::error_code& ec) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(AsHandle(file), start, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(AsHandle(file)))
    return Failed(ec);
  return WriteToFile(file, content.data(), content.size(), ec);
}

void RemoveLockedFile(TFileHandle file, const std::filesystem::path&) {
  CloseHandle(AsHandle(file));  // FILE_FLAG_DELETE_ON_CLOSE removes it
}

std::string ReadSharedFile(const std::filesystem::path& path) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  char buffer[4096];
  DWORD read = 0;
  std::string text;
  if (ReadFile(h, buffer, sizeof buffer, &read, nullptr)) text.assign(buffer, read);
  CloseHandle(h);
  return text;
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

std::int64_t CurrentProcessId() { return static_cast<std::int64_t>(::getpid()); }

bool IsProcessRunning(std::int64_t pid) {
  if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
  // Signal 0 only checks: a process of another user answers "not permitted".
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string MachineName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

TLockResult OpenLockedFile(const std::filesystem::path& path, TFileHandle& file,
                           std::error_code& ec) {
  file = kNoFile;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Failed(ec);
    return TLockResult::Failed;
  }
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  const int error = errno;
  ec.clear();
  if (locked == 0) {
    file = fd;
    return TLockResult::Locked;
  }
  if (error == EWOULDBLOCK) {
    ::close(fd);
    return TLockResult::Busy;
  }
  if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL) {
    file = fd;
    ec.assign(error, std::generic_category());
    return TLockResult::Unsupported;
  }
  ::close(fd);
  ec.assign(error, std::generic_category());
  return TLockResult::Failed;
}

bool IsSameFile(TFileHandle file, const std::filesystem::path& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(static_cast<int>(file), &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool ReplaceFileContent(TFileHandle file, std::string_view content, std::error_code& ec) {
  const int fd = static_cast<int>(file);
  if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) return Failed(ec);
  return WriteToFile(file, content.data(), content.size(), ec);
}

void RemoveLockedFile(TFileHandle file, const std::filesystem::path& path) {
  // Removed while still locked, so that no later run locks this file after it is gone.
  if (IsSameFile(file, path)) ::unlink(path.c_str());
  ::close(static_cast<int>(file));
}

std::string ReadSharedFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  char buffer[4096];
  in.read(buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(in.gcount()));
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
