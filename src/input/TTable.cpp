#include "input/TTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <system_error>

#include "engine/Utf8.h"

namespace tavora {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr std::size_t kReadBlock = 1 << 16;
constexpr std::size_t kWriteBlock = 1 << 16;

// Appends UTF-16 text as UTF-8. An unpaired surrogate becomes U+FFFD when
// Lenient, and otherwise makes this return false.
bool AppendUtf16AsUtf8(std::string& out, std::u16string_view in, bool Lenient) {
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      if (cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
      } else if (Lenient) {
        cp = kReplacement;
      } else {
        return false;
      }
    }
    AppendCodePointUtf8(out, cp);
  }
  return true;
}

// UTF-8 text of a cell for messages, shortened when long.
std::string MessageText(std::u16string_view in, std::size_t limit = 80) {
  std::string out;
  const bool cut = in.size() > limit;
  AppendUtf16AsUtf8(out, cut ? in.substr(0, limit) : in, true);
  if (cut) out += "...";
  return out;
}

std::string FileLabel(const std::filesystem::path& name) {
  const std::u8string u8 = name.u8string();
  return "\"" + std::string(u8.begin(), u8.end()) + "\"";
}

// Splits one line into cells; an empty line leaves the row unchanged.
void ParseInto(TArrayOfStrings& row, std::u16string_view content, char16_t separator) {
  if (content.empty()) return;
  row.assign(1, std::u16string());
  std::size_t start = 0;
  for (std::size_t pos; (pos = content.find(separator, start)) != std::u16string_view::npos;
       start = pos + 1) {
    row.back().assign(content.substr(start, pos - start));
    row.emplace_back();
  }
  row.back().assign(content.substr(start));
}

// Decodes bytes of one encoding into UTF-16 and cuts them into lines at CR,
// LF or CR LF. A line break at the very end does not start another line.
// Invalid input throws std::runtime_error naming the file and the line.
class TLineDecoder {
 public:
  TLineDecoder(TTableEncoding encoding, const std::filesystem::path& name)
      : encoding_(encoding), name_(name) {}

  template <class OnLine>
  void Feed(const unsigned char* p, std::size_t n, OnLine&& onLine) {
    for (std::size_t i = 0; i < n; ++i, ++offset_) {
      const unsigned char b = p[i];
      switch (encoding_) {
        case TTableEncoding::teUTF8:
          FeedUtf8(b, onLine);
          break;
        case TTableEncoding::teUTF16LE:
        case TTableEncoding::teUTF16BE:
          if (!haveHalf_) {
            half_ = b;
            haveHalf_ = true;
          } else {
            haveHalf_ = false;
            const auto unit = encoding_ == TTableEncoding::teUTF16LE
                                  ? static_cast<char16_t>(half_ | (b << 8))
                                  : static_cast<char16_t>((half_ << 8) | b);
            Unit(unit, onLine);
          }
          break;
      }
    }
  }

  template <class OnLine>
  void Finish(OnLine&& onLine) {
    if (need_ != 0) Fail("ends inside a UTF-8 sequence");
    if (haveHalf_) Fail("ends inside a UTF-16 code unit");
    if (lineOpen_) onLine(std::u16string_view(line_));
    line_.clear();
    lineOpen_ = false;
  }

 private:
  template <class OnLine>
  void FeedUtf8(unsigned char b, OnLine& onLine) {
    if (need_ == 0) {
      if (b < 0x80) {
        Unit(b, onLine);
        return;
      }
      lo_ = 0x80;
      hi_ = 0xBF;
      if (b >= 0xC2 && b <= 0xDF) {
        need_ = 1;
        cp_ = b & 0x1F;
      } else if (b >= 0xE0 && b <= 0xEF) {
        need_ = 2;
        cp_ = b & 0x0F;
        if (b == 0xE0) lo_ = 0xA0;  // no overlong forms
        if (b == 0xED) hi_ = 0x9F;  // no surrogates
      } else if (b >= 0xF0 && b <= 0xF4) {
        need_ = 3;
        cp_ = b & 0x07;
        if (b == 0xF0) lo_ = 0x90;
        if (b == 0xF4) hi_ = 0x8F;  // nothing past U+10FFFF
      } else {
        Fail("is not valid UTF-8");
      }
      return;
    }
    if (b < lo_ || b > hi_) Fail("is not valid UTF-8");
    lo_ = 0x80;
    hi_ = 0xBF;
    cp_ = (cp_ << 6) | (b & 0x3F);
    if (--need_ != 0) return;
    if (cp_ < 0x10000) {
      Unit(static_cast<char16_t>(cp_), onLine);
    } else {
      Unit(static_cast<char16_t>(0xD800 + ((cp_ - 0x10000) >> 10)), onLine);
      Unit(static_cast<char16_t>(0xDC00 + ((cp_ - 0x10000) & 0x3FF)), onLine);
    }
  }

