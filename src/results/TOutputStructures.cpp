#include "results/TOutputStructures.h"

#include <charconv>
#include <stdexcept>
#include <system_error>

#include "base/Paths.h"
#include "base/Utf8.h"
#include "engine/TIndices.h"
#include "engine/TSimpleTTR.h"
#include "results/TResultFile.h"
#include "results/TRunFolder.h"

namespace tavora {

namespace {

// Basic measures of granularity 100; the others count whole numbers.
constexpr std::uint32_t Granularity(tMeasure m) {
  return m == tMeasure::vLength || m == tMeasure::vDifference || m == tMeasure::vAutosemantics ? 100
                                                                                               : 1;
}

void AppendUnsigned(std::u16string& out, std::uint64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (const char* p = digits; p != end; ++p) out += static_cast<char16_t>(*p);
}

}  // namespace

TOutputStructures::TDistribution::TDistribution(bool secondary, std::uint8_t ordinal,
                                                std::uint32_t granularity)
    : IsSecondary(secondary), Ordinal(ordinal), Dist(granularity), DistTotal(granularity) {}

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
      folder_(std::make_unique<TRunFolder>(OutputFolder, Description)) {
  if (aOutputTypes.Contains(TOutputType::outDistribution)) {
    for (const tWordOrLemma kind : aWoL) {
      auto& dists = kinds_[static_cast<std::size_t>(kind)].Dists;
      dists.reserve(aMeasures.Count() + aMeasuresSecondary.Count());
      for (const tMeasure m : aMeasures)
        dists.emplace_back(false, static_cast<std::uint8_t>(m), Granularity(m));
      for (const tMeasureSecondary m : aMeasuresSecondary)
        dists.emplace_back(true, static_cast<std::uint8_t>(m), 100);
      for (TDistribution& d : dists) {
        const std::u16string_view caption =
            d.IsSecondary ? MeasureSecondaryCaption(static_cast<tMeasureSecondary>(d.Ordinal))
                          : MeasureCaption(static_cast<tMeasure>(d.Ordinal));
        std::string name = "\"" + Utf16ToUtf8(caption) + "\" of the ";
        name += kind == tWordOrLemma::tokWord ? "word forms" : "lemmata";
        d.Dist.SetName(name);
        d.DistTotal.SetName(name);
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
}

TOutputStructures::~TOutputStructures() = default;

std::u16string TOutputStructures::GetHeader() const {
  std::u16string header;
  for (const tMeasure m : aMeasures) {
    header += u",\"";
    header += MeasureCaption(m);
    header += u'"';
  }
  for (const tMeasureSecondary m : aMeasuresSecondary) {
    header += u",\"";
    header += MeasureSecondaryCaption(m);
    header += u'"';
  }
  return header;
}

TSimpleTTR& TOutputStructures::Engine(tWordOrLemma kind) const {
  TSimpleTTR* engine = ttr[static_cast<std::size_t>(kind)];
  if (engine == nullptr)
    throw std::logic_error("TOutputStructures: no engine was set for a measured kind");
  return *engine;
}

std::unique_ptr<TResultFile> TOutputStructures::Open(TOutputType family, tWordOrLemma kind,
                                                     std::u16string_view caption) const {
  TResultName name;
  name.Family = family;
  name.Kind = kind;
  name.Lag = Engine(kind).LagLength();
  name.Doc = TextNumber + 1;  // a series belongs to the document that begins
  name.Caption.assign(caption);
  return std::make_unique<TResultFile>(aOutputFolder / std::filesystem::path(ResultFileName(name)));
}

void TOutputStructures::OpenRunFiles() {
  runFilesOpen_ = true;
  const std::u16string header = GetHeader();
  for (const tWordOrLemma kind : aWoL) {
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    if (aOutputTypes.Contains(TOutputType::outAverage)) {
      out.Average = Open(TOutputType::outAverage, kind);
      WriteKeyHeader(*out.Average);
      out.Average->Write(header);
      out.Average->EndLine();
    }
    if (aOutputTypes.Contains(TOutputType::outWholeTexts)) {
      out.WholeTexts = Open(TOutputType::outWholeTexts, kind);
      WriteKeyHeader(*out.WholeTexts);
      out.WholeTexts->Write(header);
      out.WholeTexts->EndLine();
    }
    const TIndices* computed = indices[static_cast<std::size_t>(kind)];
    if (aOutputTypes.Contains(TOutputType::outIndices) && computed != nullptr) {
      out.Indices = Open(TOutputType::outIndices, kind);
      WriteKeyHeader(*out.Indices);
      for (const tIndex i : computed->GetIndices()) {
        out.Indices->Write(std::string_view(","));
        out.Indices->WriteQuoted(IndexCaption(i));
      }
      out.Indices->EndLine();
    }
    for (TDistribution& d : out.Dists) {
      const std::u16string_view caption =
          d.IsSecondary ? MeasureSecondaryCaption(static_cast<tMeasureSecondary>(d.Ordinal))
                        : MeasureCaption(static_cast<tMeasure>(d.Ordinal));
      d.File = Open(TOutputType::outDistribution, kind, caption);
    }
  }
}

void TOutputStructures::WriteKeyHeader(TResultFile& file) const {
  file.Write(std::string_view("\"File Name\",\"Text id\""));
  if (documentIds_) file.Write(std::string_view(",\"Document id\""));
}

void TOutputStructures::WriteKey(TResultFile& file, bool withId) {
  if (safeCsv_) {
    file.WriteQuotedSafe(LastMETA);
  } else {
    file.WriteQuoted(LastMETA);
  }
  line_.assign(u",\"");
  AppendUnsigned(line_, static_cast<std::uint64_t>(TextNumber));
  line_ += u'"';
  file.Write(line_);
  if (withId && documentIds_) {
    file.Write(std::string_view(","));
    if (safeCsv_) {
      file.WriteQuotedSafe(lastId_);
    } else {
      file.WriteQuoted(lastId_);
    }
  }
}

void TOutputStructures::WriteEndedDocument(tWordOrLemma kind, TKindOutput& out) {
  TSimpleTTR& engine = Engine(kind);
  if (out.Serie) {
    folder_->Keep(*out.Serie);
    out.Serie.reset();
  }
  if (out.Average) {
    WriteKey(*out.Average, true);
    line_.clear();
    engine.Total().AppendToLine(line_, u",", u"\"", aMeasures, aMeasuresSecondary, precision_);
    out.Average->Write(line_);
    out.Average->EndLine();
  }
  if (out.WholeTexts) {
    WriteKey(*out.WholeTexts, true);
    line_.clear();
    engine.WholeText().AppendToLine(line_, u",", u"\"", aMeasures, aMeasuresSecondary, precision_);
    out.WholeTexts->Write(line_);
    out.WholeTexts->EndLine();
  }
  if (out.Indices) {
    WriteKey(*out.Indices, true);
    const TIndices& computed = *indices[static_cast<std::size_t>(kind)];
    const TIndexValues values = computed.Values();
    line_.clear();
    for (const tIndex i : computed.GetIndices()) {
      line_ += u",\"";
      AppendNumber(line_, values[i], IndexDigits(i), precision_);
      line_ += u'"';
    }
    out.Indices->Write(line_);
    out.Indices->EndLine();
  }
  for (TDistribution& d : out.Dists) {
    WriteKey(*d.File, false);
    d.File->EndLine();
    d.Dist.WriteOutput(*d.File);
    // The run's distribution is the sum of the documents': adding each document's counters
    // once is far cheaper than a second counter update for every window.
    d.DistTotal.Add(d.Dist);
    d.Dist.Clear();
  }
}

void TOutputStructures::NewDoc(std::u16string_view name, std::u16string_view id) {
  if (!runFilesOpen_) OpenRunFiles();
  if (TextNumber > 0) CountIfShort();
  const std::u16string header = GetHeader();
  for (const tWordOrLemma kind : aWoL) {
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    if (TextNumber > 0) WriteEndedDocument(kind, out);
    out.LastWindow = 0;
    if (aOutputTypes.Contains(TOutputType::outSerie)) {
      out.Serie = Open(TOutputType::outSerie, kind);
      out.Serie->Write(std::string_view("\"Window id\""));
      out.Serie->Write(header);
      out.Serie->EndLine();
    }
  }
  ++TextNumber;
  LastMETA.assign(name);
  lastId_.assign(id);
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
      const double value = d.IsSecondary ? secondary_[static_cast<tMeasureSecondary>(d.Ordinal)]
                                         : actual.BasicMetrics(static_cast<tMeasure>(d.Ordinal));
      d.Dist.PridejKDistribuci(value, 1);
    }
    if (out.Serie) {
      line_.assign(u"\"");
      AppendUnsigned(line_, window);
      line_ += u'"';
      actual.AppendToLine(line_, u",", u"\"", aMeasures, aMeasuresSecondary, precision_);
      out.Serie->Write(line_);
      out.Serie->EndLine();
    }
  }
}

void TOutputStructures::LastDoc() {
  if (!runFilesOpen_) OpenRunFiles();
  if (TextNumber > 0) CountIfShort();
  for (const tWordOrLemma kind : aWoL) {
    TKindOutput& out = kinds_[static_cast<std::size_t>(kind)];
    if (TextNumber > 0) WriteEndedDocument(kind, out);
    for (std::unique_ptr<TResultFile>* file : {&out.Average, &out.WholeTexts, &out.Indices}) {
      if (!*file) continue;
      CheckCancel();
      folder_->Keep(**file);
      file->reset();
    }
    for (TDistribution& d : out.Dists) {
      CheckCancel();
      if (TextNumber == 0) d.DistTotal.Add(d.Dist);  // windows recorded outside any document
      d.File->Write(std::string_view("\"TOTAL\""));
      d.File->EndLine();
      d.DistTotal.WriteOutput(*d.File);
      folder_->Keep(*d.File);
      d.File.reset();
    }
  }
  CheckCancel();
  folder_->Commit();
}

}  // namespace tavora
