#pragma once

// The measure vocabulary shared by the whole system: which token field is
// measured, the basic and secondary measures with their captions and digits,
// their sets, and the two result records.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/NumberFormat.h"

namespace tavora {

enum class tWordOrLemma : std::uint8_t { tokWord, tokLemma };

enum class tMeasure : std::uint8_t {
  vTokens,
  vTypes,
  vHapax,
  vPerplexity,
  vRRR,
  vHillsContinuum,
  vCrossTypes,
  vCrossPerplexity,
  vCrossRRR,
  vCrossHillsContinuum,
  vLength,
  vDifference,
  vAutosemantics,
};

enum class tMeasureSecondary : std::uint8_t {
  vTTR,
  vLogTTR,
  vRootTTR,
  vEntropy,
  vCrossEntropy,
  vRelativeEntropy,
  vRepeatRate,
  vCrossRepeatRate,
  vLogLogTTR,
  vLogLogLogTTR,
  vRelativePerplexity,
  vRelativeTypes,
  vLogTypes,
  vLogRelativeTypes,
  vRenyiEntropy,
  vRenyiCrossEntropy,
  vRenyiRelativeEntropy,
};

inline constexpr std::size_t kWordOrLemmaCount = 2;
inline constexpr std::size_t kMeasureCount = 13;
inline constexpr std::size_t kMeasureSecondaryCount = 17;

// A set of enumeration values as a bit mask, bit i for ordinal i.
// Iteration yields the members in ordinal order, lowest first.
template <typename E, std::size_t N, typename TMask>
class EnumSet {
  static_assert(N <= sizeof(TMask) * 8, "mask too narrow");

 public:
  using MaskType = TMask;
  static constexpr TMask kAll = N == sizeof(TMask) * 8 ? static_cast<TMask>(~TMask{0})
                                                       : static_cast<TMask>((TMask{1} << N) - 1);

  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> members) {
    for (E e : members) Include(e);
  }
  // Bits beyond the N ordinals are dropped.
  static constexpr EnumSet FromMask(TMask mask) {
    EnumSet s;
    s.mask_ = static_cast<TMask>(mask & kAll);
    return s;
  }
  static constexpr EnumSet All() { return FromMask(kAll); }

  [[nodiscard]] constexpr TMask Mask() const { return mask_; }
  [[nodiscard]] constexpr bool Contains(E e) const {
    return (mask_ >> static_cast<unsigned>(e)) & 1u;
  }
  [[nodiscard]] constexpr bool Empty() const { return mask_ == 0; }
  [[nodiscard]] constexpr std::size_t Count() const {
    std::size_t n = 0;
    for (TMask m = mask_; m != 0; m &= static_cast<TMask>(m - 1)) ++n;
    return n;
  }
  constexpr EnumSet& Include(E e) {
    mask_ = static_cast<TMask>(mask_ | Bit(e));
    return *this;
  }
  constexpr EnumSet& Exclude(E e) {
    mask_ = static_cast<TMask>(mask_ & ~Bit(e));
    return *this;
  }

  friend constexpr EnumSet operator|(EnumSet a, EnumSet b) {
    return FromMask(static_cast<TMask>(a.mask_ | b.mask_));
  }
  friend constexpr EnumSet operator&(EnumSet a, EnumSet b) {
    return FromMask(static_cast<TMask>(a.mask_ & b.mask_));
  }
  friend constexpr EnumSet operator-(EnumSet a, EnumSet b) {
    return FromMask(static_cast<TMask>(a.mask_ & ~b.mask_));
  }
  friend constexpr bool operator==(EnumSet, EnumSet) = default;

  class iterator {
   public:
    using value_type = E;
    using difference_type = std::ptrdiff_t;
    constexpr iterator() = default;
    constexpr explicit iterator(TMask rest) : rest_(rest) {}
    constexpr E operator*() const { return static_cast<E>(Lowest(rest_)); }
    constexpr iterator& operator++() {
      rest_ &= static_cast<TMask>(rest_ - 1);
      return *this;
    }
    constexpr iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    friend constexpr bool operator==(iterator, iterator) = default;

   private:
    TMask rest_ = 0;
  };
  [[nodiscard]] constexpr iterator begin() const { return iterator(mask_); }
  [[nodiscard]] constexpr iterator end() const { return iterator(0); }

 private:
  static constexpr TMask Bit(E e) {
    return static_cast<TMask>(TMask{1} << static_cast<unsigned>(e));
  }
  static constexpr unsigned Lowest(TMask m) { return static_cast<unsigned>(std::countr_zero(m)); }
  TMask mask_ = 0;
};

using TWordOrLemmaSet = EnumSet<tWordOrLemma, kWordOrLemmaCount, std::uint8_t>;
using TMeasureSet = EnumSet<tMeasure, kMeasureCount, std::uint16_t>;
using tMeasureSecondarySet = EnumSet<tMeasureSecondary, kMeasureSecondaryCount, std::uint32_t>;

// A fixed array of values indexed by an enumeration.
template <typename E, std::size_t N>
struct EnumArray : std::array<double, N> {
  using std::array<double, N>::operator[];
  constexpr double& operator[](E e) {
    return std::array<double, N>::operator[](static_cast<std::size_t>(e));
  }
  constexpr const double& operator[](E e) const {
    return std::array<double, N>::operator[](static_cast<std::size_t>(e));
  }
};
using TMeasureValues = EnumArray<tMeasure, kMeasureCount>;
using TMeasureSecondaryValues = EnumArray<tMeasureSecondary, kMeasureSecondaryCount>;

