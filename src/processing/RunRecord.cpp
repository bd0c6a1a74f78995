#include "processing/RunRecord.h"

#include <system_error>

#include "base/Paths.h"
#include "base/Utf8.h"
#include "results/TRunFolder.h"

namespace fs = std::filesystem;

namespace tavora {

namespace {

TJsonValue Text(std::u16string_view text) { return TJsonValue(Utf16ToUtf8(text)); }

TJsonValue ListFile(const TWordOrLemmaNames& names, tWordOrLemma kind) {
  return names[kind].empty() ? TJsonValue() : Text(names[kind]);
}

TJsonValue Kinds(TWordOrLemmaSet WoL) {
  TJsonValue kinds = TJsonValue::Array();
  for (const tWordOrLemma k : WoL) kinds.Push(std::string(KindName(k)));
  return kinds;
}

// The database among the destinations; nothing is said when it is not.
void SetDatabase(TJsonValue& o, const TResultDestinations& d) {
  if (!d.Database) return;
  o.Set("database", d.DatabaseFile.empty() ? TJsonValue() : Text(d.DatabaseFile));
  o.Set("replaceDatabase", d.ReplaceDatabase);
}

TJsonValue Options(const TMeasureParameters& p) {
  TJsonValue o = TJsonValue::Object();
  o.Set("format", Text(InputFormat(p.How).Caption));
  o.Set("kinds", Kinds(p.WoL));
  o.Set("windowLength", p.LagLength);
  TJsonValue measures = TJsonValue::Array();
  for (const tMeasure m : p.measures) measures.Push(Text(MeasureCaption(m)));
  for (const tMeasureSecondary m : p.MeasuresSecondary)
    measures.Push(Text(MeasureSecondaryCaption(m)));
  o.Set("measures", std::move(measures));
  TJsonValue outputs = TJsonValue::Array();
  for (const TOutputType t : p.OutputTypes) outputs.Push(std::string(OutputTypeName(t)));
  o.Set("outputs", std::move(outputs));
  if (p.OutputTypes.Contains(TOutputType::outIndices)) {
    TJsonValue indices = TJsonValue::Array();
    for (const tIndex i : p.Indices) indices.Push(Text(IndexCaption(i)));
    o.Set("indices", std::move(indices));
  }
  o.Set("case", std::string(CaseName(p.CS)));
  o.Set("omitPunctuation", p.DoOmitPunctuation);
  o.Set("omitDigits", p.DoOmitDigits);
  o.Set("hillsQ", p.HillsQ);
  o.Set("wordList", ListFile(p.ReferenceDictionary, tWordOrLemma::tokWord));
  o.Set("lemmaList", ListFile(p.ReferenceDictionary, tWordOrLemma::tokLemma));
  o.Set("referenceContainsTexts", p.RefDicContrainsText);
  if (p.Custom.IsCustomVertical) {
    TJsonValue c = TJsonValue::Object();
    c.Set("wordColumn", p.Custom.WordIndex);
    c.Set("lemmaColumn", p.Custom.LemmaIndex);
    c.Set("tagColumn", p.Custom.TagIndex);
    c.Set("documentMarker", Text(p.Custom.NewDocMarker));
    c.Set("autosemanticTags", Text(p.AutosemanticTags));
    o.Set("customVertical", std::move(c));
  }
  o.Set("safeCsv", p.SafeCsv);
  o.Set("autosemanticRule", std::string(AutosemanticRuleName(p.Corpus.AutosemanticRule)));
  o.Set("universalDependencies", p.Corpus.UniversalDependencies);
  o.Set("documentPerFile", p.Corpus.DocumentPerFile);
  o.Set("documentIds", p.Corpus.DocumentIds);
  o.Set("precision", std::string(PrecisionName(p.Corpus.Precision)));
  if (p.Destinations.Database) o.Set("csvFiles", p.Destinations.CsvFiles);
  SetDatabase(o, p.Destinations);
  return o;
}

TJsonValue Inputs(bool IsWholeText, std::u16string_view Input) {
  TJsonValue inputs = TJsonValue::Array();
  if (IsWholeText) return inputs;
  for (std::size_t start = 0; start < Input.size();) {
    std::size_t end = Input.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = Input.size();
    if (end > start) inputs.Push(Text(Input.substr(start, end - start)));
    start = end + 1;
  }
  return inputs;
}

}  // namespace

TJsonValue MeasureRunDescription(const TMeasureParameters& p, std::u16string_view Input) {
  TJsonValue d = TJsonValue::Object();
  d.Set("task", "measure");
  d.Set("options", Options(p));
  d.Set("inputs", Inputs(p.IsWholeText, Input));
  d.Set("inputText", p.IsWholeText);
  return d;
}

TJsonValue DictionaryRunDescription(const TDictionaryParameters& p, std::u16string_view Input) {
  TJsonValue o = TJsonValue::Object();
  o.Set("format", Text(InputFormat(p.How).Caption));
  o.Set("kinds", Kinds(p.WoL));
  o.Set("case", std::string(CaseName(p.CS)));
  o.Set("omitPunctuation", p.DoOmitPunctuation);
  o.Set("omitDigits", p.DoOmitDigits);
  const bool word = p.WoL.Contains(tWordOrLemma::tokWord);
  const bool lemma = p.WoL.Contains(tWordOrLemma::tokLemma);
  o.Set("wordList", word ? Text(p.OutputFileWF) : TJsonValue());
  o.Set("lemmaList", lemma ? Text(p.OutputFileLemma) : TJsonValue());
  o.Set("universalDependencies", p.Corpus.UniversalDependencies);
  o.Set("documentPerFile", p.Corpus.DocumentPerFile);
  SetDatabase(o, p.Destinations);
  TJsonValue d = TJsonValue::Object();
  d.Set("task", "freqlist");
  d.Set("options", std::move(o));
  d.Set("inputs", Inputs(p.IsWholeText, Input));
  d.Set("inputText", p.IsWholeText);
  return d;
}

TTokenizationStream::TWalkFilter TOwnFilesLeftOut::Filter() {
  return [this](const fs::path& entry, bool isFolder) { return LeavesOut(entry, isFolder); };
}

bool TOwnFilesLeftOut::LeavesOut(const fs::path& entry, bool isFolder) {
  std::error_code ec;
  if (isFolder) {
    for (const fs::path& folder : folders_) {
      if (fs::equivalent(entry, folder, ec)) {
        foldersMet_.push_back(entry);
        return true;
      }
    }
    return false;
  }
  bool own = TRunFolder::IsWrittenByRuns(PathToUtf8(entry.filename()));
  for (const fs::path& file : files_)
    own = own || (entry.filename() == file.filename() && fs::equivalent(entry, file, ec));
  if (own) ++filesMet_;
  return own;
}

std::string TOwnFilesLeftOut::Warning() const {
  std::string text;
  for (const fs::path& folder : foldersMet_) {
    text += text.empty() ? "The output folder " : ", the output folder ";
    text += QuotedPath(folder);
  }
  if (filesMet_ > 0) {
    text += text.empty() ? "" : " and ";
    text += std::to_string(filesMet_) + (filesMet_ == 1 ? " file" : " files") +
            " that Tavora writes (result files, run records, frequency lists)";
  }
  if (text.empty()) return text;
  const bool one = foldersMet_.size() + (filesMet_ > 0 ? 1 : 0) == 1 && filesMet_ <= 1;
  return text + (one ? " was" : " were") + " left out of the input.";
}

}  // namespace tavora
