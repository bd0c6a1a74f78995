#include "results/TResultFile.h"

#include "base/Utf8.h"

namespace tavora {

TResultFile::TResultFile(std::filesystem::path target)
    : file_(std::move(target)), buffer_(new char[kCapacity]) {
  Write(std::string_view("\xEF\xBB\xBF"));
}

TResultFile::~TResultFile() = default;

void TResultFile::Write(std::u16string_view text) {
  // Result lines are mostly ASCII (numbers, quotes, commas): copy those units directly.
  std::size_t i = 0;
  while (i < text.size()) {
    char* p = Reserve(std::min(text.size() - i, kMaxReserve));
    char* const end = p + std::min(text.size() - i, kMaxReserve);
    while (p != end && text[i] < 0x80) *p++ = static_cast<char>(text[i++]);
    Advance(p);
    if (p != end) break;
  }
  if (i < text.size()) {
    scratch_.clear();
    AppendUtf16ToUtf8(scratch_, text.substr(i));
    Write(std::string_view(scratch_));
  }
}

void TResultFile::WriteQuoted(std::u16string_view field) { WriteQuotedAfter("\"", field); }

void TResultFile::WriteQuotedSafe(std::u16string_view field) {
  const bool formula = !field.empty() && (field.front() == u'=' || field.front() == u'+' ||
                                          field.front() == u'-' || field.front() == u'@');
  WriteQuotedAfter(formula ? "\"'" : "\"", field);
}

void TResultFile::WriteQuotedAfter(std::string_view opening, std::u16string_view field) {
  scratch_.assign(opening);
  for (std::size_t start = 0;;) {
    const std::size_t q = field.find(u'"', start);
    AppendUtf16ToUtf8(scratch_,
                      field.substr(start, q == std::u16string_view::npos ? q : q - start + 1));
    if (q == std::u16string_view::npos) break;
    scratch_ += '"';
    start = q + 1;
  }
  scratch_ += '"';
  Write(std::string_view(scratch_));
}

void TResultFile::WriteQuoted(std::string_view utf8Field) {
  Write(std::string_view("\"", 1));
  for (std::size_t start = 0;;) {
    const std::size_t q = utf8Field.find('"', start);
    Write(utf8Field.substr(start, q == std::string_view::npos ? q : q - start + 1));
    if (q == std::string_view::npos) break;
    Write(std::string_view("\"", 1));
    start = q + 1;
  }
  Write(std::string_view("\"", 1));
}

void TResultFile::WriteLarge(std::string_view utf8) {
  Flush();
  if (utf8.size() < kMaxReserve) {
    std::memcpy(buffer_.get(), utf8.data(), utf8.size());
    used_ = utf8.size();
    return;
  }
  file_.Write(utf8);
}

void TResultFile::Flush() {
  if (used_ == 0) return;
  const std::size_t used = used_;
  used_ = 0;
  file_.Write(buffer_.get(), used);
}

void TResultFile::Finish() {
  Flush();
  file_.Finish();
}

void TResultFile::Commit() {
  Flush();
  file_.Commit();
}

std::filesystem::path TResultFile::Release() {
  Flush();
  return file_.Release();
}

}  // namespace tavora
