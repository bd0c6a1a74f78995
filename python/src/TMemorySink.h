#pragma once

// A measurement run's results kept in memory, for the Python package: TProcessTexts hands
// TMemorySink the same values it writes into the CSV files, and the package turns them into
// pandas frames. Values are doubles as the engines give them, unrounded.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "results/IResultSink.h"

namespace tavora::python {

struct TMemoryResults {
  struct TDocument {
    std::int64_t Number = 0;
    std::u16string Name;
    std::u16string Id;
  };
  // The values of one kind; tables have one row per document, row-major.
  struct TKind {
    std::vector<double> Averages;        // measures, in column order
    std::vector<double> WholeTexts;      // measures
    std::vector<double> Indices;         // the layout's indices of the kind
    std::vector<std::uint64_t> Windows;  // window positions completed per document
    // Series: the document number and window id of each row, and its measures.
    std::vector<std::int64_t> SeriesDocuments;
    std::vector<std::uint64_t> SeriesWindows;
    std::vector<double> Series;
  };

  TResultLayout Layout;
  std::vector<TMeasureRef> Measures;  // the columns of the measure tables
  std::vector<TDocument> Documents;
  std::array<TKind, kWordOrLemmaCount> Kinds;
  bool Committed = false;
};

class TMemorySink : public IResultSink {
 public:
  // Into: filled by the run; it outlives the sink.
  explicit TMemorySink(TMemoryResults& Into) : results_(Into) {}

  void BeginRun(const TResultLayout& Layout) override;
  void BeginDocument(const TDocumentKey& Document) override;
  // The series arrays grow geometrically: a few reallocations over a long text.
  void Window(tWordOrLemma Kind, std::uint64_t WindowId, const TPositionResults& Values) override;
  void EndDocument(const TDocumentEnd& End) override;
  void EndRun(const TRunEnd&) override {}
  void Commit() override { results_.Committed = true; }

 private:
  // Appends the measures of Record to Out in column order.
  template <typename TRecord>
  void Append(const TRecord& Record, std::vector<double>& Out);

  TMemoryResults& results_;
  std::int64_t document_ = 0;
  TMeasureSecondaryValues secondary_{};
};

}  // namespace tavora::python
