#include "base/TAtomicFile.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"

namespace tavora {

namespace {

// A new 64-bit value on every call: a random start per process, then a counter spread by an
// odd multiplier, so that names differ between calls, threads and processes.
std::uint64_t NextSuffix() {
  static const std::uint64_t seed = [] {
    std::random_device rd;
    return (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  }();
  static std::atomic<std::uint64_t> counter{0};
  return seed + counter.fetch_add(1, std::memory_order_relaxed) * 0x9E3779B97F4A7C15ull;
}

std::filesystem::path TemporaryName(const std::filesystem::path& target) {
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%016llx.part",
                static_cast<unsigned long long>(NextSuffix()));
  std::filesystem::path temp = target;
  temp += suffix;
  return temp;
}

}  // namespace

TAtomicFile::TAtomicFile(std::filesystem::path target, std::string what)
    : target_(std::move(target)), what_(std::move(what)) {
  std::error_code ec;
  // A name taken by another file (or planted) is passed over for the next one.
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_ = TemporaryName(target_);
    file_ = CreateNewFile(temp_, ec);
    if (file_ != kNoFile || ec != std::errc::file_exists) break;
  }
  if (file_ == kNoFile) Fail("it cannot be created");
}

TAtomicFile::~TAtomicFile() {
  if (committed_ || released_) return;
  std::error_code ec;
  if (file_ != kNoFile) CloseFile(file_, ec);
  if (!temp_.empty()) std::filesystem::remove(temp_, ec);
}

void TAtomicFile::Write(const char* data, std::size_t size) {
  if (file_ == kNoFile) Fail("it is already closed");
  std::error_code ec;
  if (!WriteToFile(file_, data, size, ec)) Fail("writing failed");
}

void TAtomicFile::Finish() {
  if (file_ == kNoFile) return;
  std::error_code ec;
  const bool synced = SyncFile(file_, ec);
  const TFileHandle file = file_;
  file_ = kNoFile;
  if (!CloseFile(file, ec) || !synced) Fail("writing failed");
}

void TAtomicFile::Commit() {
  if (committed_) return;
  if (released_) Fail("it was handed over");
  Finish();
  std::error_code ec;
  if (!RenameReplacing(temp_, target_, ec)) Fail(ec.message());
  committed_ = true;
  if (!SyncFolder(target_.parent_path(), ec)) Fail("its folder cannot be flushed: " + ec.message());
}

std::filesystem::path TAtomicFile::Release() {
  Finish();
  released_ = true;
  return temp_;
}

void TAtomicFile::Fail(std::string_view reason) const {
  std::string message = "Cannot write " + what_ + " " + QuotedPath(target_) + ": ";
  message += reason;
  message += '.';
  throw std::runtime_error(message);
}

}  // namespace tavora
