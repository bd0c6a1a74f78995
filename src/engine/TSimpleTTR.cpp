#include "engine/TSimpleTTR.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <stdexcept>

#include "engine/Power.h"

namespace tavora {

namespace {

using enum tMeasure;

const TMeasureSet kCrossMeasures = {vCrossTypes, vCrossPerplexity, vCrossRRR, vCrossHillsContinuum};

TMeasureSet Widen(TMeasureSet m, tMeasureSecondarySet s, double q) {
  using S = tMeasureSecondary;
  if (s.Contains(S::vTTR) || s.Contains(S::vLogTTR) || s.Contains(S::vRootTTR))
    m.Include(vTokens).Include(vTypes);
  if (s.Contains(S::vEntropy)) m.Include(vPerplexity);
  if (s.Contains(S::vCrossEntropy)) m.Include(vCrossPerplexity);
  if (s.Contains(S::vRelativeEntropy)) m.Include(vPerplexity).Include(vCrossPerplexity);
  if (s.Contains(S::vRelativePerplexity)) m.Include(vPerplexity).Include(vCrossPerplexity);
  if (s.Contains(S::vRepeatRate)) m.Include(vRRR);
  if (s.Contains(S::vCrossRepeatRate)) m.Include(vCrossRRR);
  if (m.Contains(vHillsContinuum)) {
    if (q == 0) {
      m.Include(vTypes);
    } else if (q == 1) {
      m.Include(vPerplexity);
    }
  }
  if (m.Contains(vCrossHillsContinuum)) {
    if (q == 0) {
      m.Include(vCrossTypes);
    } else if (q == 1) {
      m.Include(vCrossPerplexity);
    }
  }
  return m;
}

// a * b / k as one division of exact integers, Inf for k = 0. While a * b and
// |k| stay within 2^53 both are exact doubles and the quotient is correctly
// rounded (ties to even), which covers windows of up to 10^6 tokens against
// lists of up to 9 * 10^9 tokens. Beyond that the product goes through long
// double, exact below 2^64 where it has a 64-bit mantissa (x86 GCC and Clang);
// where long double is double the operands are rounded once before dividing.
double IntegerRatio(std::uint64_t a, std::uint64_t b, std::int64_t k) {
  if (k == 0) return std::numeric_limits<double>::infinity();
  constexpr std::uint64_t kExact = std::uint64_t{1} << 53;
  const std::uint64_t magnitude =
      k < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(k) : static_cast<std::uint64_t>(k);
  if (magnitude <= kExact && (b == 0 || a <= kExact / b))
    return static_cast<double>(a * b) / static_cast<double>(k);
  return static_cast<double>(static_cast<long double>(a) * static_cast<long double>(b) /
                             static_cast<long double>(k));
}

}  // namespace

TSimpleTTR::TSimpleTTR(std::uint32_t LagLength, TMeasureSet Measures,
                       tMeasureSecondarySet MeasuresSecondary, double HillsQ,
                       bool RefCorpContainsText, double SmoothingConstant)
    : aLagLength(LagLength),
      aHillsQ(HillsQ),
      aMeasures(Widen(Measures, MeasuresSecondary, HillsQ)),
      aMeasuresSecondary(MeasuresSecondary),
      aRefCorpContainsText(RefCorpContainsText),
      aSmoothingConstant(SmoothingConstant),
      ownReference_(std::make_unique<TReferenceDictionary>()),
      reference_(ownReference_.get()) {
  if (LagLength == 0) throw std::invalid_argument("The window length must be at least 1.");
  aActual.Q = HillsQ;
  ExaminedText.resize(static_cast<std::size_t>(LagLength) + 1);
  IsAutosemanticQueue.resize(static_cast<std::size_t>(LagLength) + 1);

  // Every share in a full window is k / L.
  const double L = LagLength;
  perplexityFactor_.resize(LagLength + 1);
  hillTerm_.resize(LagLength + 1);
  for (std::uint32_t k = 0; k <= LagLength; ++k) {
    const double p = k / L;
    perplexityFactor_[k] = Power(p, -p);
    hillTerm_[k] = Power(p, HillsQ);
  }
  // A type absent from the window adds nothing to Hill's sum, whatever Q is
  // (the power rule's 0^0 = 1 would count it at Q = 0).
  hillTerm_[0] = 0;
  if (aMeasures.Contains(vDifference)) {
    leavingDistance_ = std::make_unique<TEditDistance>();
    enteringDistance_ = std::make_unique<TEditDistance>();
    if (LagLength <= kMaxTableWindow) {
      pendingTypes_.resize(LagLength + 1);
      pendingTexts_.resize(LagLength + 1);
      pendingValues_.resize(LagLength + 1);
    }
  }
}

TSimpleTTR::~TSimpleTTR() = default;

bool TSimpleTTR::HasUsableReference() const {
  return reference_ != nullptr && reference_->TotalTokens > 0;
}

void TSimpleTTR::SetReferenceDictionary(const TReferenceDictionary* Dictionary_) {
  if (Dictionary_ != ownReference_.get()) ownReference_.reset();
  reference_ = Dictionary_;
  for (std::uint32_t id = 0; id < Dictionary.Size(); ++id) LookUpReference(id, Dictionary.Text(id));
}

void TSimpleTTR::SetReferenceDictionary(std::unique_ptr<TReferenceDictionary> Dictionary_) {
  ownReference_ = std::move(Dictionary_);
  reference_ = ownReference_.get();
  for (std::uint32_t id = 0; id < Dictionary.Size(); ++id) LookUpReference(id, Dictionary.Text(id));
}

const TTypeInfo* TSimpleTTR::FindType(std::u16string_view Type) const {
  const std::uint32_t id = Dictionary.Find(Type);
  if (id == TTypeIndex::kAbsent) return nullptr;
  inspected_ = TTypeInfo{counts_[id].Count, referenceData_[id].TokLength,
                         counts_[id].CountInWholeText, referenceData_[id].CountInReference};
  return &inspected_;
}

void TSimpleTTR::LookUpReference(std::uint32_t id, std::u16string_view type) {
  TReferenceData& info = referenceData_[id];
  info = TReferenceData{};
  const TCount* listed = reference_ != nullptr ? reference_->Find(type) : nullptr;
  if (listed != nullptr) {
    info.CountInReference = listed->Count;
    info.TokLength = static_cast<std::int32_t>(listed->TokLength);
  } else {
    info.CountInReference = 0;
    info.TokLength = static_cast<std::int32_t>(type.size());
  }
  TReferenceData& cache = info;
  if (HasUsableReference() && !aRefCorpContainsText) {
    const double T = static_cast<double>(reference_->TotalTokens);
    const double V = static_cast<double>(reference_->Size());
    const double s = aSmoothingConstant;
    const double rhat = (static_cast<double>(info.CountInReference) + s) / (T + V * s);
    cache.invRhat = 1.0 / rhat;
    cache.rhatPowNegInvL = Power(rhat, -1.0 / aLagLength);
    cache.rhatPowQm1 = Power(rhat, aHillsQ - 1);
  }
}

std::uint32_t TSimpleTTR::Intern(std::u16string_view Token) {
  bool inserted = false;
  const std::uint32_t id = Dictionary.FindOrInsert(Token, inserted);
  if (!inserted) return id;
  counts_.emplace_back();
  referenceData_.emplace_back();
  if (aMeasures.Contains(vDifference)) {
    memoStamp_.push_back(0);
    memoLeaving_.push_back(0);
    memoEntering_.push_back(0);
  }
  LookUpReference(id, Token);
  return id;
}

void TSimpleTTR::DropCrossMeasuresWithoutReference() {
  // Without a list (or with one of no tokens) the cross measures have nothing
  // to compare with; they stay 0 for the engine's life.
  if (!HasUsableReference()) aMeasures = aMeasures - kCrossMeasures;
}

void TSimpleTTR::AddToken(std::u16string_view Token, bool IsAutosemantic) {
  if (Token.empty()) return;
  DropCrossMeasuresWithoutReference();
  ++aActual.NumberOfTokens;
  ++aTotal.NumberOfTokens;
  if (IsAutosemantic) ++AutosemanticsInWholeText;

  const std::uint32_t e = Intern(Token);
  const std::size_t capacity = ExaminedText.size();
  std::size_t tail = head_ + windowSize_;
  if (tail >= capacity) tail -= capacity;
  ExaminedText[tail] = e;
  IsAutosemanticQueue[tail] = IsAutosemantic ? 1 : 0;
  ++windowSize_;

  TCounts& entering = counts_[e];
  ++entering.Count;
  if (entering.CountInWholeText++ == 0) textTypes_.push_back(e);

  if (aTotal.NumberOfTokens == aLagLength) {
    aActual = WholeText();
    StartExactSums();
  }

  if (windowSize_ > aLagLength) {
    const std::size_t xSlot = head_;
    const std::uint32_t x = ExaminedText[xSlot];
    const bool leavingAuto = IsAutosemanticQueue[xSlot] != 0;
    if (++head_ == capacity) head_ = 0;
    --windowSize_;
    --counts_[x].Count;
    Shift(e, x, tail, xSlot, IsAutosemantic, leavingAuto);
  }

  if (windowSize_ == aLagLength) {
    try {
      aTotal.Add(aActual, aMeasures, aMeasuresSecondary);
    } catch (...) {
      std::cout << "problem with adding" << std::endl;
    }
  }
}

void TSimpleTTR::Clear() {
  if (aMeasures.Contains(vDifference)) {
    Dictionary.Clear();
    counts_.clear();
    referenceData_.clear();
    memoStamp_.clear();
    memoLeaving_.clear();
    memoEntering_.clear();
    stamp_ = 0;
  } else {
    for (std::uint32_t id : textTypes_) counts_[id] = TCounts{};
  }
  textTypes_.clear();
  head_ = 0;
  windowSize_ = 0;
  AutosemanticsInWholeText = 0;
  aActual.Reset();
  aTotal.Reset();
  squareSum_ = 0;
  lengthSum_ = 0;
  autosemanticsInWindow_ = 0;
  crossRefSum_ = 0;
  distancesValid_ = false;
}

std::int64_t TSimpleTTR::CrossReferenceSum() const {
  // The sum of ref' over the tokens since the last Clear.
  std::int64_t sum = 0;
  for (std::uint32_t id : textTypes_) {
    const std::int32_t c = counts_[id].CountInWholeText;
    const std::int64_t refPrime =
        referenceData_[id].CountInReference - (aRefCorpContainsText ? c : 0);
    sum += refPrime * c;
  }
  return sum;
}

void TSimpleTTR::StartExactSums() {
  // At the first window every token of the text is in it, so the window's
  // sums are the whole text's.
  squareSum_ = 0;
  lengthSum_ = 0;
  for (std::uint32_t id : textTypes_) {
    const std::int64_t c = counts_[id].CountInWholeText;
    squareSum_ += c * c;
    lengthSum_ += c * referenceData_[id].TokLength;
  }
  // A one-token window has S = 0 in the full computation; the shift keeps
  // that S (its change is 0 there), so later positions report 0.
  if (aLagLength <= 1) squareSum_ = 0;
  autosemanticsInWindow_ = static_cast<std::int64_t>(AutosemanticsInWholeText);
  crossRefSum_ = aMeasures.Contains(vCrossRRR) && HasUsableReference() ? CrossReferenceSum() : 0;
}

TPositionResults TSimpleTTR::WholeText() const {
  TPositionResults r;
  r.Q = aHillsQ;
  std::uint64_t tokens = 0;
  for (std::uint32_t id : textTypes_) tokens += counts_[id].CountInWholeText;
  r.NumberOfTokens = tokens;
  const double N = static_cast<double>(tokens);
  auto p = [&](std::uint32_t id) { return counts_[id].CountInWholeText / N; };

  TMeasureSet set = aMeasures;
  double T = 0, V = 0;
  const double s = aSmoothingConstant;
  if (HasUsableReference()) {
    T = static_cast<double>(reference_->TotalTokens);
    V = static_cast<double>(reference_->Size());
  } else {
    set = set - kCrossMeasures;
  }
  auto refPrime = [&](std::uint32_t id) {
    return static_cast<double>(referenceData_[id].CountInReference -
                               (aRefCorpContainsText ? counts_[id].CountInWholeText : 0));
  };
  auto rhat = [&](std::uint32_t id) { return (refPrime(id) + s) / (T + V * s); };

  for (tMeasure m : set) {
    double value = 0;
    switch (m) {
      case vTokens:
        value = N;
        break;
      case vTypes:
        value = static_cast<double>(textTypes_.size());
        break;
      case vHapax:
        for (std::uint32_t id : textTypes_)
          if (counts_[id].CountInWholeText == 1) value += 1;
        break;
      case vPerplexity:
        value = 1;
        for (std::uint32_t id : textTypes_) {
          const double pt = p(id);
          value *= Power(pt, -pt);
        }
        break;
      case vRRR: {
        // 1 / (sum of p^2) = N^2 / (sum of c^2); S = 0 for N <= 1.
        std::int64_t squares = 0;
        if (tokens > 1)
          for (std::uint32_t id : textTypes_) {
            const std::int64_t c = counts_[id].CountInWholeText;
            squares += c * c;
          }
        value = IntegerRatio(tokens, tokens, squares);
        break;
      }
      case vHillsContinuum:
        // At Q = 1 the sum of the shares is exactly 1; summing them would leave a rounding
        // residue that decides between NaN and an infinity in the Renyi measures.
        if (aHillsQ == 1) {
          value = tokens > 0 ? 1 : 0;
          break;
        }
        for (std::uint32_t id : textTypes_) value += Power(p(id), aHillsQ);
        break;
      case vCrossTypes:
        for (std::uint32_t id : textTypes_) value += p(id) * (T + V * s) / (refPrime(id) + s);
        break;
      case vCrossPerplexity:
        value = 1;
        for (std::uint32_t id : textTypes_) value *= Power(rhat(id), -p(id));
        break;
      case vCrossRRR:
        // 1 / (sum of p * r) = N * T / K with K the sum of ref' over the tokens.
        value = IntegerRatio(tokens, reference_->TotalTokens, CrossReferenceSum());
        break;
      case vCrossHillsContinuum:
        if (aHillsQ == 1) {  // r^0 = 1: the sum of the shares, exactly 1
          value = tokens > 0 ? 1 : 0;
          break;
        }
        for (std::uint32_t id : textTypes_) value += p(id) * Power(rhat(id), aHillsQ - 1);
        break;
      case vLength:
        if (tokens > 0) {
          std::int64_t sum = 0;
          for (std::uint32_t id : textTypes_)
            sum += std::int64_t{counts_[id].CountInWholeText} * referenceData_[id].TokLength;
          value = static_cast<double>(sum) / N;
        }
        break;
      case vDifference:
        if (tokens > 0) {
          // d is symmetric and d(a, a) = 0: each unordered pair counts twice.
          TEditDistance distance;
          for (std::size_t i = 0; i < textTypes_.size(); ++i) {
            const std::uint32_t a = textTypes_[i];
            distance.SetPattern(Dictionary.Text(a));
            double row = 0;
            for (std::size_t j = i + 1; j < textTypes_.size(); ++j) {
              const std::uint32_t b = textTypes_[j];
              row += p(b) * distance.RelativeTo(Dictionary.Text(b));
            }
            value += 2 * p(a) * row;
          }
        }
        break;
      case vAutosemantics:
        if (tokens > 0) value = static_cast<double>(AutosemanticsInWholeText) / N;
        break;
    }
    r.Measures[m] = value;
  }
  return r;
}

void TSimpleTTR::Shift(std::uint32_t e, std::uint32_t x, std::size_t eSlot, std::size_t xSlot,
                       bool enteringAuto, bool leavingAuto) {
  TMeasureValues& A = aActual.Measures;
  const double L = aLagLength;
  if (e != x) {
    const std::int32_t ce = counts_[e].Count;
    const std::int32_t cx = counts_[x].Count;
    if (aMeasures.Contains(vTypes)) {
      if (ce == 1) A[vTypes] += 1;
      if (cx == 0) A[vTypes] -= 1;
    }
    if (aMeasures.Contains(vHapax)) {
      if (ce == 1) A[vHapax] += 1;
      if (cx == 1) A[vHapax] += 1;
      if (cx == 0) A[vHapax] -= 1;
      if (ce == 2) A[vHapax] -= 1;
    }
    if (aMeasures.Contains(vPerplexity)) {
      // (0)^(-0) = 1: a type that was absent contributes the factor 1.
      A[vPerplexity] = A[vPerplexity] / perplexityFactor_[ce - 1] * perplexityFactor_[ce] /
                       perplexityFactor_[cx + 1] * perplexityFactor_[cx];
    }
    if (aMeasures.Contains(vRRR)) {
      // c -> c + 1 adds 2c + 1 to the sum of c^2; c + 1 -> c takes 2c + 1 off.
      squareSum_ += 2 * std::int64_t{ce} - 1 - (2 * std::int64_t{cx} + 1);
      A[vRRR] = squareSum_ != 0 ? IntegerRatio(aLagLength, aLagLength, squareSum_) : 0;
    }
    if (aMeasures.Contains(vHillsContinuum) && aHillsQ != 1) {  // exactly 1 at Q = 1
      A[vHillsContinuum] = A[vHillsContinuum] - hillTerm_[ce - 1] + hillTerm_[ce] -
                           hillTerm_[cx + 1] + hillTerm_[cx];
    }
    if (!(aMeasures & kCrossMeasures).Empty()) {
      // Present only with a list of T > 0 (dropped otherwise).
      const TReferenceData& de = referenceData_[e];
      const TReferenceData& dx = referenceData_[x];
      const double T = static_cast<double>(reference_->TotalTokens);
      const double V = static_cast<double>(reference_->Size());
      const double s = aSmoothingConstant;
      const std::int64_t refE = de.CountInReference - (aRefCorpContainsText ? ce : 0);
      const std::int64_t refX = dx.CountInReference - (aRefCorpContainsText ? cx + 1 : 0);
      double invRhatE, invRhatX, negInvLE, negInvLX, qm1E, qm1X;
      if (aRefCorpContainsText) {
        const double rhatE = (static_cast<double>(refE) + s) / (T + V * s);
        const double rhatX = (static_cast<double>(refX) + s) / (T + V * s);
        invRhatE = 1 / rhatE;
        invRhatX = 1 / rhatX;
        negInvLE = Power(rhatE, -1 / L);
        negInvLX = Power(rhatX, -1 / L);
        qm1E = Power(rhatE, aHillsQ - 1);
        qm1X = Power(rhatX, aHillsQ - 1);
      } else {
        invRhatE = de.invRhat;
        invRhatX = dx.invRhat;
        negInvLE = de.rhatPowNegInvL;
        negInvLX = dx.rhatPowNegInvL;
        qm1E = de.rhatPowQm1;
        qm1X = dx.rhatPowQm1;
      }
      if (aMeasures.Contains(vCrossTypes))
        A[vCrossTypes] = A[vCrossTypes] + (invRhatE - invRhatX) / L;
      if (aMeasures.Contains(vCrossPerplexity))
        A[vCrossPerplexity] = A[vCrossPerplexity] * negInvLE / negInvLX;
      if (aMeasures.Contains(vCrossRRR)) {
        // 1 / (sum of p * r) = L * T / K with K the exact sum of ref'.
        crossRefSum_ += refE - refX;
        A[vCrossRRR] = IntegerRatio(aLagLength, reference_->TotalTokens, crossRefSum_);
      }
      if (aMeasures.Contains(vCrossHillsContinuum)) {
        const double term = (qm1E - qm1X) / L;
        if (std::isfinite(term)) {
          A[vCrossHillsContinuum] += term;
        } else {
          std::cout << "vCrossHillsContinuum in troubles" << std::endl;
        }
      }
    }
    if (aMeasures.Contains(vLength)) {
      lengthSum_ += referenceData_[e].TokLength - referenceData_[x].TokLength;
      A[vLength] = static_cast<double>(lengthSum_) / L;
    }
  }
  if (aMeasures.Contains(vDifference)) {
    // The table needs the entering token's distances even when e == x.
    if (aLagLength <= kMaxTableWindow) {
      ShiftDifferenceByTable(e, x, eSlot, xSlot);
    } else if (e != x) {
      ShiftDifference(e, x);
    }
  }
  if (aMeasures.Contains(vAutosemantics)) {
    autosemanticsInWindow_ += static_cast<int>(enteringAuto) - static_cast<int>(leavingAuto);
    A[vAutosemantics] = static_cast<double>(autosemanticsInWindow_) / L;
  }
}

std::uint32_t TSimpleTTR::NextStamp() {
  if (++stamp_ == 0) {
    std::fill(memoStamp_.begin(), memoStamp_.end(), 0u);
    stamp_ = 1;
  }
  return stamp_;
}

void TSimpleTTR::ShiftDifference(std::uint32_t e, std::uint32_t x) {
  // The window already holds the entering token and no longer the leaving one.
  const std::u16string_view strE = Dictionary.Text(e);
  const std::u16string_view strX = Dictionary.Text(x);
  leavingDistance_->SetPattern(strX);
  enteringDistance_->SetPattern(strE);
  const std::uint32_t stamp = NextStamp();
  double P = 0;
  double G = 0;
  const std::size_t capacity = ExaminedText.size();
  std::size_t slot = head_;
  for (std::size_t i = 0; i < windowSize_; ++i) {
    const std::uint32_t w = ExaminedText[slot];
    if (++slot == capacity) slot = 0;
    if (memoStamp_[w] != stamp) {
      memoStamp_[w] = stamp;
      const std::u16string_view strW = Dictionary.Text(w);
      memoLeaving_[w] = w != x ? leavingDistance_->RelativeTo(strW) : 0.0;
      memoEntering_[w] = w != e ? enteringDistance_->RelativeTo(strW) : 0.0;
    }
    P += memoLeaving_[w];
    G += memoEntering_[w];
  }
  const double L = aLagLength;
  const double Rm = P - leavingDistance_->RelativeTo(strE);
  double& A = aActual.Measures[vDifference];
  A = A - 2 * Rm / L / L;
  A = A + 2 * G / L / L;
}

void TSimpleTTR::FillDistanceTable(std::size_t firstSlot) {
  // The L tokens from firstSlot on: every pair, older row, newer column.
  const std::size_t capacity = ExaminedText.size();
  if (distances_.empty()) distances_.resize(capacity * capacity);
  for (std::size_t i = 0, si = firstSlot; i < aLagLength; ++i) {
    const std::uint32_t a = ExaminedText[si];
    double* row = &distances_[si * capacity];
    if (++si == capacity) si = 0;
    enteringDistance_->SetPattern(Dictionary.Text(a));
    const std::uint32_t stamp = NextStamp();
    for (std::size_t j = i + 1, sj = si; j < aLagLength; ++j) {
      const std::uint32_t b = ExaminedText[sj];
      if (memoStamp_[b] != stamp) {
        memoStamp_[b] = stamp;
        memoEntering_[b] = b != a ? enteringDistance_->RelativeTo(Dictionary.Text(b)) : 0.0;
      }
      row[sj] = memoEntering_[b];
      if (++sj == capacity) sj = 0;
    }
  }
  distancesValid_ = true;
}

void TSimpleTTR::ShiftDifferenceByTable(std::uint32_t e, std::uint32_t x, std::size_t eSlot,
                                        std::size_t xSlot) {
  // The window (from head_, L tokens) ends with the entering token at eSlot;
  // the leaving token, older than all of them, sat at xSlot.
  const std::size_t capacity = ExaminedText.size();
  if (!distancesValid_) FillDistanceTable(xSlot);
  const double* fromX = &distances_[xSlot * capacity];
  double* toE = &distances_[eSlot];
  const std::size_t older = windowSize_ - 1;
  if (e == x) {
    // Same text as the leaving token: the same distances, and no change.
    for (std::size_t i = 0, slot = head_; i < older; ++i) {
      toE[slot * capacity] = fromX[slot];
      if (++slot == capacity) slot = 0;
    }
    return;
  }
  enteringDistance_->SetPattern(Dictionary.Text(e));
  const std::uint32_t stamp = NextStamp();
  // The distinct types of the older tokens, and the leaving type, are
  // gathered first so that their distances from e are computed in one batch.
  std::size_t pending = 0;
  auto gather = [&](std::uint32_t w) {
    if (memoStamp_[w] == stamp) return;
    memoStamp_[w] = stamp;
    if (w == e) {
      memoEntering_[w] = 0.0;
    } else {
      pendingTypes_[pending] = w;
      pendingTexts_[pending++] = Dictionary.Text(w);
    }
  };
  for (std::size_t i = 0, slot = head_; i < older; ++i) {
    gather(ExaminedText[slot]);
    if (++slot == capacity) slot = 0;
  }
  gather(x);
  enteringDistance_->RelativeToMany(pendingTexts_.data(), pending, pendingValues_.data());
  for (std::size_t k = 0; k < pending; ++k) memoEntering_[pendingTypes_[k]] = pendingValues_[k];
  double P = 0;
  double G = 0;
  for (std::size_t i = 0, slot = head_; i < older; ++i) {
    const double d = memoEntering_[ExaminedText[slot]];
    toE[slot * capacity] = d;
    P += fromX[slot];
    G += d;
    if (++slot == capacity) slot = 0;
  }
  // The entering token itself: d(x, e) on the leaving side, d(e, e) = 0.
  const double dXE = memoEntering_[x];
  P += dXE;
  G += 0.0;
  const double L = aLagLength;
  const double Rm = P - dXE;
  double& A = aActual.Measures[vDifference];
  A = A - 2 * Rm / L / L;
  A = A + 2 * G / L / L;
}

}  // namespace tavora
