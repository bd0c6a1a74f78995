#include "options/TOptionEncoders.h"

#include <cmath>

#include "base/Utf8.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"

namespace tavora {

TWordOrLemmaSet TOptionEncoders::EncodeWoL() const {
  TWordOrLemmaSet s;
  for (const tWordOrLemma k : TWordOrLemmaSet::All()) {
    if (Checked(kKindBoxes[static_cast<std::size_t>(k)])) s.Include(k);
  }
  return s;
}

TMeasureSet TOptionEncoders::EncodeMetrics() const {
  TMeasureSet s{tMeasure::vTokens};
  for (const tMeasure m : TMeasureSet::All()) {
    const std::string_view box = kMeasureBoxes[static_cast<std::size_t>(m)];
    if (!box.empty() && Checked(box)) s.Include(m);
  }
  return s;
}

tMeasureSecondarySet TOptionEncoders::EncodeMetricsSecondary() const {
  tMeasureSecondarySet s;
  for (const tMeasureSecondary m : tMeasureSecondarySet::All()) {
    const std::string_view box = kMeasureSecondaryBoxes[static_cast<std::size_t>(m)];
    if (!box.empty() && Checked(box)) s.Include(m);
  }
  return s;
}

TOutputTypeSet TOptionEncoders::EncodeOutputTypes() const {
  TOutputTypeSet s;
  for (const TOutputType t : TOutputTypeSet::All()) {
    if (Checked(kOutputBoxes[static_cast<std::size_t>(t)])) s.Include(t);
  }
  return s;
}

TIndexSet TOptionEncoders::EncodeIndices() const {
  TIndexSet s;
  for (const tIndex i : TIndexSet::All()) {
    if (Checked(kIndexBoxes[static_cast<std::size_t>(i)])) s.Include(i);
  }
  return s;
}

double TOptionEncoders::ReadMtldThreshold(std::u16string_view Text) {
  // One message for unreadable and out-of-range texts, so that it names the field.
  const EConvertError error("'" + Utf16ToUtf8(Text) +
                            "' is not an MTLD threshold (a number from 0.000001 to 0.999999)");
  double threshold = 0;
  try {
    threshold = ReadFloat(Text);
  } catch (const EConvertError&) {
    throw error;
  }
  // The indices take the threshold to 6 decimals.
  const double millionths = std::round(threshold * 1e6);
  if (!(millionths >= 1 && millionths <= 999999)) throw error;
  return threshold;
}

TIndexVariants TOptionEncoders::EncodeIndexVariants() const {
  TIndexVariants v;
  if (!Checked(ctl::CheckBoxIndices)) return v;
  v.MtldThreshold = ReadMtldThreshold(Text(ctl::EditMtldThreshold));
  v.MtldRule = static_cast<TMtldRule>(Index(ctl::RadioGroupMtldRule));
  v.HddSample = static_cast<std::uint32_t>(Value(ctl::SpinEditHddSample));
  v.LogBase = static_cast<TLogBase>(Index(ctl::RadioGroupLogBase));
  v.Seed = static_cast<std::uint64_t>(Value(ctl::SpinEditSeed));
  return v;
}

void TOptionEncoders::EncodeCustomVertcal(TCustomVertical& Custom) const {
  Custom.IsCustomVertical = Index(ctl::RGInputType) == static_cast<int>(THow::jCustomVertical);
  Custom.WordIndex = Value(ctl::SpinEditWord);
  Custom.LemmaIndex =
      Checked(ctl::CheckBoxColumnLemmata) ? Value(ctl::SpinEditLemma) : Custom.WordIndex;
  Custom.TagIndex = Checked(ctl::CheckBoxCollumnTags) ? Value(ctl::SpinEditTags) : Custom.WordIndex;
  Custom.NewDocMarker = Text(ctl::EditTextBegin);
}

TCorpusOptions TOptionEncoders::EncodeCorpusOptions() const {
  TCorpusOptions o;
  o.AutosemanticRule = static_cast<TAutosemanticChoice>(Index(ctl::ComboBoxAutosemanticRule));
  o.UniversalDependencies = Checked(ctl::CheckBoxUniversalDependencies);
  o.DocumentPerFile = Checked(ctl::CheckBoxDocumentPerFile);
  o.DocumentIds = Checked(ctl::CheckBoxDocumentIds);
  o.Precision = Checked(ctl::CheckBoxFullPrecision) ? TPrecision::Full : TPrecision::Fixed;
  return o;
}

int TOptionEncoders::Value(std::string_view Name) const {
  const TControl& c = c_[Name];
  return ReadIntegerField(c.Text, c.MinValue, c.MaxValue);
}

THow TOptionEncoders::How() const {
  const int t = Index(ctl::RGInputType);
  // Pasted text is always read as plain text; so is input with no format chosen.
  if (t < 0 || Index(ctl::RGMode) == 1) return THow::JStandard;
  return static_cast<THow>(t);
}

TWordOrLemmaNames TOptionEncoders::GetReferenceFileNames() const {
  TWordOrLemmaNames names;
  if (!c_[ctl::CheckBoxReferenceContains].Shown) return names;
  if (Checked(ctl::CheckBoxWordForms)) names[tWordOrLemma::tokWord] = Text(ctl::EditWordDictionary);
  if (Checked(ctl::CheckBoxLemmata)) names[tWordOrLemma::tokLemma] = Text(ctl::EditLemmaDictionary);
  return names;
}

TMeasureParameters TOptionEncoders::GetMeasureParameters() const {
  TMeasureParameters p;
  p.ReferenceDictionary = GetReferenceFileNames();
  p.AutosemanticTags = Text(ctl::EditTagsForAutosemantics);
  p.InputFile = Text(ctl::MemoListOfTexts);
  p.OutputFolder = Text(ctl::EditOutputDirectory);
  p.DoOmitPunctuation = Checked(ctl::CheckBoxOmitPunctuation);
  p.DoOmitDigits = Checked(ctl::CheckBoxOmitDigits);
  p.WoL = EncodeWoL();
  p.measures = EncodeMetrics();
  p.MeasuresSecondary = EncodeMetricsSecondary();
  p.Custom.Clear();
  EncodeCustomVertcal(p.Custom);
  p.LagLength = static_cast<std::uint32_t>(Value(ctl::SpinEditWindowLength));
  p.OutputTypes = EncodeOutputTypes();
  p.Indices = EncodeIndices();
  p.SafeCsv = Checked(ctl::CheckBoxSafeCsv);
  p.Destinations.CsvFiles = Checked(ctl::CheckBoxOutputCsv);
  p.Destinations.Database = Checked(ctl::CheckBoxOutputDatabase);
  p.IndexVariants = EncodeIndexVariants();
  p.HillsQ = ReadFloat(Text(ctl::EditHillsQ));
  if (!IsAcceptedHillsQ(p.HillsQ)) throw EConvertError(HillsQRangeMessage(p.HillsQ));
  p.RefDicContrainsText = Checked(ctl::CheckBoxReferenceContains);
  p.How = How();
  p.IsWholeText = Index(ctl::RGMode) == 1;
  p.Encoding = Encoding();
  p.CS = static_cast<TCasesensitiveness>(Index(ctl::RadioGroupCaseSensitivity));
  p.Corpus = EncodeCorpusOptions();
  return p;
}

TDictionaryParameters TOptionEncoders::GetDictionaryParameters() const {
  TDictionaryParameters p;
  p.InputFile = Text(ctl::MemoListOfTexts);
  p.OutputFileWF = Text(ctl::EditWordDictionary);
  p.OutputFileLemma = Text(ctl::EditLemmaDictionary);
  p.DoOmitPunctuation = Checked(ctl::CheckBoxOmitPunctuation);
  p.DoOmitDigits = Checked(ctl::CheckBoxOmitDigits);
  p.WoL = EncodeWoL();
  p.Custom.Clear();
  EncodeCustomVertcal(p.Custom);
  p.How = How();
  p.IsWholeText = Index(ctl::RGMode) == 1;
  p.Encoding = Encoding();
  p.CS = static_cast<TCasesensitiveness>(Index(ctl::RadioGroupCaseSensitivity));
  p.Corpus = EncodeCorpusOptions();
  p.Corpus.DocumentIds = false;
  p.Corpus.Precision = TPrecision::Fixed;
  return p;
}

std::string TOptionEncoders::Encoding() const {
  // Pasted text is Unicode already; the field names the encoding of files.
  if (Index(ctl::RGMode) == 1) return {};
  return Utf16ToUtf8(Text(ctl::EditEncoding));
}

}  // namespace tavora
