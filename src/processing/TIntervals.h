#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

// Counts how often the values of one measure fall into intervals of width
// 1/granularity. Interval i stands for the value i/granularity; a value x
// falls into round(x * granularity), ties going to the even neighbour.
//
// Storage is dense: one 64-bit counter for every interval between -1 and the
// lowest index reached, and between 0 and the highest. Values that are not
// finite, or whose index lies outside the signed 32-bit range, are left out
// and only counted in GetOmittedCount().
class TIntervals {
 public:
  explicit TIntervals(std::uint32_t Granularity);

  // Empties both arrays; the granularity stays.
  void Clear();

  // Adds Kolik to the counter of the interval of Co.
  void PridejKDistribuci(double Co, std::uint64_t Kolik = 1);

  // Appends two lines to OutputList: the interval labels and the counts, each
  // item followed by sep. An empty distribution gives two empty lines.
  void GetOutput(std::vector<std::u16string>& OutputList, std::u16string_view sep) const;
  void GetOutput(std::vector<std::string>& OutputList, std::string_view sep) const;

  // Append one line (without a line end) to Line.
  void AppendLabelLine(std::string& Line, std::string_view sep) const;
  void AppendCountLine(std::string& Line, std::string_view sep) const;

  // Writes the label line and the count line, each followed by LineEnd,
  // through a small buffer, so that very wide distributions need no
  // intermediate line in memory.
  void WriteOutput(std::ostream& Out, std::string_view sep, std::string_view LineEnd) const;

  [[nodiscard]] std::uint32_t GetGranularity() const { return aGranularity; }
  [[nodiscard]] bool IsEmpty() const {
    return NovaDistribuce.empty() && NovaDistribuceZaporna.empty();
  }
  // Lowest and highest index covered by the arrays (0 and -1 when empty).
  [[nodiscard]] std::int64_t GetLowestIndex() const;
  [[nodiscard]] std::int64_t GetHighestIndex() const;
  // Counter of interval Index; 0 outside the arrays.
  [[nodiscard]] std::uint64_t GetCount(std::int64_t Index) const;
  // Total weight of the values left out since creation or the last Clear.
  [[nodiscard]] std::uint64_t GetOmittedCount() const { return omitted_; }

  // The interval index of Value at granularity Granularity; false when the
  // value is not finite or the index does not fit in 32 bits.
  static bool IntervalIndex(double Value, std::uint32_t Granularity, std::int32_t& Index);
  // Appends the label of interval Index (Index / granularity in its shortest
  // general form, "." as decimal separator).
  void AppendLabel(std::string& Out, std::int64_t Index) const;

 private:
  template <class Sink>
  void EmitLine(Sink& sink, std::string_view sep, bool labels) const;

  std::uint32_t aGranularity;
  std::vector<std::uint64_t> NovaDistribuce;         // element i: index i
  std::vector<std::uint64_t> NovaDistribuceZaporna;  // element k: index -(k+1)
  std::uint64_t omitted_ = 0;
  std::uint64_t decimalScale_ = 0;  // 10^decimals_ when the granularity is 1, 10, ..., 10000
  int decimals_ = 0;
};

}  // namespace tavora
