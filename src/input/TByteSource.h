#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

#include "base/Platform.h"

namespace tavora {

// Where a reader's bytes come from. Read fills the whole request and returns fewer bytes only
// at the end of the input; a failure throws std::runtime_error naming the input, and a wait for
// a stream that a cancel ends throws TReadCancelled.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual std::size_t Read(unsigned char* data, std::size_t size) = 0;
  // The input as messages name it: "file \"PATH\"", "standard input" or "the input".
  [[nodiscard]] virtual const std::string& What() const noexcept = 0;
};

// A std::istream, owned or borrowed.
class TIstreamSource final : public TByteSource {
 public:
  // what: the input as messages name it; empty: "the input".
  explicit TIstreamSource(std::istream& stream, std::string what = {});
  explicit TIstreamSource(std::unique_ptr<std::istream> stream, std::string what = {});
  std::size_t Read(unsigned char* data, std::size_t size) override;
  [[nodiscard]] const std::string& What() const noexcept override { return what_; }

 private:
  std::unique_ptr<std::istream> owned_;
  std::istream* stream_;
  std::string what_;
};

// A file, FIFO or device, or the standard input, read through the platform layer in large
// blocks. A stream (pipe, FIFO, device) has no size and is read as its bytes arrive.
class TFileSource final : public TByteSource {
 public:
  // Throws std::runtime_error "Cannot open file "PATH". REASON." when it cannot be opened.
  explicit TFileSource(const std::filesystem::path& path);
  // The standard input of the process.
  static std::unique_ptr<TFileSource> StandardInput();
  ~TFileSource() override;
  TFileSource(const TFileSource&) = delete;
  TFileSource& operator=(const TFileSource&) = delete;

  std::size_t Read(unsigned char* data, std::size_t size) override;
  [[nodiscard]] const std::string& What() const noexcept override { return what_; }
  [[nodiscard]] bool IsStream() const noexcept { return isStream_; }

 private:
  TFileSource(TFileHandle handle, bool isStream, bool owned, std::string what);

  TFileHandle handle_ = kNoFile;
  bool isStream_ = false;
  bool owned_ = true;
  bool ended_ = false;
  std::string what_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // [begin_, end_) of buffer_ not yet handed out
  std::size_t end_ = 0;
};

}  // namespace tavora
