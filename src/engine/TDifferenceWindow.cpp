#include "engine/TDifferenceWindow.h"

#include <algorithm>

namespace tavora {

TDifferenceWindow::TDifferenceWindow(std::uint32_t lagLength, const TTypeIndex& types)
    : lagLength_(lagLength), types_(types) {
  if (lagLength <= kMaxTableWindow) {
    pendingTypes_.resize(lagLength + 1);
    pendingTexts_.resize(lagLength + 1);
    pendingValues_.resize(lagLength + 1);
  }
}

void TDifferenceWindow::Clear() {
  memoStamp_.clear();
  memoLeaving_.clear();
  memoEntering_.clear();
  stamp_ = 0;
  distancesValid_ = false;
}

std::uint32_t TDifferenceWindow::NextStamp() {
  if (++stamp_ == 0) {
    std::fill(memoStamp_.begin(), memoStamp_.end(), 0u);
    stamp_ = 1;
  }
  return stamp_;
}

void TDifferenceWindow::Shift(double& value, std::span<const std::uint32_t> ring, std::size_t head,
                              std::uint32_t e, std::uint32_t x, std::size_t eSlot,
                              std::size_t xSlot) {
  const std::size_t typeCount = types_.Size();
  if (memoStamp_.size() < typeCount) {
    memoStamp_.resize(typeCount, 0);
    memoLeaving_.resize(typeCount);
    memoEntering_.resize(typeCount);
  }
  // The table needs the entering token's distances even when e == x.
  if (lagLength_ <= kMaxTableWindow) {
    ShiftByTable(value, ring, head, e, x, eSlot, xSlot);
  } else if (e != x) {
    ShiftByMemo(value, ring, head, e, x);
  }
}

void TDifferenceWindow::ShiftByMemo(double& value, std::span<const std::uint32_t> ring,
                                    std::size_t head, std::uint32_t e, std::uint32_t x) {
  // The window already holds the entering token and no longer the leaving one.
  const std::u16string_view strE = types_.Text(e);
  const std::u16string_view strX = types_.Text(x);
  leavingDistance_.SetPattern(strX);
  enteringDistance_.SetPattern(strE);
  const std::uint32_t stamp = NextStamp();
  double P = 0;
  double G = 0;
  const std::size_t capacity = ring.size();
  std::size_t slot = head;
  for (std::size_t i = 0; i < lagLength_; ++i) {
    const std::uint32_t w = ring[slot];
    if (++slot == capacity) slot = 0;
    if (memoStamp_[w] != stamp) {
      memoStamp_[w] = stamp;
      const std::u16string_view strW = types_.Text(w);
      memoLeaving_[w] = w != x ? leavingDistance_.RelativeTo(strW) : 0.0;
      memoEntering_[w] = w != e ? enteringDistance_.RelativeTo(strW) : 0.0;
    }
    P += memoLeaving_[w];
    G += memoEntering_[w];
  }
  const double L = lagLength_;
  const double Rm = P - leavingDistance_.RelativeTo(strE);
  value = value - 2 * Rm / L / L;
  value = value + 2 * G / L / L;
}

void TDifferenceWindow::FillTable(std::span<const std::uint32_t> ring, std::size_t firstSlot) {
  // The L tokens from firstSlot on: every pair, older row, newer column.
  const std::size_t capacity = ring.size();
  if (distances_.empty()) distances_.resize(capacity * capacity);
  for (std::size_t i = 0, si = firstSlot; i < lagLength_; ++i) {
    const std::uint32_t a = ring[si];
    double* row = &distances_[si * capacity];
    if (++si == capacity) si = 0;
    enteringDistance_.SetPattern(types_.Text(a));
    const std::uint32_t stamp = NextStamp();
    for (std::size_t j = i + 1, sj = si; j < lagLength_; ++j) {
      const std::uint32_t b = ring[sj];
      if (memoStamp_[b] != stamp) {
        memoStamp_[b] = stamp;
        memoEntering_[b] = b != a ? enteringDistance_.RelativeTo(types_.Text(b)) : 0.0;
      }
      row[sj] = memoEntering_[b];
      if (++sj == capacity) sj = 0;
    }
  }
  distancesValid_ = true;
}

void TDifferenceWindow::MemoDistancesFromEntering(std::span<const std::uint32_t> ring,
                                                  std::size_t head, std::uint32_t e,
                                                  std::uint32_t x) {
  enteringDistance_.SetPattern(types_.Text(e));
  const std::uint32_t stamp = NextStamp();
  // The distinct types of the older tokens, and the leaving type, are gathered first so that
  // their distances from e are computed in one batch.
  std::size_t pending = 0;
  auto gather = [&](std::uint32_t w) {
    if (memoStamp_[w] == stamp) return;
    memoStamp_[w] = stamp;
    if (w == e) {
      memoEntering_[w] = 0.0;
    } else {
      pendingTypes_[pending] = w;
      pendingTexts_[pending++] = types_.Text(w);
    }
  };
  const std::size_t capacity = ring.size();
  for (std::size_t i = 0, slot = head; i + 1 < lagLength_; ++i) {
    gather(ring[slot]);
    if (++slot == capacity) slot = 0;
  }
  gather(x);
  enteringDistance_.RelativeToMany(pendingTexts_.data(), pending, pendingValues_.data());
  for (std::size_t k = 0; k < pending; ++k) memoEntering_[pendingTypes_[k]] = pendingValues_[k];
}

void TDifferenceWindow::ShiftByTable(double& value, std::span<const std::uint32_t> ring,
                                     std::size_t head, std::uint32_t e, std::uint32_t x,
                                     std::size_t eSlot, std::size_t xSlot) {
  // The window (from head, L tokens) ends with the entering token at eSlot; the leaving token,
  // older than all of them, sat at xSlot.
  const std::size_t capacity = ring.size();
  if (!distancesValid_) FillTable(ring, xSlot);
  const double* fromX = &distances_[xSlot * capacity];
  double* toE = &distances_[eSlot];
  const std::size_t older = lagLength_ - 1;
  if (e == x) {
    // Same text as the leaving token: the same distances, and no change.
    for (std::size_t i = 0, slot = head; i < older; ++i) {
      toE[slot * capacity] = fromX[slot];
      if (++slot == capacity) slot = 0;
    }
    return;
  }
  MemoDistancesFromEntering(ring, head, e, x);
  double P = 0;
  double G = 0;
  for (std::size_t i = 0, slot = head; i < older; ++i) {
    const double d = memoEntering_[ring[slot]];
    toE[slot * capacity] = d;
    P += fromX[slot];
    G += d;
    if (++slot == capacity) slot = 0;
  }
  // The entering token itself: d(x, e) on the leaving side, d(e, e) = 0.
  const double dXE = memoEntering_[x];
  P += dXE;
  G += 0.0;
  const double L = lagLength_;
  const double Rm = P - dXE;
  value = value - 2 * Rm / L / L;
  value = value + 2 * G / L / L;
}

}  // namespace tavora
