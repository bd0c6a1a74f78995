#pragma once

// The edit-distance side of the moving window: keeps vDifference, the mean relative edit
// distance between two tokens of the window, up to date as one token enters the window and one
// leaves it. A shift compares the entering and the leaving token with every token of the
// window; a type repeated in the window is compared once per shift (the per-shift memo), and for
// windows of at most kMaxTableWindow tokens every distance is computed once, when the newer of
// its two tokens enters, and read again from a table when the older one leaves.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/TEditDistance.h"
#include "engine/TPairWork.h"
#include "engine/TTypeIndex.h"

namespace tavora {

class TDifferenceWindow {
 public:
  static constexpr std::uint32_t kMaxTableWindow = 1024;

  // lagLength: the window length L (at least 1). types: the engine's type index, borrowed for
  // this object's life; type ids index it and the per-type memo.
  TDifferenceWindow(std::uint32_t lagLength, const TTypeIndex& types);
  TDifferenceWindow(const TDifferenceWindow&) = delete;
  TDifferenceWindow& operator=(const TDifferenceWindow&) = delete;

  // The mean relative edit distance over every ordered pair of a text's n types: the sum of
  // p(a) p(b) d(a, b) with Text(i) the i-th type and Share(i) its share p of the text. Rows
  // of pairs are shared out to Threads threads (a few hundred types are compared on one) and
  // summed in order, so the value does not depend on the number of threads; Progress hears
  // the pairs compared (TPairWork::Rows).
  template <typename TText, typename TShare>
  static double OfText(std::size_t n, const TText& Text, const TShare& Share, unsigned Threads,
                       const TPairWork::TProgress& Progress, std::chrono::milliseconds Every) {
    const std::vector<double> rows = TPairWork::Rows<TEditDistance>(
        n, n > 256 ? Threads : 1,
        [&](std::size_t i, TEditDistance& distance) {
          distance.SetPattern(Text(i));
          double row = 0;
          for (std::size_t j = i + 1; j < n; ++j) row += Share(j) * distance.RelativeTo(Text(j));
          return row;
        },
        Progress, Every);
    // d is symmetric and d(a, a) = 0: each unordered pair counts twice.
    double value = 0;
    for (std::size_t i = 0; i < n; ++i) value += 2 * Share(i) * rows[i];
    return value;
  }

  // Starts a new text: the type index has been emptied, and the table no longer holds the
  // window's distances.
  void Clear();

  // Updates `value` (vDifference of the window before the shift) for a shift in which type e
  // entered at ring slot eSlot and type x left from ring slot xSlot. ring: the engine's window
  // of type ids (L + 1 slots), whose L tokens from slot head on are the window after the shift,
  // the entering one last.
  void Shift(double& value, std::span<const std::uint32_t> ring, std::size_t head, std::uint32_t e,
             std::uint32_t x, std::size_t eSlot, std::size_t xSlot);

 private:
  void ShiftByMemo(double& value, std::span<const std::uint32_t> ring, std::size_t head,
                   std::uint32_t e, std::uint32_t x);
  void ShiftByTable(double& value, std::span<const std::uint32_t> ring, std::size_t head,
                    std::uint32_t e, std::uint32_t x, std::size_t eSlot, std::size_t xSlot);
  // Distances from e to the types of the window's older tokens (and to x) into memoEntering_.
  void MemoDistancesFromEntering(std::span<const std::uint32_t> ring, std::size_t head,
                                 std::uint32_t e, std::uint32_t x);
  void FillTable(std::span<const std::uint32_t> ring, std::size_t firstSlot);
  std::uint32_t NextStamp();

  std::uint32_t lagLength_;
  const TTypeIndex& types_;

  // Distances from the leaving and the entering type.
  TEditDistance leavingDistance_;
  TEditDistance enteringDistance_;
  // Per-type distances of the current shift, by type id: memoStamp_[id] == stamp_ marks the
  // values as current. Grown as the type index grows.
  std::vector<std::uint32_t> memoStamp_;
  std::vector<double> memoLeaving_;
  std::vector<double> memoEntering_;
  std::uint32_t stamp_ = 0;
  // The types whose distances a table shift computes, their texts and values (sized once: at
  // most the window's tokens plus the leaving one).
  std::vector<std::uint32_t> pendingTypes_;
  std::vector<std::u16string_view> pendingTexts_;
  std::vector<double> pendingValues_;
  // For windows of at most kMaxTableWindow tokens: the distance of every pair of window tokens,
  // by ring slots, [older * (L + 1) + newer]. Filled for the whole window at a text's first
  // shift.
  std::vector<double> distances_;
  bool distancesValid_ = false;
};

}  // namespace tavora