  template <class OnLine>
  void Unit(char16_t c, OnLine& onLine) {
    const bool first = atStart_;
    atStart_ = false;
    if (first && c == kByteOrderMark) return;
    if (c == u'\n' && afterCR_) {
      afterCR_ = false;
      return;
    }
    afterCR_ = c == u'\r';
    if (c == u'\r' || c == u'\n') {
      onLine(std::u16string_view(line_));
      line_.clear();
      lineOpen_ = false;
      ++lineNumber_;
      return;
    }
    line_.push_back(c);
    lineOpen_ = true;
  }

  [[noreturn]] void Fail(const char* problem) const {
    throw std::runtime_error("Cannot read the table " + FileLabel(name_) + ": line " +
                             std::to_string(lineNumber_) + " " + problem + " (byte offset " +
                             std::to_string(offset_) + ")");
  }

  TTableEncoding encoding_;
  const std::filesystem::path& name_;
  std::u16string line_;
  bool lineOpen_ = false;
  bool afterCR_ = false;
  bool atStart_ = true;
  std::uint64_t lineNumber_ = 1;
  std::uint64_t offset_ = 0;
  // UTF-8 state: continuation bytes still needed, their allowed range, the code point so far.
  int need_ = 0;
  unsigned char lo_ = 0x80;
  unsigned char hi_ = 0xBF;
  char32_t cp_ = 0;
  // UTF-16 state: the first byte of a code unit.
  bool haveHalf_ = false;
  unsigned char half_ = 0;
};

// Appends text in the encoding; an unpaired surrogate cannot be written as
// UTF-8 and makes this return false.
bool AppendEncoded(std::string& out, std::u16string_view text, TTableEncoding encoding) {
  switch (encoding) {
    case TTableEncoding::teUTF8:
      return AppendUtf16AsUtf8(out, text, false);
    case TTableEncoding::teUTF16LE:
      for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
      }
      return true;
    case TTableEncoding::teUTF16BE:
      for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
      }
      return true;
  }
  return true;
}

