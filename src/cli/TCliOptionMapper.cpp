#include "cli/TCliOptionMapper.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/Utf8.h"
#include "cli/CliNames.h"
#include "cli/TUsageError.h"
#include "engine/Indices.h"
#include "input/THow.h"
#include "input/TTextDecoder.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

constexpr int kMeasuring = 0;
constexpr int kFrequencyLists = 1;
constexpr int kCustomFormat = static_cast<int>(THow::jCustomVertical);

constexpr int kConlluFormat = static_cast<int>(THow::jCONLLU);

// Options that only the custom vertical format reads (its column panel).
constexpr std::string_view kCustomOnly[] = {"word-column", "lemma-column", "tag-column",
                                            "doc-marker"};

std::size_t IndexOf(const auto& names, std::string_view name, std::string_view option) {
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) {
    throw TUsageError("Unknown " + std::string(option) + " '" + std::string(name) + "'");
  }
  return static_cast<std::size_t>(it - names.begin());
}

// The members of a set of measures that a check box of the window chooses.
template <class TSet, class TBoxes>
TSet Boxed(TSet set, const TBoxes& boxes) {
  TSet boxed;
  for (const auto m : set) {
    if (!boxes[static_cast<std::size_t>(m)].empty()) boxed.Include(m);
  }
  return boxed;
}

}  // namespace

int TCliOptionMapper::FormatIndex() const {
  return static_cast<int>(IndexOf(kCliFormatNames, choices_.Format, "format"));
}

TWordOrLemmaSet TCliOptionMapper::RequestedKinds() const {
  TWordOrLemmaSet kinds;
  for (const std::string& name : SplitCommaList(choices_.Kinds)) {
    const auto it = std::find_if(kCliKinds.begin(), kCliKinds.end(),
                                 [&](const TCliKind& k) { return k.Name == name; });
    if (it == kCliKinds.end()) {
      throw TUsageError("--kinds: unknown kind '" + name + "' (word, lemma or word,lemma)");
    }
    kinds.Include(it->Kind);
  }
  if (kinds.Empty()) throw TUsageError("--kinds: name word, lemma or word,lemma");
  return kinds;
}

void TCliOptionMapper::Ignore(std::string_view Option, std::string_view Why) {
  warnings_.push_back("--" + std::string(Option) + " " + std::string(Why) + "; ignored");
}

void TCliOptionMapper::IgnoreListsOfOtherKinds(TWordOrLemmaSet Kinds) {
  wordListIgnored_ = !choices_.WordList.empty() && !Kinds.Contains(tWordOrLemma::tokWord);
  lemmaListIgnored_ = !choices_.LemmaList.empty() && !Kinds.Contains(tWordOrLemma::tokLemma);
  if (wordListIgnored_) Ignore("word-list", "needs word in --kinds");
  if (lemmaListIgnored_) Ignore("lemma-list", "needs lemma in --kinds");
}

void TCliOptionMapper::SetShared(int Task) {
  const int format = FormatIndex();
  const bool custom = format == kCustomFormat;
  if (!custom) {
    for (std::string_view option : kCustomOnly) {
      if (choices_.IsGiven(option)) Ignore(option, "applies only to --format custom");
    }
  }
  if (choices_.IsGiven("ud") && format != kConlluFormat)
    Ignore("ud", "applies only to --format conllu");

  // Standard input is set up as files in the chosen format, so that every rule of the
  // format applies (lemmata, tags); the parameters then name standard input.
  model_.SetItemIndex(ctl::RGMode, 0);
  model_.SetItemIndex(ctl::RGInputType, format);
  if (custom) {
    model_.SetValue(ctl::SpinEditWord, choices_.WordColumn);
    if (choices_.IsGiven("lemma-column")) {
      model_.SetChecked(ctl::CheckBoxColumnLemmata, true);
      model_.SetValue(ctl::SpinEditLemma, choices_.LemmaColumn);
    }
    if (choices_.IsGiven("tag-column")) {
      model_.SetChecked(ctl::CheckBoxCollumnTags, true);
      model_.SetValue(ctl::SpinEditTags, choices_.TagColumn);
    }
    model_.SetText(ctl::EditTextBegin, Utf8ToUtf16(choices_.DocMarker));
  }
  model_.SetChecked(ctl::CheckBoxUniversalDependencies,
                    format == kConlluFormat && choices_.UniversalDependencies);
  if (!TTextDecoder::IsKnown(choices_.Encoding)) {
    throw TUsageError("--encoding: unknown encoding '" + choices_.Encoding +
                      "' (give a name ICU knows, such as windows-1250, ISO-8859-2, KOI8-R or "
                      "UTF-16LE)");
  }
  model_.SetText(ctl::EditEncoding, Utf8ToUtf16(choices_.Encoding));
  model_.SetItemIndex(ctl::RadioGroupCaseSensitivity,
                      static_cast<int>(IndexOf(kCaseNames, choices_.Case, "case handling")));
  model_.SetChecked(ctl::CheckBoxOmitPunctuation, !choices_.KeepPunctuation);
  model_.SetChecked(ctl::CheckBoxOmitDigits, !choices_.KeepDigits);

  const TWordOrLemmaSet kinds = RequestedKinds();
  for (const TCliKind& k : kCliKinds) {
    const bool wanted = kinds.Contains(k.Kind);
    if (wanted && !model_.IsEnabled(k.Box())) {
      if (format == kCustomFormat) {
        throw TUsageError("--kinds lemma with --format custom needs --lemma-column");
      }
      throw TUsageError("--kinds: --format " + choices_.Format +
                        " carries no lemmata (use vertical, coca, conllu, bnc or custom)");
    }
    model_.SetChecked(k.Box(), wanted);
  }
  IgnoreListsOfOtherKinds(kinds);
  model_.SetItemIndex(ctl::RadioGroupWhatToDo, Task);
}

