#include "processing/TResultFile.h"

#include <stdexcept>
#include <system_error>

#include "engine/Utf8.h"

namespace tavora {

std::string PathToUtf8(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return {reinterpret_cast<const char*>(s.data()), s.size()};
}

TResultFile::TResultFile(std::filesystem::path target)
    : target_(std::move(target)), temp_(target_) {
  temp_ += ".part";
  out_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!out_) Fail("it cannot be created");
  open_ = true;
  buffer_.reserve(kFlushAt + 4096);
  buffer_ = "\xEF\xBB\xBF";
}

TResultFile::~TResultFile() {
  if (!open_) return;
  out_.close();
  std::error_code ec;
  std::filesystem::remove(temp_, ec);
}

void TResultFile::Write(std::string_view utf8) {
  buffer_ += utf8;
  if (buffer_.size() >= kFlushAt) Flush();
}

void TResultFile::Write(std::u16string_view text) {
  // Result lines are mostly ASCII (numbers, quotes, commas): copy those units directly.
  std::size_t i = 0;
  for (; i < text.size() && text[i] < 0x80; ++i) buffer_ += static_cast<char>(text[i]);
  if (i < text.size()) AppendUtf16ToUtf8(buffer_, text.substr(i));
  if (buffer_.size() >= kFlushAt) Flush();
}

void TResultFile::WriteQuoted(std::u16string_view field) {
  buffer_ += '"';
  for (std::size_t start = 0;;) {
    const std::size_t q = field.find(u'"', start);
    AppendUtf16ToUtf8(buffer_, field.substr(start, q == std::u16string_view::npos ? q : q - start + 1));
    if (q == std::u16string_view::npos) break;
    buffer_ += '"';
    start = q + 1;
  }
  buffer_ += '"';
  if (buffer_.size() >= kFlushAt) Flush();
}

void TResultFile::WriteQuoted(std::string_view utf8Field) {
  buffer_ += '"';
  for (const char c : utf8Field) {
    buffer_ += c;
    if (c == '"') buffer_ += '"';
  }
  buffer_ += '"';
  if (buffer_.size() >= kFlushAt) Flush();
}

void TResultFile::Flush() {
  if (!buffer_.empty()) {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  if (!out_) Fail("writing failed");
}

void TResultFile::Commit() {
  Flush();
  out_.close();
  if (out_.fail()) Fail("writing failed");
  std::error_code ec;
  std::filesystem::rename(temp_, target_, ec);
  if (ec) Fail(ec.message());
  open_ = false;
}

void TResultFile::Fail(std::string_view reason) const {
  std::string message = "Cannot write file \"" + PathToUtf8(target_) + "\": ";
  message += reason;
  message += '.';
  throw std::runtime_error(message);
}

} // namespace tavora
