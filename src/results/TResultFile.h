#pragma once

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "base/TAtomicFile.h"

namespace tavora {

// One result file being written: UTF-8 with a byte-order mark, every line ended by CR LF.
// The text goes to a temporary file beside the target (TAtomicFile) and is renamed into
// place by Commit, so the target never holds a partial file. A file that is destroyed
// without Commit (an error ended the run) has its temporary removed. Every failure throws
// std::runtime_error naming the target.
//
// Text is collected in a fixed buffer of kCapacity bytes and handed to the file in large
// writes; pieces of at least half the buffer go to the file directly, without a copy.
class TResultFile {
 public:
  static constexpr std::size_t kCapacity = std::size_t{1} << 17;
  // The most that Reserve may ask for.
  static constexpr std::size_t kMaxReserve = kCapacity / 2;

  explicit TResultFile(std::filesystem::path target);
  ~TResultFile();
  TResultFile(const TResultFile&) = delete;
  TResultFile& operator=(const TResultFile&) = delete;

  // Appends text; no line end is added.
  void Write(std::string_view utf8) {
    if (utf8.size() < kMaxReserve && utf8.size() <= kCapacity - used_) {
      std::memcpy(buffer_.get() + used_, utf8.data(), utf8.size());
      used_ += utf8.size();
    } else {
      WriteLarge(utf8);
    }
  }
  void Write(std::u16string_view text);
  // Appends the field in double quotes, with every double quote inside it doubled.
  void WriteQuoted(std::u16string_view field);
  void WriteQuoted(std::string_view utf8Field);
  // WriteQuoted, but a field that a spreadsheet program would run as a formula (one that
  // begins with "=", "+", "-" or "@") gets an apostrophe before it inside the quotes.
  void WriteQuotedSafe(std::u16string_view field);
  void EndLine() { Write(std::string_view("\r\n", 2)); }

  // Room for n bytes (at most kMaxReserve) at the end of the text: write into it, then
  // call Advance with the end of what was written. Nothing else may be written between.
  char* Reserve(std::size_t n) {
    if (n > kCapacity - used_) Flush();
    return buffer_.get() + used_;
  }
  void Advance(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

  // Writes out the rest, flushes it to the disk and closes the temporary.
  void Finish();
  // Finishes, then renames the temporary to the target, replacing it.
  void Commit();
  // Finishes and hands the temporary over (TAtomicFile::Release); returns its path.
  [[nodiscard]] std::filesystem::path Release();

  [[nodiscard]] const std::filesystem::path& GetTarget() const { return file_.GetTarget(); }

 private:
  void Flush();
  void WriteLarge(std::string_view utf8);
  void WriteQuotedAfter(std::string_view opening, std::u16string_view field);

  TAtomicFile file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::string scratch_;  // UTF-8 of a UTF-16 field, reused
};

}  // namespace tavora
