#include "engine/THillsWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavora {

namespace {

// Each addition leaves a rounding error of up to an ulp of the larger operand, and when the
// largest term leaves, the scale comes down and the errors grow with what is left. A
// mantissa whose error bound passes this share of it is summed afresh.
constexpr double kNoiseRatio = 0x1p-40;
constexpr double kUlp = 0x1p-52;
// e^-746 is 0 in double: terms this far below the largest add nothing.
constexpr double kNegligible = -746;

}  // namespace

THillsWindow::THillsWindow(std::uint32_t lagLength, double q)
    : q_(q), logTerm_(lagLength + std::size_t{1}, 0), withCount_(lagLength + std::size_t{1}, 0) {
  const double L = lagLength;
  for (std::uint32_t k = 1; k <= lagLength; ++k) logTerm_[k] = q * std::log(k / L);
}

double THillsWindow::BasicTerm(std::int32_t k) const {
  return k == 0 ? 0 : std::exp(logTerm_[static_cast<std::size_t>(k)] - logTerm_[kmax_]);
}

void THillsWindow::StartBasic(const std::vector<std::int32_t>& counts) {
  std::fill(withCount_.begin(), withCount_.end(), 0);
  kmax_ = 0;
  for (const std::int32_t c : counts) {
    ++withCount_[static_cast<std::size_t>(c)];
    kmax_ = std::max(kmax_, c);
  }
  RecountBasic();
}

void THillsWindow::RecountBasic() {
  basicM_ = 0;
  basicNoise_ = 0;
  for (std::int32_t k = kmax_; k >= 1; --k) {
    const double d = logTerm_[static_cast<std::size_t>(k)] - logTerm_[kmax_];
    if (d < kNegligible) break;  // the terms only get smaller
    basicM_ += withCount_[static_cast<std::size_t>(k)] * std::exp(d);
  }
  basicNoise_ = kmax_ * kUlp * basicM_;
}

void THillsWindow::ShiftBasic(std::int32_t ce, std::int32_t cx) {
  const auto e = static_cast<std::size_t>(ce);
  const auto x = static_cast<std::size_t>(cx);
  if (ce > 1) --withCount_[e - 1];
  ++withCount_[e];
  --withCount_[x + 1];
  if (cx > 0) ++withCount_[x];
  if (ce > kmax_) {
    const double down = std::exp(logTerm_[kmax_] - logTerm_[e]);
    basicM_ *= down;
    basicNoise_ *= down;
    kmax_ = ce;
  }
  const double removed = std::max(BasicTerm(ce - 1), BasicTerm(cx + 1));
  basicM_ += BasicTerm(ce) - BasicTerm(ce - 1) + BasicTerm(cx) - BasicTerm(cx + 1);
  basicNoise_ += 4 * kUlp * std::max(basicM_, removed);
  if (withCount_[kmax_] == 0) {
    // The only type with the largest count left it: the scale comes down one count.
    const double up = std::exp(logTerm_[static_cast<std::size_t>(kmax_)] - logTerm_[kmax_ - 1]);
    --kmax_;
    basicM_ *= up;
    basicNoise_ *= up;
  }
  if (basicNoise_ > basicM_ * kNoiseRatio) RecountBasic();
}

void THillsWindow::ClearCross(const std::vector<std::uint32_t>& ids) {
  keys_.clear();
  for (const std::uint32_t id : ids)
    if (id < keyOf_.size()) keyOf_[id] = kAbsent;
  undefined_ = 0;
  crossM_ = 0;
  crossMax_ = 0;
  crossNoise_ = 0;
}

void THillsWindow::MoveCross(std::uint32_t id, double key) {
  if (id >= keyOf_.size()) keyOf_.resize(id + std::size_t{1}, kAbsent);
  double& old = keyOf_[id];
  if (std::isnan(old)) {
    --undefined_;
  } else if (old != kAbsent) {
    keys_.erase(keys_.find(old));
    const double term = std::exp(old - crossMax_);
    crossM_ -= term;
    crossNoise_ += 2 * kUlp * std::max(crossM_, term);
    if (keys_.empty()) crossM_ = crossNoise_ = 0;
  }
  old = key;
  if (std::isnan(key)) {
    ++undefined_;
  } else if (key != kAbsent) {
    if (keys_.empty()) {
      crossMax_ = key;
    } else if (key > crossMax_) {
      crossM_ *= std::exp(crossMax_ - key);
      crossNoise_ *= std::exp(crossMax_ - key);
      crossMax_ = key;
    }
    keys_.insert(key);
    crossM_ += std::exp(key - crossMax_);
    crossNoise_ += 2 * kUlp * crossM_;
  }
}

void THillsWindow::FinishCross() {
  if (keys_.empty()) {
    crossM_ = crossMax_ = crossNoise_ = 0;
    return;
  }
  if (const double top = *keys_.rbegin(); top < crossMax_) {
    const double up = std::exp(crossMax_ - top);
    crossM_ *= up;
    crossNoise_ *= up;
    crossMax_ = top;
  }
  if (crossNoise_ > crossM_ * kNoiseRatio) RecountCross();
}

void THillsWindow::RecountCross() {
  crossMax_ = *keys_.rbegin();
  crossM_ = 0;
  for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) {
    const double d = *it - crossMax_;
    if (d < kNegligible) break;  // the keys only get smaller
    crossM_ += std::exp(d);
  }
  crossNoise_ = static_cast<double>(keys_.size()) * kUlp * crossM_;
}

TScaledSum THillsWindow::SumOfExp(const std::vector<double>& keys) {
  TScaledSum sum;
  if (keys.empty()) return sum;
  sum.Scale = *std::max_element(keys.begin(), keys.end());
  for (const double key : keys) {
    if (std::isnan(key)) return {std::numeric_limits<double>::quiet_NaN(), 0};
    sum.Mantissa += std::exp(key - sum.Scale);
  }
  return sum;
}

double THillsWindow::CrossMantissa() const {
  return undefined_ != 0 ? std::numeric_limits<double>::quiet_NaN() : crossM_;
}

}  // namespace tavora
