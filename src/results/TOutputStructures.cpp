#include "results/TOutputStructures.h"

#include <stdexcept>

#include "base/Utf8.h"
#include "engine/TIndices.h"
#include "engine/TSimpleTTR.h"
#include "results/TCsvSink.h"
#include "results/TRunFolder.h"

namespace tavora {

TOutputStructures::TDistribution::TDistribution(TMeasureRef measure, std::uint32_t granularity)
    : Measure(measure), Dist(granularity), DistTotal(granularity) {}

TOutputStructures::TOutputStructures(TWordOrLemmaSet WoL, TMeasureSet measures,
                                     tMeasureSecondarySet MeasuresSecondary,
                                     TOutputTypeSet OutputTypes,
                                     const std::filesystem::path& OutputFolder,
                                     const TJsonValue& Description)
    : aWoL(WoL),
      aMeasures(measures),
      aMeasuresSecondary(MeasuresSecondary),
      aOutputTypes(OutputTypes),
      aOutputFolder(OutputFolder),
      folder_(std::make_unique<TRunFolder>(OutputFolder, Description)),
      csv_(std::make_unique<TCsvSink>(*folder_)) {
  if (!aOutputTypes.Contains(TOutputType::outDistribution)) return;
  const std::vector<TMeasureRef> refs = MeasureRefs(aMeasures, aMeasuresSecondary);
  for (const tWordOrLemma kind : aWoL) {
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    out.Dists.reserve(refs.size());
    for (const TMeasureRef m : refs) {
      TDistribution& d = out.Dists.emplace_back(m, m.Granularity());
      std::string name(1, '"');
      name += Utf16ToUtf8(m.Caption());
      name += "\" of the ";
      name += kind == tWordOrLemma::tokWord ? "word forms" : "lemmata";
      d.Dist.SetName(name);
      d.DistTotal.SetName(name);
    }
    for (TDistribution& d : out.Dists) {
      out.DistRefs.push_back({d.Measure, &d.Dist});
      out.DistTotalRefs.push_back({d.Measure, &d.DistTotal});
    }
  }
  // Every distribution of one granularity writes the same label texts: build them once.
  std::array<TIntervals*, 2> first{};  // granularity 1, granularity 100
  for (TKindOutput& out : kinds_) {
    for (TDistribution& d : out.Dists) {
      TIntervals*& shared = first[d.Dist.GetGranularity() == 1 ? 0 : 1];
      if (shared == nullptr) shared = &d.Dist;
      d.Dist.ShareLabels(*shared);
      d.DistTotal.ShareLabels(*shared);
    }
  }
}

TOutputStructures::~TOutputStructures() = default;

void TOutputStructures::SetCancelCheck(std::function<void()> Check) {
  cancelCheck_ = Check;
  csv_->SetCancelCheck(std::move(Check));
}

void TOutputStructures::SetSafeCsv(bool Safe) { csv_->SetSafeCsv(Safe); }

void TOutputStructures::SetDocumentIds(bool On) { csv_->SetDocumentIds(On); }

void TOutputStructures::SetPrecision(TPrecision Precision) { csv_->SetPrecision(Precision); }

void TOutputStructures::AddSink(std::unique_ptr<IResultSink> Sink) {
  extraSinks_.push_back(std::move(Sink));
}

std::u16string TOutputStructures::GetHeader() const {
  return TCsvSink::Header(aMeasures, aMeasuresSecondary);
}

TSimpleTTR& TOutputStructures::Engine(tWordOrLemma kind) const {
  TSimpleTTR* engine = ttr[static_cast<std::size_t>(kind)];
  if (engine == nullptr)
    throw std::logic_error("TOutputStructures: no engine was set for a measured kind");
  return *engine;
}

void TOutputStructures::BeginRun() {
  begun_ = true;
  TResultLayout layout;
  layout.Kinds = aWoL;
  layout.Measures = aMeasures;
  layout.MeasuresSecondary = aMeasuresSecondary;
  layout.Families = aOutputTypes;
  for (const tWordOrLemma kind : aWoL) {
    layout.LagLength = Engine(kind).LagLength();
    const TIndices* computed = indices[static_cast<std::size_t>(kind)];
    if (aOutputTypes.Contains(TOutputType::outIndices) && computed != nullptr)
      layout.Indices[static_cast<std::size_t>(kind)] = computed->GetIndices();
  }
  series_ = aOutputTypes.Contains(TOutputType::outSerie);
  if (csvOn_) sinks_.push_back(csv_.get());
  for (const auto& sink : extraSinks_) sinks_.push_back(sink.get());
  for (IResultSink* sink : sinks_) sink->BeginRun(layout);
}

void TOutputStructures::EndDocument(tWordOrLemma kind, TKindOutput& out) {
  const TSimpleTTR& engine = Engine(kind);
  TDocumentEnd end;
  end.Kind = kind;
  end.Tokens = engine.Total().NumberOfTokens;
  end.Windows = engine.Total().NumberOfWindowsInText;
  if (aOutputTypes.Contains(TOutputType::outAverage)) end.Averages = &engine.Total();
  if (aOutputTypes.Contains(TOutputType::outWholeTexts)) {
    wholeText_ = engine.WholeText();
    end.WholeText = &wholeText_;
  }
  TIndexValues values{};
  const TIndices* computed = indices[static_cast<std::size_t>(kind)];
  if (aOutputTypes.Contains(TOutputType::outIndices) && computed != nullptr) {
    values = computed->Values();
    end.Indices = &values;
  }
  EndDocument(end, out);
}

void TOutputStructures::EndDocument(TDocumentEnd& end, TKindOutput& out) {
  end.Distributions = out.DistRefs;
  for (IResultSink* sink : sinks_) sink->EndDocument(end);
  for (TDistribution& d : out.Dists) {
    // The run's distribution is the sum of the documents': adding each document's counters
    // once is far cheaper than a second counter update for every window.
    d.DistTotal.Add(d.Dist);
    d.Dist.Clear();
  }
}

void TOutputStructures::AddMeasuredDocument(const TMeasuredDocument& Document) {
  if (aOutputTypes.Contains(TOutputType::outSerie) ||
      aOutputTypes.Contains(TOutputType::outDistribution))
    throw std::logic_error("Documents measured apart carry no series or distributions.");
  if (!begun_) BeginRun();
  measuredApart_ = true;
  ++TextNumber;
  LastMETA = Document.Name;
  lastId_ = Document.Id;
  const TDocumentKey key{TextNumber, LastMETA, lastId_};
  for (IResultSink* sink : sinks_) sink->BeginDocument(key);
  for (const tWordOrLemma kind : aWoL) {
    if (Document.Kinds[static_cast<std::size_t>(kind)].Total.NumberOfWindowsInText == 0) {
      ++shortDocuments_;
      break;
    }
  }
  for (const tWordOrLemma kind : aWoL) {
    const TMeasuredDocument::TKind& measured = Document.Kinds[static_cast<std::size_t>(kind)];
    TDocumentEnd end;
    end.Kind = kind;
    end.Tokens = measured.Total.NumberOfTokens;
    end.Windows = measured.Total.NumberOfWindowsInText;
    if (aOutputTypes.Contains(TOutputType::outAverage)) end.Averages = &measured.Total;
    if (aOutputTypes.Contains(TOutputType::outWholeTexts)) end.WholeText = &measured.WholeText;
    if (aOutputTypes.Contains(TOutputType::outIndices) &&
        indices[static_cast<std::size_t>(kind)] != nullptr)
      end.Indices = &measured.Indices;
    EndDocument(end, kinds_[static_cast<std::size_t>(kind)]);
  }
}

void TOutputStructures::NewDoc(std::u16string_view name, std::u16string_view id) {
  if (!begun_) BeginRun();
  if (TextNumber > 0) {
    CountIfShort();
    for (const tWordOrLemma kind : aWoL) EndDocument(kind, kinds_[static_cast<std::size_t>(kind)]);
  }
  for (TKindOutput& out : kinds_) out.LastWindow = 0;
  ++TextNumber;
  LastMETA.assign(name);
  lastId_.assign(id);
  const TDocumentKey key{TextNumber, LastMETA, lastId_};
  for (IResultSink* sink : sinks_) sink->BeginDocument(key);
}

void TOutputStructures::CountIfShort() {
  for (const tWordOrLemma kind : aWoL) {
    if (Engine(kind).Total().NumberOfWindowsInText == 0) {
      ++shortDocuments_;
      return;
    }
  }
}

void TOutputStructures::AddToken() {
  // Averages and whole texts come from the engines' own sums: only series and distributions
  // look at every window.
  if (!aOutputTypes.Contains(TOutputType::outSerie) &&
      !aOutputTypes.Contains(TOutputType::outDistribution))
    return;
  for (const tWordOrLemma kind : aWoL) {
    const TSimpleTTR& engine = Engine(kind);
    const std::uint64_t window = engine.Total().NumberOfWindowsInText;
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    if (window == 0 || window == out.LastWindow) continue;
    out.LastWindow = window;
    const TPositionResults& actual = engine.Actual();
    // Every secondary value of the window in one pass, not one pass per distribution.
    if (!out.Dists.empty()) actual.SecondaryMetricsOf(aMeasuresSecondary, secondary_);
    for (TDistribution& d : out.Dists) {
      const double value = d.Measure.IsSecondary
                               ? secondary_[static_cast<tMeasureSecondary>(d.Measure.Ordinal)]
                               : actual.BasicMetrics(static_cast<tMeasure>(d.Measure.Ordinal));
      d.Dist.PridejKDistribuci(value, 1);
    }
    // Series go to the sinks of the run's documents; windows before any document have none.
    if (series_ && TextNumber > 0)
      for (IResultSink* sink : sinks_) sink->Window(kind, window, actual);
  }
}

void TOutputStructures::LastDoc() {
  if (!begun_) BeginRun();
  if (TextNumber > 0 && !measuredApart_) {
    CountIfShort();
    for (const tWordOrLemma kind : aWoL) EndDocument(kind, kinds_[static_cast<std::size_t>(kind)]);
  }
  TRunEnd end;
  for (const tWordOrLemma kind : aWoL) {
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    // Windows recorded outside any document count for the run.
    if (TextNumber == 0)
      for (TDistribution& d : out.Dists) d.DistTotal.Add(d.Dist);
    end.Distributions[static_cast<std::size_t>(kind)] = out.DistTotalRefs;
  }
  for (IResultSink* sink : sinks_) sink->EndRun(end);
  CheckCancel();
  folder_->Commit([this] {
    for (IResultSink* sink : sinks_) sink->Commit();
  });
}

}  // namespace tavora
