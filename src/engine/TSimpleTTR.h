#pragma once

// The moving-window engine: fed one token at a time, it keeps the last L tokens
// and, from the L-th token of a text on, the values of the selected basic
// measures at the current window position, adding every position into the
// text's averages. Types are interned to integer ids once; the window is a ring
// of ids and the counts live in a vector, so a token of a known type costs one
// hash look-up and a constant number of operations (vDifference excepted,
// which compares the entering and the leaving token with the whole window).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Measures.h"
#include "engine/TDiagnosticSink.h"
#include "engine/TDifferenceWindow.h"
#include "engine/TEditDistance.h"
#include "engine/THillsWindow.h"
#include "engine/TReferenceDictionary.h"
#include "engine/TTypeIndex.h"
#include "engine/WideInt.h"

namespace tavora {

// One type seen by the engine, as FindType reports it. The engine keeps these
// fields apart (counts in one compact vector, reference data in another) and
// the type's text in its index.
struct TTypeInfo {
  std::int32_t Count = 0;             // occurrences in the current window (at most L)
  std::int32_t TokLength = 0;         // from the reference list, else UTF-16 length
  std::int64_t CountInWholeText = 0;  // occurrences since the last Clear
  std::int64_t CountInReference = 0;  // count in the reference list, 0 if unlisted
};

class TSimpleTTR {
 public:
  // LagLength is the window length L (at least 1). The measure set is widened
  // so that the requested secondary measures and Hill's orders 0 and 1 have
  // what they read.
  TSimpleTTR(std::uint32_t LagLength, TMeasureSet Measures, tMeasureSecondarySet MeasuresSecondary,
             double HillsQ, bool RefCorpContainsText, double SmoothingConstant);
  ~TSimpleTTR();
  TSimpleTTR(const TSimpleTTR&) = delete;
  TSimpleTTR& operator=(const TSimpleTTR&) = delete;

  // Feeds one token; an empty token is ignored.
  void AddToken(std::u16string_view Token, bool IsAutosemantic);
  // The same with the token's hash already computed (TTypeIndex::Hashed(Token)), or nullptr.
  void AddToken(std::u16string_view Token, bool IsAutosemantic, const TTypeIndex::THashed* Hashed);
  // Prepares the look-up of a token that comes some tokens later, given its hash: Prefetch
  // about 16 tokens ahead, PrefetchType about 8 (see TTypeIndex::PrefetchSlot). Changes
  // nothing.
  void Prefetch(const TTypeIndex::THashed& Hashed) const { typeIndex_.PrefetchSlot(Hashed); }
  void PrefetchType(const TTypeIndex::THashed& Hashed) const;
  // Whether the engine's table of types has outgrown the cache, so that prefetching pays.
  [[nodiscard]] bool IsLarge() const { return typeIndex_.IsLarge(); }
  // Starts a new text: empties the window, zeroes counts and results. The types seen are kept
  // for the next text unless there are more than kKeptTypes of them.
  static constexpr std::size_t kKeptTypes = std::size_t{1} << 18;
  void Clear();
  // The values of the whole text since the last Clear; changes nothing.
  [[nodiscard]] TPositionResults WholeText() const;

  [[nodiscard]] const TPositionResults& Actual() const { return aActual; }
  [[nodiscard]] const TAverages& Total() const { return aTotal; }
  [[nodiscard]] std::uint32_t LagLength() const { return aLagLength; }
  [[nodiscard]] TMeasureSet SetOfMeasures() const { return aMeasures; }
  [[nodiscard]] tMeasureSecondarySet SetOfMeasuresSecondary() const { return aMeasuresSecondary; }
  [[nodiscard]] double HillsQ() const { return aHillsQ; }
  [[nodiscard]] bool RefCorpContainsText() const { return aRefCorpContainsText; }
  [[nodiscard]] double SmoothingConstant() const { return aSmoothingConstant; }

  // The reference list. By default the engine's own empty list. A borrowed list
  // must outlive the engine (or be replaced first); nullptr means no list.
  // Replace it before the first token; types already seen are looked up again.
  [[nodiscard]] const TReferenceDictionary* ReferenceDictionary() const { return reference_; }
  void SetReferenceDictionary(const TReferenceDictionary* List);
  // Takes ownership of a list (freed with the engine).
  void SetReferenceDictionary(std::unique_ptr<TReferenceDictionary> List);

  // Where the engine's diagnostic lines go ("problem with adding" when a position cannot be
  // added to the averages); standard output by default, and again when given an empty sink.
  void SetDiagnosticSink(TDiagnosticSink Sink);

  // The whole-text vDifference compares every pair of the text's types: quadratic in their
  // number (a text of 100,000 types makes 5·10^9 comparisons). Threads: how many threads
  // share that work (at least 1; the value is the same for any number). Progress: called on
  // the calling thread as the comparison starts, about every Every and as it ends, with the
  // pairs compared and the pairs in all; it may throw to stop the computation, which then ends
  // within about that interval and passes the exception on once the helping threads have
  // stopped.
  using TPairProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;
  void SetPairThreads(unsigned Threads) { pairThreads_ = Threads == 0 ? 1 : Threads; }
  void SetPairProgress(TPairProgress Progress,
                       std::chrono::milliseconds Every = std::chrono::milliseconds(100)) {
    pairProgress_ = std::move(Progress);
    pairEvery_ = Every;
  }

