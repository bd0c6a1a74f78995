#include "TMemorySink.h"

#include <type_traits>

namespace tavora::python {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }

}  // namespace

void TMemorySink::BeginRun(const TResultLayout& Layout) {
  results_.Layout = Layout;
  results_.Measures = MeasureRefs(Layout.Measures, Layout.MeasuresSecondary);
}

void TMemorySink::BeginDocument(const TDocumentKey& Document) {
  document_ = Document.Number;
  results_.Documents.push_back(
      {Document.Number, std::u16string(Document.Name), std::u16string(Document.Id)});
}

template <typename TRecord>
void TMemorySink::Append(const TRecord& Record, std::vector<double>& Out) {
  if constexpr (std::is_same_v<TRecord, TPositionResults>)
    Record.SecondaryMetricsOf(results_.Layout.MeasuresSecondary, secondary_);
  for (const TMeasureRef m : results_.Measures) {
    if (!m.IsSecondary) {
      Out.push_back(Record.BasicMetrics(static_cast<tMeasure>(m.Ordinal)));
    } else if constexpr (std::is_same_v<TRecord, TPositionResults>) {
      Out.push_back(secondary_[static_cast<tMeasureSecondary>(m.Ordinal)]);
    } else {
      Out.push_back(Record.SecondaryMetrics(static_cast<tMeasureSecondary>(m.Ordinal)));
    }
  }
}

void TMemorySink::Window(tWordOrLemma Kind, std::uint64_t WindowId,
                         const TPositionResults& Values) {
  TMemoryResults::TKind& kind = results_.Kinds[Slot(Kind)];
  kind.SeriesDocuments.push_back(document_);
  kind.SeriesWindows.push_back(WindowId);
  Append(Values, kind.Series);
}

void TMemorySink::EndDocument(const TDocumentEnd& End) {
  TMemoryResults::TKind& kind = results_.Kinds[Slot(End.Kind)];
  kind.Windows.push_back(End.Windows);
  if (End.Averages != nullptr) Append(*End.Averages, kind.Averages);
  if (End.WholeText != nullptr) Append(*End.WholeText, kind.WholeTexts);
  if (End.Indices != nullptr) {
    for (const tIndex i : results_.Layout.Indices[Slot(End.Kind)])
      kind.Indices.push_back((*End.Indices)[i]);
  }
}

}  // namespace tavora::python
