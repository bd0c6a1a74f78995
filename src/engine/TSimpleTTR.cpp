#include "engine/TSimpleTTR.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/Power.h"
#include "engine/TEditDistance.h"
#include "engine/WideInt.h"

namespace tavora {

namespace {

using enum tMeasure;

const TMeasureSet kCrossMeasures = {vCrossTypes, vCrossPerplexity, vCrossRRR, vCrossHillsContinuum};

// A function of a type's count in the text, worked out once for each small count: most of a
// text's types share a few small counts (about half are hapaxes), and each value is a power.
template <typename F>
class TByCount {
 public:
  explicit TByCount(F f) : f_(f) {}
  double operator()(std::int64_t count) {
    if (count < 0 || count >= kCached) return f_(count);
    double& value = values_[static_cast<std::size_t>(count)];
    if (std::isnan(value)) value = f_(count);
    return value;
  }

 private:
  static constexpr std::int64_t kCached = 256;
  F f_;
  std::array<double, kCached> values_ = [] {
    std::array<double, kCached> a;
    a.fill(std::numeric_limits<double>::quiet_NaN());
    return a;
  }();
};

}  // namespace

TSimpleTTR::TSimpleTTR(std::uint32_t LagLength, TMeasureSet Measures,
                       tMeasureSecondarySet MeasuresSecondary, double HillsQ,
                       bool RefCorpContainsText, double SmoothingConstant)
    : aLagLength(LagLength),
      aHillsQ(HillsQ),
      aMeasures(WidenMeasureSet(Measures, MeasuresSecondary, HillsQ)),
      aMeasuresSecondary(MeasuresSecondary),
      aRefCorpContainsText(RefCorpContainsText),
      aSmoothingConstant(SmoothingConstant),
      ownReference_(std::make_unique<TReferenceDictionary>()),
      reference_(ownReference_.get()) {
  if (LagLength == 0) throw std::invalid_argument("The window length must be at least 1.");
  if (!IsAcceptedHillsQ(HillsQ)) throw std::invalid_argument(HillsQRangeMessage(HillsQ));
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
  if (aMeasures.Contains(vDifference))
    difference_ = std::make_unique<TDifferenceWindow>(LagLength, typeIndex_);
  if (IsScaledHillsQ(HillsQ) &&
      (aMeasures.Contains(vHillsContinuum) || aMeasures.Contains(vCrossHillsContinuum)))
    hills_ = std::make_unique<THillsWindow>(LagLength, HillsQ);
}

TSimpleTTR::~TSimpleTTR() = default;

bool TSimpleTTR::HasUsableReference() const {
  return reference_ != nullptr && reference_->TotalTokens > 0;
}

void TSimpleTTR::SetReferenceDictionary(const TReferenceDictionary* List) {
  if (List != ownReference_.get()) ownReference_.reset();
  reference_ = List;
  for (std::uint32_t id = 0; id < typeIndex_.Size(); ++id) LookUpReference(id, typeIndex_.Text(id));
}

void TSimpleTTR::SetReferenceDictionary(std::unique_ptr<TReferenceDictionary> List) {
  ownReference_ = std::move(List);
  reference_ = ownReference_.get();
  for (std::uint32_t id = 0; id < typeIndex_.Size(); ++id) LookUpReference(id, typeIndex_.Text(id));
}

void TSimpleTTR::SetDiagnosticSink(TDiagnosticSink Sink) {
  diagnostics_ = Sink ? std::move(Sink) : TDiagnosticSink(WriteDiagnosticToStandardOutput);
}

const TTypeInfo* TSimpleTTR::FindType(std::u16string_view Type) const {
  const std::uint32_t id = typeIndex_.Find(Type);
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

std::uint32_t TSimpleTTR::Intern(std::u16string_view Token, const TTypeIndex::THashed& Hashed) {
  bool inserted = false;
  const std::uint32_t id = typeIndex_.FindOrInsert(Token, Hashed, inserted);
  if (!inserted) return id;
  counts_.emplace_back();
  referenceData_.emplace_back();
  LookUpReference(id, Token);
  return id;
}

void TSimpleTTR::DropCrossMeasuresWithoutReference() {
  // Without a list (or with one of no tokens) the cross measures have nothing
  // to compare with; they stay 0 for the engine's life.
  if (!HasUsableReference()) aMeasures = aMeasures - kCrossMeasures;
}

void TSimpleTTR::PrefetchType(const TTypeIndex::THashed& Hashed) const {
  const std::uint32_t id = typeIndex_.PrefetchKey(Hashed);
  if (id < counts_.size()) TTypeIndex::PrefetchLine(&counts_[id]);
}

void TSimpleTTR::AddToken(std::u16string_view Token, bool IsAutosemantic) {
  AddToken(Token, IsAutosemantic, nullptr);
}

void TSimpleTTR::AddToken(std::u16string_view Token, bool IsAutosemantic,
                          const TTypeIndex::THashed* Hashed) {
  if (Token.empty()) return;
  DropCrossMeasuresWithoutReference();
  ++aActual.NumberOfTokens;
  ++aTotal.NumberOfTokens;
  if (IsAutosemantic) ++AutosemanticsInWholeText;

  const std::uint32_t e = Intern(Token, Hashed ? *Hashed : TTypeIndex::Hashed(Token));
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
    // A position that cannot be added is reported and passed over; the run goes on.
    try {
      aTotal.Add(aActual, aMeasures, aMeasuresSecondary);
    } catch (...) {
      diagnostics_("problem with adding");
    }
  }
}

void TSimpleTTR::Clear() {
  // Every type with a cross key is one of the text's; the keys go before ids are reused.
  if (hills_) hills_->ClearCross(textTypes_);
  // The types outlive a text, so that the next text finds its types interned; once they are
  // many (the union of many texts' vocabularies) they start again, so that memory follows the
  // vocabularies of texts rather than that of the corpus. Type ids never reach the results.
  if (difference_ || typeIndex_.Size() > kKeptTypes) {
    typeIndex_.Clear();
    counts_.clear();
    referenceData_.clear();
    if (difference_) difference_->Clear();
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
}

TWideInt TSimpleTTR::CrossReferenceSum() const {
  // The sum of ref' over the tokens since the last Clear.
  TWideInt sum = 0;
  for (std::uint32_t id : textTypes_) {
    const std::int64_t c = counts_[id].CountInWholeText;
    const std::int64_t refPrime =
        referenceData_[id].CountInReference - (aRefCorpContainsText ? c : 0);
    sum += static_cast<TWideInt>(refPrime) * c;
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
  if (hills_) StartScaledHills();
}

TPositionResults TSimpleTTR::WholeText() const {
  TPositionResults r;
  r.Q = aHillsQ;
  std::uint64_t tokens = 0;
  for (std::uint32_t id : textTypes_) tokens += counts_[id].CountInWholeText;
  r.NumberOfTokens = tokens;
  TMeasureSet set = aMeasures;
  if (!HasUsableReference()) set = set - kCrossMeasures;
  for (tMeasure m : set) r.Measures[m] = ValueOfText(m, tokens);
  if (IsScaledHillsQ(aHillsQ)) ScaledHillsOfText(r, set, tokens);
  return r;
}

double TSimpleTTR::ValueOfText(tMeasure m, std::uint64_t tokens) const {
  const double N = static_cast<double>(tokens);
  double value = 0;
  switch (m) {
    case vTokens:
      return N;
    case vTypes:
      return static_cast<double>(textTypes_.size());
    case vHapax:
      for (std::uint32_t id : textTypes_)
        if (counts_[id].CountInWholeText == 1) value += 1;
      return value;
    case vPerplexity: {
      TByCount factor([N](std::int64_t c) {
        const double pt = static_cast<double>(c) / N;
        return Power(pt, -pt);
      });
      value = 1;
      for (std::uint32_t id : textTypes_) value *= factor(counts_[id].CountInWholeText);
      return value;
    }
    case vRRR: {
      // 1 / (sum of p^2) = N^2 / (sum of c^2); S = 0 for N <= 1.
      TWideInt squares = 0;
      if (tokens > 1)
        for (std::uint32_t id : textTypes_) {
          const auto c = static_cast<TWideInt>(counts_[id].CountInWholeText);
          squares += c * c;
        }
      return IntegerRatio(tokens, tokens, squares);
    }
    case vHillsContinuum:
      // At Q = 1 the sum of the shares is exactly 1; summing them would leave a rounding
      // residue that decides between NaN and an infinity in the Renyi measures.
      if (aHillsQ == 1) return tokens > 0 ? 1 : 0;
      if (IsScaledHillsQ(aHillsQ)) return 0;  // ScaledHillsOfText
      {
        TByCount term(
            [N, this](std::int64_t c) { return Power(static_cast<double>(c) / N, aHillsQ); });
        for (std::uint32_t id : textTypes_) value += term(counts_[id].CountInWholeText);
      }
      return value;
    case vLength: {
      if (tokens == 0) return 0;
      TWideInt sum = 0;
      for (std::uint32_t id : textTypes_)
        sum += static_cast<TWideInt>(counts_[id].CountInWholeText) * referenceData_[id].TokLength;
      return WideToDouble(sum) / N;
    }
    case vDifference:
      return tokens > 0 ? DifferenceOfText(N) : 0;
    case vAutosemantics:
      return tokens > 0 ? static_cast<double>(AutosemanticsInWholeText) / N : 0;
    default:  // the cross measures
      return CrossValueOfText(m, tokens);
  }
}

double TSimpleTTR::CrossValueOfText(tMeasure m, std::uint64_t tokens) const {
  // Only with a list of T > 0 (the cross measures are left out otherwise).
  const double N = static_cast<double>(tokens);
  const double T = static_cast<double>(reference_->TotalTokens);
  const double V = static_cast<double>(reference_->Size());
  const double s = aSmoothingConstant;
  auto p = [&](std::uint32_t id) { return static_cast<double>(counts_[id].CountInWholeText) / N; };
  auto refPrime = [&](std::uint32_t id) {
    return static_cast<double>(referenceData_[id].CountInReference -
                               (aRefCorpContainsText ? counts_[id].CountInWholeText : 0));
  };
  auto rhat = [&](std::uint32_t id) { return (refPrime(id) + s) / (T + V * s); };
  double value = 0;
  switch (m) {
    case vCrossTypes:
      for (std::uint32_t id : textTypes_) value += p(id) * (T + V * s) / (refPrime(id) + s);
      return value;
    case vCrossPerplexity:
      value = 1;
      for (std::uint32_t id : textTypes_) value *= Power(rhat(id), -p(id));
      return value;
    case vCrossRRR:
      // 1 / (sum of p * r) = N * T / K with K the sum of ref' over the tokens.
      return IntegerRatio(tokens, reference_->TotalTokens, CrossReferenceSum());
    case vCrossHillsContinuum:
      if (aHillsQ == 1) return tokens > 0 ? 1 : 0;  // r^0 = 1: the sum of the shares, exactly 1
      for (std::uint32_t id : textTypes_) value += p(id) * Power(rhat(id), aHillsQ - 1);
      return value;
    default:
      return 0;
  }
}

double TSimpleTTR::CrossHillsKey(std::uint32_t id, std::int64_t c, double N) const {
  // ln(c / N) + (Q - 1) ln r^, NaN where r^ <= 0 leaves the term undefined.
  const double T = static_cast<double>(reference_->TotalTokens);
  const double V = static_cast<double>(reference_->Size());
  const double refPrime =
      static_cast<double>(referenceData_[id].CountInReference - (aRefCorpContainsText ? c : 0));
  const double rhat = (refPrime + aSmoothingConstant) / (T + V * aSmoothingConstant);
  if (!(rhat > 0)) return std::numeric_limits<double>::quiet_NaN();
  return std::log(static_cast<double>(c) / N) + (aHillsQ - 1) * std::log(rhat);
}

void TSimpleTTR::ScaledHillsOfText(TPositionResults& r, TMeasureSet set,
                                   std::uint64_t tokens) const {
  const double N = static_cast<double>(tokens);
  std::vector<double> keys;
  keys.reserve(textTypes_.size());
  if (set.Contains(vHillsContinuum)) {
    for (std::uint32_t id : textTypes_)
      keys.push_back(aHillsQ * std::log(static_cast<double>(counts_[id].CountInWholeText) / N));
    const TScaledSum sum = THillsWindow::SumOfExp(keys);
    r.Measures[vHillsContinuum] = sum.Mantissa;
    r.HillsScale = sum.Scale;
  }
  if (set.Contains(vCrossHillsContinuum)) {
    keys.clear();
    for (std::uint32_t id : textTypes_)
      keys.push_back(CrossHillsKey(id, counts_[id].CountInWholeText, N));
    const TScaledSum sum = THillsWindow::SumOfExp(keys);
    r.Measures[vCrossHillsContinuum] = sum.Mantissa;
    r.CrossHillsScale = sum.Scale;
  }
}

void TSimpleTTR::StartScaledHills() {
  // The first window holds every token of the text so far.
  std::vector<std::int32_t> counts;
  counts.reserve(textTypes_.size());
  for (std::uint32_t id : textTypes_)
    counts.push_back(static_cast<std::int32_t>(counts_[id].CountInWholeText));
  hills_->StartBasic(counts);
  hills_->ClearCross(textTypes_);
  if (aMeasures.Contains(vCrossHillsContinuum) && HasUsableReference()) {
    for (std::uint32_t id : textTypes_)
      hills_->MoveCross(id, CrossHillsKey(id, counts_[id].CountInWholeText, aLagLength));
    hills_->FinishCross();
    aActual.Measures[vCrossHillsContinuum] = hills_->CrossMantissa();
    aActual.CrossHillsScale = hills_->CrossScale();
  }
  if (aMeasures.Contains(vHillsContinuum) && aHillsQ != 1) {
    aActual.Measures[vHillsContinuum] = hills_->BasicMantissa();
    aActual.HillsScale = hills_->BasicScale();
  }
}

double TSimpleTTR::DifferenceOfText(double N) const {
  // Each type's text and share are looked up once, not once per pair.
  std::vector<std::u16string_view> texts;
  std::vector<double> shares;
  texts.reserve(textTypes_.size());
  shares.reserve(textTypes_.size());
  for (const std::uint32_t id : textTypes_) {
    texts.push_back(typeIndex_.Text(id));
    shares.push_back(static_cast<double>(counts_[id].CountInWholeText) / N);
  }
  return TDifferenceWindow::OfText(
      texts.size(), [&texts](std::size_t i) { return texts[i]; },
      [&shares](std::size_t i) { return shares[i]; }, pairThreads_, pairProgress_, pairEvery_);
}

// The shift of the count-based measures and of the cross measures, inlined into Shift.
inline void TSimpleTTR::ShiftCounts(std::int32_t ce, std::int32_t cx) {
  TMeasureValues& A = aActual.Measures;
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
    if (hills_) {
      hills_->ShiftBasic(ce, cx);
      A[vHillsContinuum] = hills_->BasicMantissa();
      aActual.HillsScale = hills_->BasicScale();
    } else {
      A[vHillsContinuum] = A[vHillsContinuum] - hillTerm_[ce - 1] + hillTerm_[ce] -
                           hillTerm_[cx + 1] + hillTerm_[cx];
    }
  }
}

inline void TSimpleTTR::ShiftCross(std::uint32_t e, std::uint32_t x, std::int32_t ce,
                                   std::int32_t cx) {
  TMeasureValues& A = aActual.Measures;
  const double L = aLagLength;
  const TReferenceData& de = referenceData_[e];
  const TReferenceData& dx = referenceData_[x];
  const std::int64_t refE = de.CountInReference - (aRefCorpContainsText ? ce : 0);
  const std::int64_t refX = dx.CountInReference - (aRefCorpContainsText ? cx + 1 : 0);
  double invRhatE = de.invRhat, invRhatX = dx.invRhat;
  double negInvLE = de.rhatPowNegInvL, negInvLX = dx.rhatPowNegInvL;
  double qm1E = de.rhatPowQm1, qm1X = dx.rhatPowQm1;
  if (aRefCorpContainsText) {
    // The reference counts less the window's own: not cached, they change with the counts.
    const double T = static_cast<double>(reference_->TotalTokens);
    const double V = static_cast<double>(reference_->Size());
    const double s = aSmoothingConstant;
    const double rhatE = (static_cast<double>(refE) + s) / (T + V * s);
    const double rhatX = (static_cast<double>(refX) + s) / (T + V * s);
    invRhatE = 1 / rhatE;
    invRhatX = 1 / rhatX;
    negInvLE = Power(rhatE, -1 / L);
    negInvLX = Power(rhatX, -1 / L);
    qm1E = Power(rhatE, aHillsQ - 1);
    qm1X = Power(rhatX, aHillsQ - 1);
  }
  if (aMeasures.Contains(vCrossTypes)) A[vCrossTypes] = A[vCrossTypes] + (invRhatE - invRhatX) / L;
  if (aMeasures.Contains(vCrossPerplexity))
    A[vCrossPerplexity] = A[vCrossPerplexity] * negInvLE / negInvLX;
  if (aMeasures.Contains(vCrossRRR)) {
    // 1 / (sum of p * r) = L * T / K with K the exact sum of ref'.
    crossRefSum_ += static_cast<TWideInt>(refE) - refX;
    A[vCrossRRR] = IntegerRatio(aLagLength, reference_->TotalTokens, crossRefSum_);
  }
  if (aMeasures.Contains(vCrossHillsContinuum) && hills_) {
    hills_->MoveCross(e, CrossHillsKey(e, ce, L));
    hills_->MoveCross(x, cx == 0 ? THillsWindow::kAbsent : CrossHillsKey(x, cx, L));
    hills_->FinishCross();
    A[vCrossHillsContinuum] = hills_->CrossMantissa();
    aActual.CrossHillsScale = hills_->CrossScale();
  } else if (aMeasures.Contains(vCrossHillsContinuum)) {
    const double term = (qm1E - qm1X) / L;
    if (std::isfinite(term)) {
      A[vCrossHillsContinuum] += term;
    } else {
      diagnostics_("vCrossHillsContinuum in troubles");
    }
  }
}

void TSimpleTTR::Shift(std::uint32_t e, std::uint32_t x, std::size_t eSlot, std::size_t xSlot,
                       bool enteringAuto, bool leavingAuto) {
  TMeasureValues& A = aActual.Measures;
  const double L = aLagLength;
  if (e != x) {
    const std::int32_t ce = counts_[e].Count;
    const std::int32_t cx = counts_[x].Count;
    ShiftCounts(ce, cx);
    // Present only with a list of T > 0 (dropped otherwise).
    if (!(aMeasures & kCrossMeasures).Empty()) ShiftCross(e, x, ce, cx);
    if (aMeasures.Contains(vLength)) {
      lengthSum_ += referenceData_[e].TokLength - referenceData_[x].TokLength;
      A[vLength] = static_cast<double>(lengthSum_) / L;
    }
  }
  if (difference_) difference_->Shift(A[vDifference], ExaminedText, head_, e, x, eSlot, xSlot);
  if (aMeasures.Contains(vAutosemantics)) {
    autosemanticsInWindow_ += static_cast<int>(enteringAuto) - static_cast<int>(leavingAuto);
    A[vAutosemantics] = static_cast<double>(autosemanticsInWindow_) / L;
  }
}

}  // namespace tavora