void TCliOptionMapper::SetAutosemanticRule(int Format) {
  const TInputFormat& format = *InputFormatAt(Format);
  const auto choice = static_cast<TAutosemanticChoice>(
      IndexOf(kAutosemanticRuleNames, choices_.AutosemanticRule, "rule of autosemantics"));
  const bool tagged = format.AutosemanticChoices != 0;
  if (!tagged) {
    if (choices_.IsGiven("autosemantic-rule"))
      Ignore("autosemantic-rule", "needs a format with tags");
    if (choices_.IsGiven("autosemantic-tags"))
      Ignore("autosemantic-tags", "needs a format with tags");
    return;
  }
  if (choices_.IsGiven("autosemantic-rule")) {
    if (!AllowsChoice(format, choice)) {
      throw TUsageError("--autosemantic-rule " + choices_.AutosemanticRule +
                        " needs --format conllu");
    }
    model_.SetItemIndex(ctl::ComboBoxAutosemanticRule, static_cast<int>(choice));
  }
  const bool prefixes = RuleOf(format, static_cast<TAutosemanticChoice>(
                                           model_.GetItemIndex(ctl::ComboBoxAutosemanticRule))) ==
                        TAutosemanticRule::Prefixes;
  if (choices_.IsGiven("autosemantic-tags") && !prefixes) {
    Ignore("autosemantic-tags", "applies to --format custom and --autosemantic-rule prefixes");
  }
  model_.SetText(ctl::EditTagsForAutosemantics, Utf8ToUtf16(choices_.AutosemanticTags));
}

void TCliOptionMapper::SetMeasures(TMeasureSet& Basic, tMeasureSecondarySet& Secondary) {
  // "tokens" is always measured.
  Basic = TMeasureSet{tMeasure::vTokens};
  Secondary = {};
  for (const std::string& name : SplitCommaList(choices_.Measures)) {
    const std::optional<TCliMeasure> m = FindCliMeasure(name);
    if (!m) throw TUsageError(UnknownMeasureMessage(name));
    if (m->IsSecondary) {
      Secondary.Include(static_cast<tMeasureSecondary>(m->Ordinal));
    } else {
      Basic.Include(static_cast<tMeasure>(m->Ordinal));
    }
  }
  // One check box each where the window has one, as the user would tick it.
  bool otherMetrics = false;
  bool legacyMetrics = false;
  for (const TCliMeasure& m : kCliMeasures) {
    if (m.Box().empty()) continue;
    const bool wanted = m.IsSecondary
                            ? Secondary.Contains(static_cast<tMeasureSecondary>(m.Ordinal))
                            : Basic.Contains(static_cast<tMeasure>(m.Ordinal));
    if (wanted && !model_.IsEnabled(m.Box())) {
      if (FormatIndex() == kCustomFormat) {
        throw TUsageError("--measures: " + std::string(m.Name) +
                          " with --format custom needs --tag-column");
      }
      throw TUsageError("--measures: " + std::string(m.Name) + " needs tags, which --format " +
                        choices_.Format + " does not carry");
    }
    model_.SetChecked(m.Box(), wanted);
    const std::string& panel = model_.Control(m.Box()).Parent;
    if (wanted && panel == ctl::PanelOtherMetrics) otherMetrics = true;
    if (wanted && panel == ctl::PanelLegacyMetrics) otherMetrics = legacyMetrics = true;
  }
  // The panels that hold the boxes, opened as the user would; they carry no value.
  model_.SetChecked(ctl::CheckBoxOtherMetrics, otherMetrics);
  model_.SetChecked(ctl::CheckBoxLegacyMetrics, legacyMetrics);
}

