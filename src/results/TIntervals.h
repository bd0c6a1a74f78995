#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavora {

class TResultFile;

// Counts how often the values of one measure fall into intervals of width
// 1/granularity. Interval i stands for the value i/granularity; a value x
// falls into round(x * granularity), ties going to the even neighbour.
//
// The distribution is dense: it covers every interval from -1 down to the
// lowest index reached and from 0 up to the highest, and the output lists all
// of them. Storage is sparse: pages of 64 counters, only around the indexes
// actually reached (the others are 0), so a document whose values lie far from
// 0 or far apart costs neither memory nor time for the intervals between.
// Values that are not finite, or whose index lies outside the signed 32-bit
// range, are left out and only counted in GetOmittedCount().
//
// A distribution spans at most kMaxRange intervals: a value that would widen it
// further throws std::runtime_error naming the distribution (SetName) and the
// range, since its output would be lines of hundreds of megabytes per document.
//
// Not safe to use from two threads at once, not even through const methods:
// the texts of the interval labels are cached on first output.
class TIntervals {
 public:
  static constexpr std::int64_t kMaxRange = 10'000'000;

  explicit TIntervals(std::uint32_t Granularity);
  ~TIntervals();
  TIntervals(TIntervals&&) noexcept;
  TIntervals& operator=(TIntervals&&) noexcept;

  // Empties the distribution; the granularity stays.
  void Clear();

  // Adds Kolik to the counter of the interval of Co.
  void PridejKDistribuci(double Co, std::uint64_t Kolik = 1) {
    std::int32_t index = 0;
    if (!IntervalIndex(Co, aGranularity, index)) {
      omitted_ += Kolik;
      return;
    }
    if (index < lo_ || index > hi_) Reach(index);
    const std::int64_t page = index >> kPageBits;  // rounds down, negative indexes too
    if (page != lastPage_) SelectPage(page);
    counts_[lastBase_ + static_cast<std::size_t>(index & (kPageSize - 1))] += Kolik;
  }

  // What the range error calls the distribution, e.g. "Cross Types" of the word forms.
  void SetName(std::string Name) { name_ = std::move(Name); }

  // Adds every counter of Other (of the same granularity) to this distribution,
  // as if each value added to Other had been added here too.
  void Add(const TIntervals& Other);

  // Appends two lines to OutputList: the interval labels and the counts, each
  // item followed by sep. An empty distribution gives two empty lines.
  void GetOutput(std::vector<std::u16string>& OutputList, std::u16string_view sep) const;
  void GetOutput(std::vector<std::string>& OutputList, std::string_view sep) const;

  // Append one line (without a line end) to Line.
  void AppendLabelLine(std::string& Line, std::string_view sep) const;
  void AppendCountLine(std::string& Line, std::string_view sep) const;

  // Writes the label line and the count line, each followed by LineEnd.
  void WriteOutput(std::ostream& Out, std::string_view sep, std::string_view LineEnd) const;
  // The same into a result file, with the separator "," and CR LF line ends.
  void WriteOutput(TResultFile& Out) const;

  // Lets this distribution use the label texts cached by Other (of the same
  // granularity), so that distributions written side by side build them once.
  void ShareLabels(TIntervals& Other);

  [[nodiscard]] std::uint32_t GetGranularity() const { return aGranularity; }
  [[nodiscard]] bool IsEmpty() const { return lo_ > hi_; }
  // Lowest and highest index covered (0 and -1 when empty).
  [[nodiscard]] std::int64_t GetLowestIndex() const { return !IsEmpty() && lo_ < 0 ? lo_ : 0; }
  [[nodiscard]] std::int64_t GetHighestIndex() const { return !IsEmpty() && hi_ >= 0 ? hi_ : -1; }
  // Counter of interval Index; 0 outside the distribution.
  [[nodiscard]] std::uint64_t GetCount(std::int64_t Index) const;
  // Calls Visit(index, count) for every interval whose count is not 0, in ascending order.
  void ForEachCount(const std::function<void(std::int64_t, std::uint64_t)>& Visit) const;
  // Total weight of the values left out since creation or the last Clear.
  [[nodiscard]] std::uint64_t GetOmittedCount() const { return omitted_; }

  // The interval index of Value at granularity Granularity; false when the
  // value is not finite or the index does not fit in 32 bits.
  static bool IntervalIndex(double Value, std::uint32_t Granularity, std::int32_t& Index);
  // Appends the label of interval Index (Index / granularity in its shortest
  // general form, "." as decimal separator).
  void AppendLabel(std::string& Out, std::int64_t Index) const;

  class TLabelCache;

 private:
  template <class Sink>
  void EmitLabels(Sink& sink, std::string_view sep) const;
  template <class Sink>
  void EmitCounts(Sink& sink, std::string_view sep) const;
  static constexpr int kPageBits = 6;
  static constexpr std::int64_t kPageSize = std::int64_t{1} << kPageBits;

  // Widens the reached range [lo_, hi_] to Index; throws when it would pass kMaxRange.
  void Reach(std::int64_t Index);
  // Makes page the current one, adding it when new.
  void SelectPage(std::int64_t page);
  // Calls visit(index, count) for every used counter, in ascending order of index.
  template <class Visit>
  void ForEachUsed(Visit&& visit) const;
  TLabelCache& Labels() const;

  std::uint32_t aGranularity;
  // Pages of kPageSize counters back to back; page p (indexes p * kPageSize onwards)
  // starts at counts_[pageStart_[p]]. lastPage_ is the page last added to.
  std::vector<std::uint64_t> counts_;
  std::unordered_map<std::int64_t, std::size_t> pageStart_;
  std::int64_t lastPage_ = std::numeric_limits<std::int64_t>::min();
  std::size_t lastBase_ = 0;
  std::string name_;
  // Lowest and highest index reached; lo_ > hi_ while empty.
  std::int64_t lo_ = 1;
  std::int64_t hi_ = 0;
  std::uint64_t omitted_ = 0;
  mutable std::shared_ptr<TLabelCache> labels_;  // label texts with ",", built on demand
};

inline bool TIntervals::IntervalIndex(double Value, std::uint32_t Granularity,
                                      std::int32_t& Index) {
  const double scaled = Value * static_cast<double>(Granularity);
  // Also false for NaN and the infinities.
  if (!(scaled > -2147483649.0 && scaled < 2147483648.0)) return false;
  // Round half to even independently of the floating-point rounding mode.
  // Truncation toward zero then a step down for negative fractions gives floor.
  auto floor = static_cast<std::int64_t>(scaled);
  if (static_cast<double>(floor) > scaled) --floor;
  const double frac = scaled - static_cast<double>(floor);  // exact
  if (frac > 0.5 || (frac == 0.5 && (floor & 1) != 0)) ++floor;
  if (floor < INT32_MIN || floor > INT32_MAX) return false;
  Index = static_cast<std::int32_t>(floor);
  return true;
}

}  // namespace tavora
