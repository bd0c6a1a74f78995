#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tavora {

// One result file being written: UTF-8 with a byte-order mark, every line ended by CR LF.
// The text goes to a temporary file beside the target (the target's name plus ".part")
// and is renamed into place by Commit, so the target never holds a partial file. A file
// that is destroyed without Commit (an error ended the run) has its temporary removed.
// Every failure throws std::runtime_error naming the target.
class TResultFile {
public:
  explicit TResultFile(std::filesystem::path target);
  ~TResultFile();
  TResultFile(const TResultFile&) = delete;
  TResultFile& operator=(const TResultFile&) = delete;

  // Appends text; no line end is added.
  void Write(std::string_view utf8);
  void Write(std::u16string_view text);
  // Appends the field in double quotes, with every double quote inside it doubled.
  void WriteQuoted(std::u16string_view field);
  void WriteQuoted(std::string_view utf8Field);
  void EndLine() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushAt) Flush();
  }
  // Lets append add UTF-8 text directly to the file's buffer.
  template <class Appender>
  void WriteAppended(Appender&& append) {
    append(buffer_);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  // Hands the underlying stream, with everything written so far flushed to it, to write;
  // for output too large to pass through a string.
  template <class Writer>
  void WriteThrough(Writer&& write) {
    Flush();
    write(static_cast<std::ostream&>(out_));
    if (!out_) Fail("writing failed");
  }

  // Writes out the rest, closes and renames the temporary to the target, replacing it.
  void Commit();

  [[nodiscard]] const std::filesystem::path& GetTarget() const { return target_; }

private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  void Flush();
  [[noreturn]] void Fail(std::string_view reason) const;

  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::ofstream out_;
  std::string buffer_;
  bool open_ = false;
};

// The path as UTF-8 text, for messages.
std::string PathToUtf8(const std::filesystem::path& p);

} // namespace tavora