void TCliOptionMapper::SetOutputs(TOutputTypeSet& Outputs, TIndexSet& Indices) {
  Outputs = {};
  bool csv = false;
  bool sqlite = false;
  for (const std::string& name : SplitCommaList(choices_.Outputs)) {
    if (name == kCliCsv || name == kCliSqlite) {
      (name == kCliCsv ? csv : sqlite) = true;
      continue;
    }
    const auto it = std::find_if(kCliOutputs.begin(), kCliOutputs.end(),
                                 [&](const TCliOutput& o) { return o.Name == name; });
    if (it == kCliOutputs.end()) {
      throw TUsageError(
          "--outputs: unknown result family '" + name + "' (" +
          JoinNames(
              kOutputTypeNames, [](std::string_view n) { return std::string(n); }, ", ") +
          "; " + std::string(kCliCsv) + ", " + std::string(kCliSqlite) + ")");
    }
    Outputs.Include(it->Type);
  }
  // A list that names no family takes the averages, as one that is not given.
  if (Outputs.Empty() && sqlite) Outputs.Include(TOutputType::outAverage);
  for (const TCliOutput& o : kCliOutputs) model_.SetChecked(o.Box(), Outputs.Contains(o.Type));
  // The CSV files unless the list names only the database.
  model_.SetChecked(ctl::CheckBoxOutputCsv, csv || !sqlite);
  model_.SetChecked(ctl::CheckBoxOutputDatabase, sqlite);
  IgnoreDatabaseOptions(sqlite);

  // Further indices: the default set unless --indices names some; they need the indices
  // family.
  Indices = kDefaultIndices;
  if (choices_.IsGiven("indices")) {
    if (!Outputs.Contains(TOutputType::outIndices))
      throw TUsageError("--indices needs --outputs with indices");
    try {
      Indices = ParseIndexList(choices_.Indices);
    } catch (const std::invalid_argument& e) {
      throw TUsageError(std::string("--indices: ") + e.what());
    }
  }
  if (Outputs.Contains(TOutputType::outIndices)) {
    for (const tIndex i : TIndexSet::All())
      model_.SetChecked(kIndexBoxes[static_cast<std::size_t>(i)], Indices.Contains(i));
  }
}

TIndexVariants TCliOptionMapper::SetIndexVariants() {
  TIndexVariants v;
  try {
    v.MtldThreshold = TOptionEncoders::ReadMtldThreshold(Utf8ToUtf16(choices_.MtldThreshold));
  } catch (const EConvertError& e) {
    throw TUsageError(std::string("--mtld-threshold: ") + e.what());
  }
  const std::size_t rule = IndexOf(kCliMtldRuleNames, choices_.MtldRule, "MTLD rule");
  const std::size_t base = IndexOf(kCliLogBaseNames, choices_.LogBase, "logarithm");
  v.MtldRule = static_cast<TMtldRule>(rule);
  v.HddSample = static_cast<std::uint32_t>(choices_.HddSample);
  v.LogBase = static_cast<TLogBase>(base);
  v.Seed = static_cast<std::uint64_t>(choices_.Seed);
  // The window shows these fields with the list of indices.
  if (model_.IsChecked(ctl::CheckBoxIndices)) {
    model_.SetText(ctl::EditMtldThreshold, Utf8ToUtf16(choices_.MtldThreshold));
    model_.SetItemIndex(ctl::RadioGroupMtldRule, static_cast<int>(rule));
    model_.SetValue(ctl::SpinEditHddSample, static_cast<int>(choices_.HddSample));
    model_.SetItemIndex(ctl::RadioGroupLogBase, static_cast<int>(base));
    model_.SetValue(ctl::SpinEditSeed, static_cast<int>(choices_.Seed));
  }
  return v;
}

