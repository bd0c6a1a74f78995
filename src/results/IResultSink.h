#pragma once

// Where the results of a measurement run go. TOutputStructures gathers them from the run's
// engines and hands the same values to every sink: the CSV files (TCsvSink), the results
// database (TDatabaseSink). A sink knows nothing of the engines, and the interface nothing of
// files, so that results can also be kept in memory.
//
// The calls of a run, in order: BeginRun once; for each document BeginDocument, then Window
// for every window position of every kind (only when the run writes series), then EndDocument
// once per kind; after the last document EndRun and Commit. A run that fails or is cancelled
// stops anywhere before Commit and destroys its sinks, which then leave no trace.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/Indices.h"
#include "engine/Measures.h"
#include "results/ResultNames.h"

namespace tavora {

class TIntervals;

// What a run writes, fixed before its first document.
struct TResultLayout {
  TWordOrLemmaSet Kinds;
  TMeasureSet Measures;
  tMeasureSecondarySet MeasuresSecondary;
  TOutputTypeSet Families;  // the families written
  std::uint32_t LagLength = 0;
  // The further indices of each kind, in column order; empty for a kind without them.
  std::array<TIndexSet, kWordOrLemmaCount> Indices{};
};

// A document: its number from 1 over the run, the name the input gives it (the path of the
// file its first word came from, empty for a text) and its id (empty when the input gives
// none). The views are valid for the call only.
struct TDocumentKey {
  std::int64_t Number = 0;
  std::u16string_view Name;
  std::u16string_view Id;
};

// How the window values of one measure fall into intervals (TIntervals): over a document, or
// over the whole run.
struct TMeasureDistribution {
  TMeasureRef Measure;
  const TIntervals* Counts = nullptr;
};

// What the current document ends with, for one kind. The values of a family that the run does
// not write are left out (null or empty).
struct TDocumentEnd {
  tWordOrLemma Kind = tWordOrLemma::tokWord;
  std::uint64_t Tokens = 0;   // tokens the kind's engine took in
  std::uint64_t Windows = 0;  // window positions completed; 0 for a text shorter than the window
  const TAverages* Averages = nullptr;                  // outAverage
  const TPositionResults* WholeText = nullptr;          // outWholeTexts
  const TIndexValues* Indices = nullptr;                // outIndices, for a kind with indices
  std::span<const TMeasureDistribution> Distributions;  // outDistribution
};

// The distributions over the whole run, per kind (empty without outDistribution).
struct TRunEnd {
  std::array<std::span<const TMeasureDistribution>, kWordOrLemmaCount> Distributions{};
};

class IResultSink {
 public:
  virtual ~IResultSink() = default;

  virtual void BeginRun(const TResultLayout& Layout) = 0;
  virtual void BeginDocument(const TDocumentKey& Document) = 0;
  // Kind's engine completed the window position WindowId (from 1) of the current document.
  // Called for every position of a long text: it must not allocate.
  virtual void Window(tWordOrLemma Kind, std::uint64_t WindowId,
                      const TPositionResults& Values) = 0;
  virtual void EndDocument(const TDocumentEnd& End) = 0;
  virtual void EndRun(const TRunEnd& End) = 0;
  // Makes the run's results permanent; the last step of a run that can still fail.
  virtual void Commit() = 0;
};

}  // namespace tavora