// Reads a number with "." as the decimal separator: optional blanks, sign,
// digits, fraction and exponent. Infinities and NaN are not numbers here.
bool ReadDouble(std::u16string_view text, double& value) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  if (text.empty() || text.size() > 400) return false;
  std::string narrow;
  for (char16_t c : text) {
    const bool allowed =
        (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-';
    if (!allowed) return false;
    narrow.push_back(static_cast<char>(c));
  }
  std::string_view s = narrow;
  if (s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return false;
  const auto res =
      std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// Reads an optionally signed decimal integer within 32 bits.
bool ReadInt32(std::u16string_view text, std::int32_t& value) {
  if (text.empty() || text.size() > 16) return false;
  std::string narrow;
  for (char16_t c : text) {
    if (c > 0x7F) return false;
    narrow.push_back(static_cast<char>(c));
  }
  std::string_view s = narrow;
  if (s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return false;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// Removes the temporary file unless the write was committed.
class TTempFile {
 public:
  explicit TTempFile(std::filesystem::path path) : path_(std::move(path)) {}
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  ~TTempFile() {
    if (!committed_) {
      std::error_code ec;
      std::filesystem::remove(path_, ec);
    }
  }
  const std::filesystem::path& path() const { return path_; }
  void Commit() { committed_ = true; }

 private:
  std::filesystem::path path_;
  bool committed_ = false;
};

}  // namespace

TTable::TTable(char16_t Separator) : Separator(Separator) {}

TTable::TTable(TTableEncoding Encoding, char16_t Separator)
    : Separator(Separator), Encoding(Encoding) {}

const std::u16string& TTable::GetA(std::uint64_t Row, std::uint64_t Col) const {
  if (Row >= aa.size() || Col >= aa[Row].size()) {
    throw std::out_of_range("The table has no cell at row " + std::to_string(Row) + ", column " +
                            std::to_string(Col));
  }
  return aa[Row][Col];
}

void TTable::SetA(std::uint64_t Row, std::uint64_t Col, std::u16string Value) {
  if (Row >= aa.size() || Col >= aa[Row].size()) {
    throw std::out_of_range("The table has no cell at row " + std::to_string(Row) + ", column " +
                            std::to_string(Col));
  }
  aa[Row][Col] = std::move(Value);
}

const TArrayOfStrings& TTable::GetRow(std::uint64_t Idx) const {
  if (Idx >= aa.size()) throw std::out_of_range("The table has no row " + std::to_string(Idx));
  return aa[Idx];
}

void TTable::SetRow(std::uint64_t Idx, TArrayOfStrings Value) {
  if (Idx >= aa.size()) throw std::out_of_range("The table has no row " + std::to_string(Idx));
  aa[Idx] = std::move(Value);
}

void TTable::Col(std::uint64_t Index, std::vector<std::u16string>& Str) const {
  Str.clear();
  for (const TArrayOfStrings& row : aa) {
    if (Index < row.size()) Str.push_back(row[Index]);
  }
}

void TTable::EnsureRow(std::uint64_t Index) {
  if (Index >= aa.max_size())
    throw std::length_error("Row number " + std::to_string(Index) + " is too large");
  if (Index >= aa.size()) aa.resize(static_cast<std::size_t>(Index) + 1);
}

void TTable::ParseRow(std::uint64_t Index, std::u16string_view Content) {
  EnsureRow(Index);
  ParseInto(aa[Index], Content, Separator);
}

void TTable::AddCellToRow(std::uint64_t Index, std::u16string_view Content) {
  EnsureRow(Index);
  aa[Index].emplace_back(Content);
}

void TTable::AddRow(std::uint64_t LengthOfRow) {
  aa.emplace_back(static_cast<std::size_t>(LengthOfRow));
}

void TTable::LoadFromStrings(const std::vector<std::u16string>& Str) {
  std::vector<TArrayOfStrings> rows(Str.size());
  for (std::size_t i = 0; i < Str.size(); ++i) ParseInto(rows[i], Str[i], Separator);
  aa = std::move(rows);
}

void TTable::LoadFromFile(const std::filesystem::path& Name) { LoadLines(Name, false); }

void TTable::LoadFromLargeFile(const std::filesystem::path& Name) { LoadLines(Name, true); }

void TTable::LoadLines(const std::filesystem::path& Name, bool Streamed) {
  std::error_code ec;
  if (std::filesystem::is_directory(Name, ec)) {
    throw std::runtime_error("Cannot open the table " + FileLabel(Name) + ": it is a folder");
  }
  std::ifstream in(Name, std::ios::binary);
  if (!in) {
    const bool exists = std::filesystem::exists(Name, ec);
    throw std::runtime_error("Cannot open the table " + FileLabel(Name) +
                             (exists ? ": the file cannot be read" : ": the file does not exist"));
  }
  // Rows are collected aside so that a failure leaves the table unchanged.
  std::vector<TArrayOfStrings> rows;
  auto onLine = [&](std::u16string_view line) {
    rows.emplace_back();
    ParseInto(rows.back(), line, Separator);
  };
  TLineDecoder decoder(Encoding, Name);
  std::string block;
  if (!Streamed) {
    const auto size = std::filesystem::file_size(Name, ec);
    if (!ec && size < std::numeric_limits<std::size_t>::max() / 2)
      block.reserve(static_cast<std::size_t>(size));
    block.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
      throw std::runtime_error("Cannot read the table " + FileLabel(Name) + ": read error");
    decoder.Feed(reinterpret_cast<const unsigned char*>(block.data()), block.size(), onLine);
  } else {
    block.resize(kReadBlock);
    while (in) {
      in.read(block.data(), static_cast<std::streamsize>(block.size()));
      const auto got = static_cast<std::size_t>(in.gcount());
      if (in.bad())
        throw std::runtime_error("Cannot read the table " + FileLabel(Name) + ": read error");
      decoder.Feed(reinterpret_cast<const unsigned char*>(block.data()), got, onLine);
    }
  }
  decoder.Finish(onLine);
  aa = std::move(rows);
}

void TTable::SaveToFile(const std::filesystem::path& Name, std::int64_t RowCount) const {
  WriteLines(Name, RowCount, {}, false);
}

void TTable::SaveToCSVFile(const std::filesystem::path& Name, std::u16string_view Separator,
                           std::int64_t RowCount) const {
  WriteLines(Name, RowCount, Separator, true);
}

void TTable::WriteLines(const std::filesystem::path& Name, std::int64_t RowCount,
                        std::u16string_view CsvSeparator, bool Csv) const {
  std::uint64_t rowsToWrite = aa.size();
  if (RowCount >= 0 && static_cast<std::uint64_t>(RowCount) < rowsToWrite) {
    rowsToWrite = static_cast<std::uint64_t>(RowCount);
  }
  auto fail = [&](const std::string& problem) -> void {
    throw std::runtime_error("Cannot write the table " + FileLabel(Name) + ": " + problem);
  };
  std::filesystem::path tempName = Name;
  tempName += ".tavora-part";
  TTempFile temp(tempName);
  std::ofstream out(temp.path(), std::ios::binary | std::ios::trunc);
  if (!out) fail("the file cannot be created");

  std::string buffer;
  buffer.reserve(kWriteBlock + 1024);
  switch (Encoding) {
    case TTableEncoding::teUTF8:
      buffer = "\xEF\xBB\xBF";
      break;
    case TTableEncoding::teUTF16LE:
      buffer = "\xFF\xFE";
      break;
    case TTableEncoding::teUTF16BE:
      buffer = "\xFE\xFF";
      break;
  }
  auto flush = [&] {
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (!out) fail("writing failed (is the disk full?)");
    buffer.clear();
  };
  std::u16string line;
  for (std::uint64_t r = 0; r < rowsToWrite; ++r) {
    line.clear();
    if (Csv) {
      const TArrayOfStrings& row = aa[r];
      for (std::size_t c = 0; c < row.size(); ++c) {
        if (c != 0) line.append(CsvSeparator);
        line.push_back(u'"');
        for (char16_t ch : row[c]) {
          if (ch == u'"') line.push_back(u'"');
          line.push_back(ch);
        }
        line.push_back(u'"');
      }
    } else {
      line = RowToText(r);
    }
    line.append(u"\r\n");
    if (!AppendEncoded(buffer, line, Encoding)) {
      fail("row " + std::to_string(r) +
           " holds an unpaired UTF-16 surrogate, which UTF-8 cannot represent");
    }
    if (buffer.size() >= kWriteBlock) flush();
  }
  flush();
  out.close();
  if (!out) fail("writing failed (is the disk full?)");
  std::error_code ec;
  std::filesystem::rename(temp.path(), Name, ec);
  if (ec) fail(ec.message());
  temp.Commit();
}

std::u16string TTable::RowToText(std::uint64_t Index) const {
  std::u16string text;
  if (Index >= aa.size()) return text;
  const TArrayOfStrings& row = aa[Index];
  for (std::size_t c = 0; c < row.size(); ++c) {
    if (c != 0) text.push_back(Separator);
    text.append(row[c]);
  }
  return text;
}

std::u16string TTable::RowToVertical(std::uint64_t Index) const {
  std::u16string text;
  if (Index >= aa.size()) return text;
  const TArrayOfStrings& row = aa[Index];
  for (std::size_t c = 0; c < row.size(); ++c) {
    if (c != 0) text.append(u"\r\n");
    text.append(row[c]);
  }
  return text;
}

void TTable::Sort(std::uint64_t Index) {
  std::vector<double> keys(aa.size());
  for (std::size_t r = 0; r < aa.size(); ++r) {
    if (Index >= aa[r].size()) {
      throw std::invalid_argument("Cannot sort the table by column " + std::to_string(Index) +
                                  ": row " + std::to_string(r) + " has no such cell");
    }
    if (!ReadDouble(aa[r][Index], keys[r])) {
      throw std::invalid_argument("Cannot sort the table by column " + std::to_string(Index) +
                                  ": row " + std::to_string(r) + " holds '" +
                                  MessageText(aa[r][Index]) +
                                  "', which is not a valid floating point value");
    }
  }
  std::vector<std::size_t> order(aa.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<TArrayOfStrings> sorted;
  sorted.reserve(aa.size());
  for (std::size_t r : order) sorted.push_back(std::move(aa[r]));
  aa = std::move(sorted);
}

std::int64_t TTable::SumColInt(std::uint64_t Index) const {
  std::int64_t sum = 0;
  for (const TArrayOfStrings& row : aa) {
    std::int32_t value = 0;
    if (Index < row.size() && ReadInt32(row[Index], value)) sum += value;
  }
  return sum;
}

const TRowIndexList& TTable::GetIndex(std::uint64_t Column, const std::u16string& Key) {
  auto [it, created] = Indices.try_emplace(Column);
  TColumnIndex& index = it->second;
  if (created) {
    try {
      for (std::size_t r = 0; r < aa.size(); ++r) {
        if (Column < aa[r].size()) index[aa[r][Column]].push_back(r);
      }
    } catch (...) {
      Indices.erase(it);  // no half-built index
      throw;
    }
  }
  const auto found = index.find(Key);
  return found == index.end() ? EmptyArrayOfRowIndex : found->second;
}

}  // namespace tavora