TMeasureParameters TCliOptionMapper::MeasureParameters() {
  if (choices_.OutputFolder.empty())
    throw TUsageError("--output: name the folder for the result files");
  SetShared(kMeasuring);
  // Values below the window's bound of 10 are set on the parameters below.
  model_.SetValue(ctl::SpinEditWindowLength, static_cast<int>(choices_.Window));
  TMeasureSet basic;
  tMeasureSecondarySet secondary;
  SetMeasures(basic, secondary);
  SetAutosemanticRule(FormatIndex());
  model_.SetText(ctl::EditHillsQ, Utf8ToUtf16(choices_.HillsQ));
  if (!wordListIgnored_) model_.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  if (!lemmaListIgnored_) model_.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model_.SetChecked(ctl::CheckBoxReferenceContains, choices_.ReferenceContainsTexts);
  model_.SetText(ctl::EditOutputDirectory, Utf8ToUtf16(choices_.OutputFolder));
  model_.SetChecked(ctl::CheckBoxSafeCsv, choices_.SafeCsv);
  TOutputTypeSet outputs;
  TIndexSet indices;
  SetOutputs(outputs, indices);
  model_.SetChecked(ctl::CheckBoxDocumentPerFile, choices_.DocumentPerFile);
  model_.SetChecked(ctl::CheckBoxDocumentIds, choices_.DocumentIds);
  model_.SetChecked(ctl::CheckBoxFullPrecision,
                    IndexOf(kPrecisionNames, choices_.Precision, "precision") ==
                        static_cast<std::size_t>(TPrecision::Full));
  const TIndexVariants variants = SetIndexVariants();

  model_.PrepareRun();
  TMeasureParameters p;
  try {
    p = model_.GetMeasureParameters();
  } catch (const EConvertError& e) {
    throw TUsageError(std::string("--hill-q: ") + e.what());
  }
  // The model must give what was asked for, apart from the measures without a box.
  if (p.measures != (Boxed(basic, kMeasureBoxes) | TMeasureSet{tMeasure::vTokens}) ||
      p.MeasuresSecondary != Boxed(secondary, kMeasureSecondaryBoxes) || p.OutputTypes != outputs ||
      (outputs.Contains(TOutputType::outIndices) &&
       (p.Indices != indices || p.IndexVariants != variants))) {
    throw std::logic_error("The option model does not give the measures asked for");
  }
  // What the window cannot express.
  SetDatabase(p.Destinations);
  p.LagLength = static_cast<std::uint32_t>(choices_.Window);
  p.measures = basic;
  p.MeasuresSecondary = secondary;
  p.IsStandardInput = choices_.ReadsStandardInput();
  const TInputFormat& format = InputFormat(p.How);
  if (p.measures.Contains(tMeasure::vAutosemantics) && format.AutosemanticChoices != 0 &&
      RuleOf(format, p.Corpus.AutosemanticRule) == TAutosemanticRule::None) {
    warnings_.push_back("--format " + choices_.Format +
                        " has no built-in rule of autosemantics: every value of autosemantics "
                        "is 0 (--autosemantic-rule prefixes tests the tags)");
  }
  return p;
}

void TCliOptionMapper::IgnoreDatabaseOptions(bool Database) {
  if (Database) return;
  if (choices_.IsGiven("database")) Ignore("database", "needs --outputs with sqlite");
  if (choices_.IsGiven("replace")) Ignore("replace", "needs --outputs with sqlite");
}

void TCliOptionMapper::SetDatabase(TResultDestinations& Destinations) const {
  if (!Destinations.Database) return;
  Destinations.DatabaseFile = Utf8ToUtf16(choices_.Database);
  Destinations.ReplaceDatabase = choices_.ReplaceDatabase;
}

TDictionaryParameters TCliOptionMapper::DictionaryParameters() {
  SetShared(kFrequencyLists);
  const TWordOrLemmaSet kinds = RequestedKinds();
  if (kinds.Contains(tWordOrLemma::tokWord) && choices_.WordList.empty()) {
    throw TUsageError("freqlist needs --word-list FILE for the list of word forms");
  }
  if (kinds.Contains(tWordOrLemma::tokLemma) && choices_.LemmaList.empty()) {
    throw TUsageError("freqlist needs --lemma-list FILE for the list of lemmata");
  }
  if (!wordListIgnored_) model_.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  if (!lemmaListIgnored_) model_.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model_.PrepareRun();
  TDictionaryParameters p = model_.GetDictionaryParameters();
  p.IsStandardInput = choices_.ReadsStandardInput();
  // The window writes lists only; the command line can write them into the database too.
  bool sqlite = false;
  if (choices_.IsGiven("outputs")) {
    for (const std::string& name : SplitCommaList(choices_.Outputs)) {
      if (name != kCliSqlite)
        throw TUsageError(
            "--outputs: freqlist writes its lists into list files and, with "
            "sqlite, into the results database; '" +
            name + "' is not known here");
      sqlite = true;
    }
  }
  IgnoreDatabaseOptions(sqlite);
  p.Destinations.Database = sqlite;
  SetDatabase(p.Destinations);
  return p;
}

}  // namespace tavora
