#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavora {

// One row of a table: its cells, 0 or more.
using TArrayOfStrings = std::vector<std::u16string>;
// Row numbers held by a lookup index, ascending.
using TRowIndexList = std::vector<std::uint64_t>;

// Text encodings a table reads and writes.
enum class TTableEncoding : std::uint8_t { teUTF8, teUTF16LE, teUTF16BE };

// An in-memory table of strings with ragged rows.
//
// Files hold one row per line (lines end at CR, LF or CR LF) with cells
// separated by one separator character, without quoting; a cell can hold
// neither the separator nor a line break. Files are written with a byte-order
// mark and CR LF line ends. Reading rejects text that is not valid in the
// table's encoding with an error naming the file and the line.
//
// Lookup indexes (GetIndex) are built on first use per column and are not
// updated by later changes, loads or Clear.
class TTable {
 public:
  // An empty tab-separated UTF-8 table; allocates nothing.
  TTable() = default;
  explicit TTable(char16_t Separator);
  TTable(TTableEncoding Encoding, char16_t Separator);

  // Removes all rows; the lookup indexes stay.
  void Clear() { aa.clear(); }
  [[nodiscard]] std::uint64_t Count() const { return aa.size(); }

  // One cell; throws std::out_of_range when the row or the cell does not exist.
  [[nodiscard]] const std::u16string& GetA(std::uint64_t Row, std::uint64_t Col) const;
  void SetA(std::uint64_t Row, std::uint64_t Col, std::u16string Value);
  // One whole row; throws std::out_of_range when the row does not exist.
  [[nodiscard]] const TArrayOfStrings& GetRow(std::uint64_t Idx) const;
  void SetRow(std::uint64_t Idx, TArrayOfStrings Value);

  // Empties Str and appends cell Index of every row that has it, in row order.
  void Col(std::uint64_t Index, std::vector<std::u16string>& Str) const;

  // Sets row Index from one line; rows up to Index are added when missing.
  // An empty line leaves the row unchanged; otherwise n separators give n + 1 cells.
  void ParseRow(std::uint64_t Index, std::u16string_view Content);
  // Appends one cell to row Index, adding empty rows up to it when missing.
  void AddCellToRow(std::uint64_t Index, std::u16string_view Content);
  // Appends a row of LengthOfRow empty cells.
  void AddRow(std::uint64_t LengthOfRow);

  // Replaces the rows with one parsed row per line.
  void LoadFromStrings(const std::vector<std::u16string>& Str);
  // Replace the rows with the lines of the file; a byte-order mark of the
  // table's encoding at its start is skipped. LoadFromFile reads the whole
  // file at once, LoadFromLargeFile streams it. On any error the table is
  // left unchanged.
  void LoadFromFile(const std::filesystem::path& Name);
  void LoadFromLargeFile(const std::filesystem::path& Name);

  // Write the first RowCount rows (all of them when RowCount is negative or
  // above Count()). The file is written under a temporary name and renamed
  // into place when complete, so it is either whole or untouched; failures
  // throw std::runtime_error naming the file.
  void SaveToFile(const std::filesystem::path& Name, std::int64_t RowCount = -1) const;
  // Every cell enclosed in double quotes, inner quotes doubled, joined by Separator.
  void SaveToCSVFile(const std::filesystem::path& Name, std::u16string_view Separator,
                     std::int64_t RowCount = -1) const;

  // The cells of a row joined by the separator, or by CR LF; empty text for
  // a row number not below Count().
  [[nodiscard]] std::u16string RowToText(std::uint64_t Index) const;
  [[nodiscard]] std::u16string RowToVertical(std::uint64_t Index) const;

  // Sorts the rows ascending by the number in cell Index ("." as decimal
  // separator); equal keys keep their order. Throws std::invalid_argument,
  // leaving the table unchanged, when a row lacks the cell or the cell is not
  // a number.
  void Sort(std::uint64_t Index);
  // Sum of the cells Index that read as 32-bit decimal integers; other cells
  // and rows without the cell add nothing.
  [[nodiscard]] std::int64_t SumColInt(std::uint64_t Index) const;

  // The ascending row numbers whose cell Column equals Key exactly. The list
  // belongs to the table and stays valid until the table is destroyed.
  [[nodiscard]] const TRowIndexList& GetIndex(std::uint64_t Column, const std::u16string& Key);

  [[nodiscard]] char16_t GetSeparator() const { return Separator; }
  [[nodiscard]] TTableEncoding GetEncoding() const { return Encoding; }

 private:
  using TColumnIndex = std::unordered_map<std::u16string, TRowIndexList>;

  void LoadLines(const std::filesystem::path& Name, bool Streamed);
  void EnsureRow(std::uint64_t Index);
  void WriteLines(const std::filesystem::path& Name, std::int64_t RowCount,
                  std::u16string_view CsvSeparator, bool Csv) const;

  std::vector<TArrayOfStrings> aa;
  // Column number -> index, built on first use.
  std::unordered_map<std::uint64_t, TColumnIndex> Indices;
  TRowIndexList EmptyArrayOfRowIndex;
  char16_t Separator = u'\t';
  TTableEncoding Encoding = TTableEncoding::teUTF8;
};

}  // namespace tavora
