#include "input/TByteSource.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"

namespace tavora {
namespace {

// Bytes a file source asks the system for at once.
constexpr std::size_t kFileBlock = 524288;

std::string Reason(const std::error_code& ec) {
  std::string reason = ec.message();
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  return reason;
}

}  // namespace

TIstreamSource::TIstreamSource(std::istream& stream, std::string what)
    : stream_(&stream), what_(what.empty() ? std::string("the input") : std::move(what)) {}

TIstreamSource::TIstreamSource(std::unique_ptr<std::istream> stream, std::string what)
    : TIstreamSource(*stream, std::move(what)) {
  owned_ = std::move(stream);
}

std::size_t TIstreamSource::Read(unsigned char* data, std::size_t size) {
  stream_->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(size));
  if (stream_->bad()) throw std::runtime_error("Cannot read " + what_ + ".");
  return static_cast<std::size_t>(stream_->gcount());
}

TFileSource::TFileSource(TFileHandle handle, bool isStream, bool owned, std::string what)
    : handle_(handle),
      isStream_(isStream),
      owned_(owned),
      what_(std::move(what)),
      buffer_(std::make_unique<char[]>(kFileBlock)) {}

TFileSource::TFileSource(const std::filesystem::path& path)
    : TFileSource(kNoFile, false, true, "file " + QuotedPath(path)) {
  std::error_code ec;
  handle_ = OpenForReading(path, isStream_, ec);
  if (handle_ == kNoFile) {
    throw std::runtime_error("Cannot open file " + QuotedPath(path) + ". " + Reason(ec) + ".");
  }
}

std::unique_ptr<TFileSource> TFileSource::StandardInput() {
  bool isStream = true;
  const TFileHandle handle = StandardInputHandle(isStream);
  return std::unique_ptr<TFileSource>(new TFileSource(handle, isStream, false, "standard input"));
}

TFileSource::~TFileSource() {
  if (owned_ && handle_ != kNoFile) {
    std::error_code ec;
    CloseFile(handle_, ec);
  }
}

std::size_t TFileSource::Read(unsigned char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    if (begin_ == end_) {
      if (ended_) break;
      std::error_code ec;
      const std::size_t got = ReadFromFile(handle_, isStream_, buffer_.get(), kFileBlock, ec);
      if (ec) {
        throw std::runtime_error("Cannot read " + what_ + ". " + Reason(ec) + ".");
      }
      if (got == 0) {
        ended_ = true;
        break;
      }
      begin_ = 0;
      end_ = got;
    }
    const std::size_t take = std::min(size - done, end_ - begin_);
    std::memcpy(data + done, buffer_.get() + begin_, take);
    begin_ += take;
    done += take;
  }
  return done;
}

}  // namespace tavora
