#include "input/TTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/TAtomicFile.h"
#include "base/Trim.h"
#include "base/Utf8.h"

namespace tavora {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr std::size_t kReadBlock = 1 << 16;
constexpr std::size_t kWriteBlock = 1 << 16;

// UTF-8 text of a cell for messages, shortened when long.
std::string MessageText(std::u16string_view in, std::size_t limit = 80) {
  std::string out;
  const bool cut = in.size() > limit;
  AppendUtf16ToUtf8(out, cut ? in.substr(0, limit) : in);
  if (cut) out += "...";
  return out;
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

// Decodes bytes of one encoding into UTF-16 and cuts them into lines at CR, LF or CR LF. A line
// break at the very end does not start another line. Invalid input throws std::runtime_error
// naming the file, the line and the byte offset.
class TLineDecoder {
 public:
  TLineDecoder(TTableEncoding encoding, const std::filesystem::path& name)
      : encoding_(encoding), name_(name) {}

  // Decodes what it can of [p, p + n) and returns the number of bytes consumed; the rest (the
  // start of a character cut by the end of the block) is to be fed again with the bytes that
  // follow it.
  template <class OnLine>
  std::size_t Feed(const unsigned char* p, std::size_t n, OnLine&& onLine) {
    std::size_t consumed = 0;
    if (encoding_ == TTableEncoding::teUTF8) {
      units_.resize(n);
      const TUtf8Decoded d = DecodeUtf8(p, n, units_.data(), false, TOnInvalid::Stop);
      for (std::size_t i = 0; i < d.Produced; ++i) Unit(units_[i], onLine);
      if (d.Invalid != TUtf8Decoded::kNone) Fail("is not valid UTF-8", offset_ + d.Invalid);
      consumed = d.Consumed;
    } else {
      const bool little = encoding_ == TTableEncoding::teUTF16LE;
      for (; consumed + 2 <= n; consumed += 2) {
        const unsigned a = p[consumed];
        const unsigned b = p[consumed + 1];
        Unit(static_cast<char16_t>(little ? a | (b << 8) : (a << 8) | b), onLine);
      }
    }
    offset_ += consumed;
    return consumed;
  }

  // Ends the input; `left` bytes were not consumed by the last Feed.
  template <class OnLine>
  void Finish(std::size_t left, OnLine&& onLine) {
    if (left != 0) {
      Fail(encoding_ == TTableEncoding::teUTF8 ? "ends inside a UTF-8 sequence"
                                               : "ends inside a UTF-16 code unit",
           offset_ + left);
    }
    if (lineOpen_) onLine(std::u16string_view(line_));
    line_.clear();
    lineOpen_ = false;
  }

 private:
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

  [[noreturn]] void Fail(const char* problem, std::uint64_t offset) const {
    throw std::runtime_error("Cannot read the table " + QuotedPath(name_) + ": line " +
                             std::to_string(lineNumber_) + " " + problem + " (byte offset " +
                             std::to_string(offset) + ")");
  }

  TTableEncoding encoding_;
  const std::filesystem::path& name_;
  std::u16string line_;
  std::vector<char16_t> units_;  // one block decoded, reused
  bool lineOpen_ = false;
  bool afterCR_ = false;
  bool atStart_ = true;
  std::uint64_t lineNumber_ = 1;
  std::uint64_t offset_ = 0;  // bytes consumed before the current block
};

// Appends text in the encoding; an unpaired surrogate cannot be written as UTF-8 and makes this
// return false.
bool AppendEncoded(std::string& out, std::u16string_view text, TTableEncoding encoding) {
  switch (encoding) {
    case TTableEncoding::teUTF8:
      return AppendUtf16ToUtf8(out, text, TOnInvalid::Stop);
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
  text = TrimBlanks(text);
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
    throw std::runtime_error("Cannot open the table " + QuotedPath(Name) + ": it is a folder");
  }
  std::ifstream in(Name, std::ios::binary);
  if (!in) {
    const bool exists = std::filesystem::exists(Name, ec);
    throw std::runtime_error("Cannot open the table " + QuotedPath(Name) +
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
  std::size_t left = 0;  // bytes of a character cut by the end of a block, kept at the front
  if (!Streamed) {
    const auto size = std::filesystem::file_size(Name, ec);
    if (!ec && size < std::numeric_limits<std::size_t>::max() / 2)
      block.reserve(static_cast<std::size_t>(size));
    block.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
      throw std::runtime_error("Cannot read the table " + QuotedPath(Name) + ": read error");
    left = block.size() -
           decoder.Feed(reinterpret_cast<const unsigned char*>(block.data()), block.size(), onLine);
  } else {
    block.resize(kReadBlock + 4);
    while (in) {
      in.read(block.data() + left, static_cast<std::streamsize>(kReadBlock));
      const auto got = static_cast<std::size_t>(in.gcount());
      if (in.bad())
        throw std::runtime_error("Cannot read the table " + QuotedPath(Name) + ": read error");
      const std::size_t total = left + got;
      const std::size_t consumed =
          decoder.Feed(reinterpret_cast<const unsigned char*>(block.data()), total, onLine);
      left = total - consumed;
      std::memmove(block.data(), block.data() + consumed, left);
    }
  }
  decoder.Finish(left, onLine);
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
  TAtomicFile file(Name, "the table");
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
    file.Write(buffer);
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
      file.Fail("row " + std::to_string(r) +
                " holds an unpaired UTF-16 surrogate, which UTF-8 cannot represent");
    }
    if (buffer.size() >= kWriteBlock) flush();
  }
  flush();
  file.Commit();
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