  // Inspection: a copy of the entry of a type, nullptr when unknown (valid
  // until the next call); tokens in the window.
  [[nodiscard]] const TTypeInfo* FindType(std::u16string_view Type) const;
  [[nodiscard]] std::size_t WindowSize() const { return windowSize_; }

 private:
  // The counts the window updates at every token. A window count never exceeds L
  // (at most 1,000,000); a text can hold more than 2^31 tokens of one type.
  struct TCounts {
    std::int32_t Count = 0;
    std::int64_t CountInWholeText = 0;
  };
  // What a type takes from the reference list, with the reference quantities
  // that do not change while its window count changes (the cross cache is
  // filled when the reference list does not contain the text).
  struct TReferenceData {
    std::int64_t CountInReference = 0;
    std::int32_t TokLength = 0;
    double invRhat = 0;         // 1 / r^
    double rhatPowNegInvL = 0;  // r^^(-1/L)
    double rhatPowQm1 = 0;      // r^^(Q-1)
  };

  std::uint32_t Intern(std::u16string_view Token, const TTypeIndex::THashed& Hashed);
  void LookUpReference(std::uint32_t id, std::u16string_view type);
  void DropCrossMeasuresWithoutReference();
  [[nodiscard]] bool HasUsableReference() const;

  // The full computation, measure by measure, over the counts since the last Clear.
  [[nodiscard]] double ValueOfText(tMeasure m, std::uint64_t tokens) const;
  [[nodiscard]] double CrossValueOfText(tMeasure m, std::uint64_t tokens) const;
  [[nodiscard]] double DifferenceOfText(double N) const;
  [[nodiscard]] TWideInt CrossReferenceSum() const;
  void StartExactSums();
  // Hill's orders above kPlainHillsQ: the sums of the whole text and of the first window
  // scaled, and the logarithm of a type's cross term at window count c.
  void ScaledHillsOfText(TPositionResults& r, TMeasureSet set, std::uint64_t tokens) const;
  void StartScaledHills();
  [[nodiscard]] double CrossHillsKey(std::uint32_t id, std::int64_t c, double N) const;

  // The window shift: the entering type e now at ring slot eSlot, the leaving type x that sat
  // at xSlot, their counts already changed.
  void Shift(std::uint32_t e, std::uint32_t x, std::size_t eSlot, std::size_t xSlot,
             bool enteringAuto, bool leavingAuto);
  void ShiftCounts(std::int32_t ce, std::int32_t cx);
  friend class TSimpleTTRTestAccess;  // sets whole-text counts no test could feed
  void ShiftCross(std::uint32_t e, std::uint32_t x, std::int32_t ce, std::int32_t cx);

  // Type text -> id (the index also keeps the texts); the data below are indexed by id.
  TTypeIndex typeIndex_;
  std::vector<TCounts> counts_;
  std::vector<TReferenceData> referenceData_;
  mutable TTypeInfo inspected_;
  std::vector<std::uint32_t> textTypes_;  // ids with CountInWholeText >= 1

  // The window as a ring: ids and autosemantic flags, oldest at head_.
  std::vector<std::uint32_t> ExaminedText;
  std::vector<std::uint8_t> IsAutosemanticQueue;
  std::size_t head_ = 0;
  std::size_t windowSize_ = 0;

  std::uint64_t AutosemanticsInWholeText = 0;
  TPositionResults aActual;
  TAverages aTotal;
  std::uint32_t aLagLength;
  double aHillsQ;
  TMeasureSet aMeasures;
  tMeasureSecondarySet aMeasuresSecondary;
  bool aRefCorpContainsText;
  double aSmoothingConstant;

  std::unique_ptr<TReferenceDictionary> ownReference_;
  const TReferenceDictionary* reference_ = nullptr;

  // Shares k/L raised as the shift needs them, k = 0..L.
  std::vector<double> perplexityFactor_;  // (k/L)^(-k/L)
  std::vector<double> hillTerm_;          // (k/L)^Q for k >= 1, 0 for k = 0
  // Integer sums behind the ratios the window reports, kept exact by the shift
  // so that each value is one division of exact integers: the sum of c^2 over
  // the window's types (reverse repeat rate L^2 / it), the sum of the tokens'
  // lengths, the autosemantic tokens, and the sum of ref' over the window's
  // tokens (cross repeat rate L T / it).
  std::int64_t squareSum_ = 0;
  std::int64_t lengthSum_ = 0;
  std::int64_t autosemanticsInWindow_ = 0;
  TWideInt crossRefSum_ = 0;

  // Hill's sums of the window for orders above kPlainHillsQ (only then, and only when
  // a continuum is measured).
  std::unique_ptr<THillsWindow> hills_;

  // The vDifference side of the window (only when vDifference is measured).
  std::unique_ptr<TDifferenceWindow> difference_;

  TDiagnosticSink diagnostics_ = WriteDiagnosticToStandardOutput;
  unsigned pairThreads_ = 1;
  TPairProgress pairProgress_;
  std::chrono::milliseconds pairEvery_{100};
};

}  // namespace tavora