// Captions used in result-file headers (UTF-16).
[[nodiscard]] std::u16string_view MeasureCaption(tMeasure m);
[[nodiscard]] std::u16string_view MeasureSecondaryCaption(tMeasureSecondary m);
// Names on the command line (-m) and in the results database ("tokens", "log-ttr").
[[nodiscard]] std::string_view MeasureName(tMeasure m);
[[nodiscard]] std::string_view MeasureSecondaryName(tMeasureSecondary m);
// Digits after the decimal point when a value is written.
[[nodiscard]] int MeasurePositionDigits(tMeasure m);
[[nodiscard]] int MeasureAverageDigits(tMeasure m);
[[nodiscard]] int MeasureSecondaryDigits(tMeasureSecondary m);

// Hill's orders Q that the engine accepts: from 0 to kMaxHillsQ. Up to kPlainHillsQ the
// Hill's sums are stored as they are; above it a sum such as (1/2)^1000 would underflow
// to 0, so it is stored as a mantissa times e^scale (TPositionResults::HillsScale).
inline constexpr double kMaxHillsQ = 1000000;
inline constexpr double kPlainHillsQ = 10;
[[nodiscard]] constexpr bool IsAcceptedHillsQ(double Q) { return Q >= 0 && Q <= kMaxHillsQ; }
[[nodiscard]] constexpr bool IsScaledHillsQ(double Q) { return Q > kPlainHillsQ; }
// The basic measures an engine maintains for the requested ones: those the requested
// secondary measures read, and the stand-ins of Hill's orders 0 and 1.
[[nodiscard]] TMeasureSet WidenMeasureSet(TMeasureSet Measures, tMeasureSecondarySet Secondary,
                                          double Q);
// "Hill's Q must be a number from 0 to 1000000, not <Q>."
[[nodiscard]] std::string HillsQRangeMessage(double Q);

// The values of one window position or of one whole text.
struct TPositionResults {
  TMeasureValues Measures{};  // stored values; unmaintained measures hold 0
  std::uint64_t NumberOfTokens = 0;
  double Q = 0;  // Hill's order the stored sums were made with
  // Natural logarithms of the factors by which the stored Hill's sums are multiplied:
  // the sum of p^Q is Measures[vHillsContinuum] * e^HillsScale, and the cross sum
  // likewise. 0 for the orders up to kPlainHillsQ.
  double HillsScale = 0;
  double CrossHillsScale = 0;

  void Reset() { *this = TPositionResults{}; }

  // The reported value: Hill's numbers for the two continua, else the stored one.
  [[nodiscard]] double BasicMetrics(tMeasure WhichMetric) const;
  [[nodiscard]] double SecondaryMetrics(tMeasureSecondary WhichMetric) const;
  // SecondaryMetrics of every member of Set into Values, with shared logarithms taken
  // once; the other entries of Values are left as they are.
  void SecondaryMetricsOf(tMeasureSecondarySet Set, TMeasureSecondaryValues& Values) const;
  [[nodiscard]] std::u16string BasicMetricsToString(tMeasure WhichMetric) const;
  [[nodiscard]] std::u16string SecondaryMetricsToString(tMeasureSecondary WhichMetric) const;
  // One row: for each member, sep + uv + value + uv; starts with sep.
  [[nodiscard]] std::u16string AllToLine(std::u16string_view sep, std::u16string_view uv,
                                         TMeasureSet SetOfMeasures,
                                         tMeasureSecondarySet SetOfMeasuresSecondary) const;
  // The same row appended to out (no allocation once out has capacity); with
  // TPrecision::Full every value in its shortest exact form instead of its digits.
  void AppendToLine(std::u16string& out, std::u16string_view sep, std::u16string_view uv,
                    TMeasureSet SetOfMeasures, tMeasureSecondarySet SetOfMeasuresSecondary,
                    TPrecision Precision = TPrecision::Fixed) const;

  [[nodiscard]] double HillsContinuum() const;
  [[nodiscard]] double CrossHillsContinuum() const;
  [[nodiscard]] double Entropy() const;  // log2 of the perplexity
  [[nodiscard]] std::int64_t NumberOfTypes() const;
  [[nodiscard]] std::int64_t NumberofHapax() const;

  friend bool operator==(const TPositionResults&, const TPositionResults&) = default;
};

// Running sums over the window positions of one text.
struct TAverages {
  std::uint64_t NumberOfWindowsInText = 0;  // also the 1-based id of the latest
  std::uint64_t NumberOfTokens = 0;         // maintained by the engine
  TMeasureValues Measures{};
  TMeasureSecondaryValues MeasuresSecondary{};

  void Reset() { *this = TAverages{}; }

  // Adds one window position: its reported basic and its secondary values.
  void Add(const TPositionResults& a, TMeasureSet SetOfMeasures,
           tMeasureSecondarySet SetOfMeasuresSecondary);
  // Means over the added positions; NaN when none was added (a text shorter than the
  // window has no average, and 0 would pass for a measurement).
  [[nodiscard]] double BasicMetrics(tMeasure WhichMetric) const;
  [[nodiscard]] double SecondaryMetrics(tMeasureSecondary WhichMetric) const;
  [[nodiscard]] std::u16string BasicMetricsToString(tMeasure WhichMetric) const;
  [[nodiscard]] std::u16string SecondaryMetricsToString(tMeasureSecondary WhichMetric) const;
  [[nodiscard]] std::u16string AllToLine(std::u16string_view sep, std::u16string_view uv,
                                         TMeasureSet SetOfMeasures,
                                         tMeasureSecondarySet SetOfMeasuresSecondary) const;
  void AppendToLine(std::u16string& out, std::u16string_view sep, std::u16string_view uv,
                    TMeasureSet SetOfMeasures, tMeasureSecondarySet SetOfMeasuresSecondary,
                    TPrecision Precision = TPrecision::Fixed) const;

  friend bool operator==(const TAverages&, const TAverages&) = default;
};

}  // namespace tavora
