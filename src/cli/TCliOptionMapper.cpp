#include "cli/TCliOptionMapper.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/Utf8.h"
#include "cli/CliNames.h"
#include "cli/TUsageError.h"
#include "engine/Indices.h"
#include "input/THow.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

constexpr int kMeasuring = 0;
constexpr int kFrequencyLists = 1;
constexpr int kCustomFormat = static_cast<int>(THow::jCustomVertical);

// Options that only the custom vertical format reads.
constexpr std::string_view kCustomOnly[] = {"word-column", "lemma-column", "tag-column",
                                            "doc-marker", "autosemantic-tags"};

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

void TCliOptionMapper::CheckListsMatchKinds(TWordOrLemmaSet Kinds) const {
  if (!choices_.WordList.empty() && !Kinds.Contains(tWordOrLemma::tokWord)) {
    throw TUsageError("--word-list needs word in --kinds");
  }
  if (!choices_.LemmaList.empty() && !Kinds.Contains(tWordOrLemma::tokLemma)) {
    throw TUsageError("--lemma-list needs lemma in --kinds");
  }
}

void TCliOptionMapper::SetShared(int Task) {
  const int format = FormatIndex();
  if (format != kCustomFormat) {
    for (std::string_view option : kCustomOnly) {
      if (choices_.IsGiven(option)) {
        throw TUsageError("--" + std::string(option) + " applies only to --format custom");
      }
    }
  }

  // Standard input is set up as files in the chosen format, so that every rule of the
  // format applies (lemmata, tags); the parameters then take the text itself.
  model_.SetItemIndex(ctl::RGMode, 0);
  model_.SetItemIndex(ctl::RGInputType, format);
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
  model_.SetText(ctl::EditTagsForAutosemantics, Utf8ToUtf16(choices_.AutosemanticTags));
  model_.SetItemIndex(ctl::RadioGroupCaseSensitivity,
                      static_cast<int>(IndexOf(kCliCaseNames, choices_.Case, "case handling")));
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
  CheckListsMatchKinds(kinds);
  model_.SetItemIndex(ctl::RadioGroupWhatToDo, Task);
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
  for (const std::string& name : SplitCommaList(choices_.Outputs)) {
    const auto it = std::find_if(kCliOutputs.begin(), kCliOutputs.end(),
                                 [&](const TCliOutput& o) { return o.Name == name; });
    if (it == kCliOutputs.end()) {
      throw TUsageError("--outputs: unknown result family '" + name +
                        "' (averages, distributions, series, wholetexts, indices)");
    }
    Outputs.Include(it->Type);
  }
  for (const TCliOutput& o : kCliOutputs) model_.SetChecked(o.Box(), Outputs.Contains(o.Type));

  // Further indices: all unless --indices names some; they need the indices family.
  Indices = TIndexSet::All();
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

TMeasureParameters TCliOptionMapper::MeasureParameters() {
  if (choices_.OutputFolder.empty())
    throw TUsageError("--output: name the folder for the result files");
  SetShared(kMeasuring);
  // Values below the window's bound of 10 are set on the parameters below.
  model_.SetValue(ctl::SpinEditWindowLength, static_cast<int>(choices_.Window));
  TMeasureSet basic;
  tMeasureSecondarySet secondary;
  SetMeasures(basic, secondary);
  model_.SetText(ctl::EditHillsQ, Utf8ToUtf16(choices_.HillsQ));
  model_.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  model_.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model_.SetChecked(ctl::CheckBoxReferenceContains, choices_.ReferenceContainsTexts);
  model_.SetText(ctl::EditOutputDirectory, Utf8ToUtf16(choices_.OutputFolder));
  TOutputTypeSet outputs;
  TIndexSet indices;
  SetOutputs(outputs, indices);

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
      (outputs.Contains(TOutputType::outIndices) && p.Indices != indices)) {
    throw std::logic_error("The option model does not give the measures asked for");
  }
  // What the window cannot express.
  p.LagLength = static_cast<std::uint32_t>(choices_.Window);
  p.measures = basic;
  p.MeasuresSecondary = secondary;
  p.IsWholeText = choices_.ReadsStandardInput();
  return p;
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
  model_.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  model_.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model_.PrepareRun();
  TDictionaryParameters p = model_.GetDictionaryParameters();
  p.IsWholeText = choices_.ReadsStandardInput();
  return p;
}

}  // namespace tavora
