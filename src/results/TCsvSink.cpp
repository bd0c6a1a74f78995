#include "results/TCsvSink.h"

#include <charconv>

#include "results/TIntervals.h"
#include "results/TResultFile.h"
#include "results/TRunFolder.h"

namespace tavora {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }

void AppendUnsigned(std::u16string& out, std::uint64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (const char* p = digits; p != end; ++p) out += static_cast<char16_t>(*p);
}

}  // namespace

TCsvSink::TCsvSink(TRunFolder& Folder) : folder_(Folder) {}

TCsvSink::~TCsvSink() = default;

std::u16string TCsvSink::Header(TMeasureSet Measures, tMeasureSecondarySet MeasuresSecondary) {
  std::u16string header;
  for (const TMeasureRef m : MeasureRefs(Measures, MeasuresSecondary)) {
    header += u",\"";
    header += m.Caption();
    header += u'"';
  }
  return header;
}

std::unique_ptr<TResultFile> TCsvSink::Open(TOutputType Family, tWordOrLemma Kind, std::int64_t Doc,
                                            std::u16string_view Caption) const {
  TResultName name;
  name.Family = Family;
  name.Kind = Kind;
  name.Lag = layout_.LagLength;
  name.Doc = Doc;
  name.Caption.assign(Caption);
  return std::make_unique<TResultFile>(folder_.GetFolder() /
                                       std::filesystem::path(ResultFileName(name)));
}

void TCsvSink::OpenTable(std::unique_ptr<TResultFile>& File, TOutputType Family,
                         tWordOrLemma Kind) {
  File = Open(Family, Kind);
  WriteKeyHeader(*File);
  if (Family == TOutputType::outIndices) {
    for (const tIndex i : layout_.Indices[Slot(Kind)]) {
      File->Write(std::string_view(","));
      File->WriteQuoted(IndexCaption(i));
    }
  } else {
    File->Write(header_);
  }
  File->EndLine();
}

void TCsvSink::BeginRun(const TResultLayout& Layout) {
  layout_ = Layout;
  header_ = Header(Layout.Measures, Layout.MeasuresSecondary);
  const TOutputTypeSet families = Layout.Families;
  for (const tWordOrLemma kind : Layout.Kinds) {
    TKindFiles& files = files_[Slot(kind)];
    if (families.Contains(TOutputType::outAverage))
      OpenTable(files.Average, TOutputType::outAverage, kind);
    if (families.Contains(TOutputType::outWholeTexts))
      OpenTable(files.WholeTexts, TOutputType::outWholeTexts, kind);
    if (families.Contains(TOutputType::outIndices) && !Layout.Indices[Slot(kind)].Empty())
      OpenTable(files.Indices, TOutputType::outIndices, kind);
    if (families.Contains(TOutputType::outDistribution)) {
      for (const TMeasureRef m : MeasureRefs(Layout.Measures, Layout.MeasuresSecondary))
        files.Dists.push_back(Open(TOutputType::outDistribution, kind, 0, m.Caption()));
    }
  }
}

void TCsvSink::BeginDocument(const TDocumentKey& Document) {
  docNumber_ = Document.Number;
  docName_.assign(Document.Name);
  docId_.assign(Document.Id);
  if (!layout_.Families.Contains(TOutputType::outSerie)) return;
  for (const tWordOrLemma kind : layout_.Kinds) {
    std::unique_ptr<TResultFile>& serie = files_[Slot(kind)].Serie;
    serie = Open(TOutputType::outSerie, kind, Document.Number);
    serie->Write(std::string_view("\"Window id\""));
    serie->Write(header_);
    serie->EndLine();
  }
}

void TCsvSink::Window(tWordOrLemma Kind, std::uint64_t WindowId, const TPositionResults& Values) {
  TResultFile& serie = *files_[Slot(Kind)].Serie;
  line_.assign(u"\"");
  AppendUnsigned(line_, WindowId);
  line_ += u'"';
  Values.AppendToLine(line_, u",", u"\"", layout_.Measures, layout_.MeasuresSecondary, precision_);
  serie.Write(line_);
  serie.EndLine();
}

void TCsvSink::WriteKeyHeader(TResultFile& File) const {
  File.Write(std::string_view("\"File Name\",\"Text id\""));
  if (documentIds_) File.Write(std::string_view(",\"Document id\""));
}

void TCsvSink::WriteField(TResultFile& File, std::u16string_view Text) const {
  if (safeCsv_) {
    File.WriteQuotedSafe(Text);
  } else {
    File.WriteQuoted(Text);
  }
}

void TCsvSink::WriteKey(TResultFile& File, bool WithId) {
  WriteField(File, docName_);
  line_.assign(u",\"");
  AppendUnsigned(line_, static_cast<std::uint64_t>(docNumber_));
  line_ += u'"';
  File.Write(line_);
  if (WithId && documentIds_) {
    File.Write(std::string_view(","));
    WriteField(File, docId_);
  }
}

void TCsvSink::EndDocument(const TDocumentEnd& End) {
  TKindFiles& files = files_[Slot(End.Kind)];
  if (files.Serie) {
    folder_.Keep(*files.Serie);
    files.Serie.reset();
  }
  // One line of the document's values of every chosen measure.
  const auto writeValues = [this](TResultFile& file, const auto& values) {
    WriteKey(file, true);
    line_.clear();
    values.AppendToLine(line_, u",", u"\"", layout_.Measures, layout_.MeasuresSecondary,
                        precision_);
    file.Write(line_);
    file.EndLine();
  };
  if (files.Average) writeValues(*files.Average, *End.Averages);
  if (files.WholeTexts) writeValues(*files.WholeTexts, *End.WholeText);
  if (files.Indices) {
    WriteKey(*files.Indices, true);
    line_.clear();
    for (const tIndex i : layout_.Indices[Slot(End.Kind)]) {
      line_ += u",\"";
      AppendNumber(line_, (*End.Indices)[i], IndexDigits(i), precision_);
      line_ += u'"';
    }
    files.Indices->Write(line_);
    files.Indices->EndLine();
  }
  for (std::size_t d = 0; d < files.Dists.size(); ++d) {
    WriteKey(*files.Dists[d], false);
    files.Dists[d]->EndLine();
    End.Distributions[d].Counts->WriteOutput(*files.Dists[d]);
  }
}

void TCsvSink::EndRun(const TRunEnd& End) {
  for (const tWordOrLemma kind : layout_.Kinds) {
    TKindFiles& files = files_[Slot(kind)];
    for (std::unique_ptr<TResultFile>* file : {&files.Average, &files.WholeTexts, &files.Indices}) {
      if (!*file) continue;
      CheckCancel();
      folder_.Keep(**file);
      file->reset();
    }
    for (std::size_t d = 0; d < files.Dists.size(); ++d) {
      CheckCancel();
      TResultFile& file = *files.Dists[d];
      file.Write(std::string_view("\"TOTAL\""));
      file.EndLine();
      End.Distributions[Slot(kind)][d].Counts->WriteOutput(file);
      folder_.Keep(file);
      files.Dists[d].reset();
    }
  }
}

}  // namespace tavora
