#pragma once

// The Hill's sums of a moving window for orders Q above kPlainHillsQ, where the plain
// running sum of the engine fails: (k/L)^Q underflows to 0 (at Q = 1000 already for
// k/L = 1/2), and a running sum whose largest term leaves keeps only rounding noise.
// Each sum is kept as a mantissa M times e^scale, the scale being the logarithm of the
// largest term, so that M lies between 1 and the number of types. M is updated term by
// term with a bound on its rounding error; when the bound passes 2^-40 of M (the largest
// term left and the rest was rescaled up, or many steps added up), M is summed afresh
// from the terms, largest first, down to the first that no longer counts.
//
// Basic sum: the sum of (c/L)^Q over the window's types, kept through the number of
// types with each count c (a type's term depends only on its count).
// Cross sum: the sum of exp(key) over the window's types, where the engine gives each
// type's key (the logarithm of its term, NaN when the term is undefined).

#include <cstdint>
#include <set>
#include <vector>

namespace tavora {

// Mantissa * e^Scale.
struct TScaledSum {
  double Mantissa = 0;
  double Scale = 0;
};

class THillsWindow {
 public:
  // The sum of exp(key) over keys, its scale the largest key; NaN when a key is NaN.
  [[nodiscard]] static TScaledSum SumOfExp(const std::vector<double>& keys);

  THillsWindow(std::uint32_t lagLength, double q);

  // Starts from a full first window, given its types' counts.
  void StartBasic(const std::vector<std::int32_t>& counts);
  // One type's count went from ce - 1 to ce, another's from cx + 1 to cx.
  void ShiftBasic(std::int32_t ce, std::int32_t cx);
  [[nodiscard]] double BasicMantissa() const { return basicM_; }
  [[nodiscard]] double BasicScale() const { return kmax_ == 0 ? 0 : logTerm_[kmax_]; }

  // Empties the cross sum. ids: every type id moved since the last ClearCross (the others hold
  // no key), so that clearing costs the types of a text, not all ids ever seen.
  void ClearCross(const std::vector<std::uint32_t>& ids);
  // Type id's key becomes key (kAbsent when it left the window, NaN when undefined).
  void MoveCross(std::uint32_t id, double key);
  // Settles the scale after the moves of one window step.
  void FinishCross();
  // NaN while a type of undefined term is in the window.
  [[nodiscard]] double CrossMantissa() const;
  [[nodiscard]] double CrossScale() const { return crossMax_; }

  static constexpr double kAbsent = -1e308;

 private:
  [[nodiscard]] double BasicTerm(std::int32_t k) const;
  void RecountBasic();
  void RecountCross();

  double q_;
  std::vector<double> logTerm_;           // Q ln(k/L), k = 1..L
  std::vector<std::uint32_t> withCount_;  // the number of types with each count k
  std::int32_t kmax_ = 0;                 // the largest count in the window
  double basicM_ = 0;
  double basicNoise_ = 0;  // a bound on the rounding error of basicM_

  std::multiset<double> keys_;  // the keys of the window's types of defined term
  std::vector<double> keyOf_;   // by type id; kAbsent when the type is not in the window
  std::size_t undefined_ = 0;   // window types whose key is NaN
  double crossM_ = 0;
  double crossMax_ = 0;    // the scale: the largest key when the window was last settled
  double crossNoise_ = 0;  // a bound on the rounding error of crossM_
};

}  // namespace tavora
