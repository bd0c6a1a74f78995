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

void TCliOptionMapper::SetShared(TOptionsModel& Model, std::u16string_view InputText,
                                 int Task) const {
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
  Model.SetItemIndex(ctl::RGMode, 0);
  Model.SetText(ctl::MemoListOfTexts, std::u16string(InputText));
  Model.SetItemIndex(ctl::RGInputType, format);
  Model.SetValue(ctl::SpinEditWord, choices_.WordColumn);
  if (choices_.IsGiven("lemma-column")) {
    Model.SetChecked(ctl::CheckBoxColumnLemmata, true);
    Model.SetValue(ctl::SpinEditLemma, choices_.LemmaColumn);
  }
  if (choices_.IsGiven("tag-column")) {
    Model.SetChecked(ctl::CheckBoxCollumnTags, true);
    Model.SetValue(ctl::SpinEditTags, choices_.TagColumn);
  }
  Model.SetText(ctl::EditTextBegin, Utf8ToUtf16(choices_.DocMarker));
  Model.SetText(ctl::EditTagsForAutosemantics, Utf8ToUtf16(choices_.AutosemanticTags));
  Model.SetItemIndex(ctl::RadioGroupCaseSensitivity,
                     static_cast<int>(IndexOf(kCliCaseNames, choices_.Case, "case handling")));
  Model.SetChecked(ctl::CheckBoxOmitPunctuation, !choices_.KeepPunctuation);
  Model.SetChecked(ctl::CheckBoxOmitDigits, !choices_.KeepDigits);

  const TWordOrLemmaSet kinds = RequestedKinds();
  for (const TCliKind& k : kCliKinds) {
    const bool wanted = kinds.Contains(k.Kind);
    if (wanted && !Model.IsEnabled(k.Box())) {
      if (format == kCustomFormat) {
        throw TUsageError("--kinds lemma with --format custom needs --lemma-column");
      }
      throw TUsageError("--kinds: --format " + choices_.Format +
                        " carries no lemmata (use vertical, coca, conllu, bnc or custom)");
    }
    Model.SetChecked(k.Box(), wanted);
  }
  CheckListsMatchKinds(kinds);
  Model.SetItemIndex(ctl::RadioGroupWhatToDo, Task);
}

TMeasureParameters TCliOptionMapper::MeasureParameters(std::u16string_view InputText) const {
  TOptionsModel model;
  SetShared(model, InputText, kMeasuring);
  // Values below the window's bound of 10 are set on the parameters below.
  model.SetValue(ctl::SpinEditWindowLength, static_cast<int>(choices_.Window));

  // Measures: one check box each where the window has one; the rest go straight into
  // the masks. "tokens" is always measured.
  TMeasureSet basic{tMeasure::vTokens};
  tMeasureSecondarySet secondary;
  TMeasureSet basicWithoutBox;
  tMeasureSecondarySet secondaryWithoutBox;
  for (const std::string& name : SplitCommaList(choices_.Measures)) {
    const std::optional<TCliMeasure> m = FindCliMeasure(name);
    if (!m) throw TUsageError("Unknown measure '" + name + "'");
    if (m->IsSecondary) {
      secondary.Include(static_cast<tMeasureSecondary>(m->Ordinal));
      if (m->Box().empty()) secondaryWithoutBox.Include(static_cast<tMeasureSecondary>(m->Ordinal));
    } else {
      basic.Include(static_cast<tMeasure>(m->Ordinal));
      if (m->Box().empty()) basicWithoutBox.Include(static_cast<tMeasure>(m->Ordinal));
    }
  }
  bool otherMetrics = false;
  bool legacyMetrics = false;
  for (const TCliMeasure& m : kCliMeasures) {
    if (m.Box().empty()) continue;
    const bool wanted = m.IsSecondary
                            ? secondary.Contains(static_cast<tMeasureSecondary>(m.Ordinal))
                            : basic.Contains(static_cast<tMeasure>(m.Ordinal));
    if (wanted && !model.IsEnabled(m.Box())) {
      if (FormatIndex() == kCustomFormat) {
        throw TUsageError("--measures: " + std::string(m.Name) +
                          " with --format custom needs --tag-column");
      }
      throw TUsageError("--measures: " + std::string(m.Name) + " needs tags, which --format " +
                        choices_.Format + " does not carry");
    }
    model.SetChecked(m.Box(), wanted);
    const std::string& panel = model.Control(m.Box()).Parent;
    if (wanted && panel == ctl::PanelOtherMetrics) otherMetrics = true;
    if (wanted && panel == ctl::PanelLegacyMetrics) otherMetrics = legacyMetrics = true;
  }
  // The panels that hold the boxes, opened as the user would; they carry no value.
  model.SetChecked(ctl::CheckBoxOtherMetrics, otherMetrics);
  model.SetChecked(ctl::CheckBoxLegacyMetrics, legacyMetrics);
  model.SetText(ctl::EditHillsQ, Utf8ToUtf16(choices_.HillsQ));

  model.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  model.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model.SetChecked(ctl::CheckBoxReferenceContains, choices_.ReferenceContainsTexts);
  model.SetText(ctl::EditOutputDirectory, Utf8ToUtf16(choices_.OutputFolder));

  TOutputTypeSet outputs;
  for (const std::string& name : SplitCommaList(choices_.Outputs)) {
    const auto it = std::find_if(kCliOutputs.begin(), kCliOutputs.end(),
                                 [&](const TCliOutput& o) { return o.Name == name; });
    if (it == kCliOutputs.end()) {
      throw TUsageError("--outputs: unknown result family '" + name +
                        "' (averages, distributions, series, wholetexts, indices)");
    }
    outputs.Include(it->Type);
  }
  for (const TCliOutput& o : kCliOutputs) model.SetChecked(o.Box(), outputs.Contains(o.Type));

  // Further indices: all unless --indices names some; they need the indices family.
  TIndexSet indices = TIndexSet::All();
  if (choices_.IsGiven("indices")) {
    if (!outputs.Contains(TOutputType::outIndices))
      throw TUsageError("--indices needs --outputs with indices");
    try {
      indices = ParseIndexList(choices_.Indices);
    } catch (const std::invalid_argument& e) {
      throw TUsageError(std::string("--indices: ") + e.what());
    }
  }
  if (outputs.Contains(TOutputType::outIndices)) {
    for (std::size_t i = 0; i < kIndexCount; ++i) {
      const auto index = static_cast<tIndex>(i);
      model.SetChecked(kIndexBoxes[i], indices.Contains(index));
    }
  }

  model.PrepareRun();
  TMeasureParameters p;
  try {
    p = model.GetMeasureParameters();
  } catch (const EConvertError& e) {
    throw TUsageError(std::string("--hill-q: ") + e.what());
  }

  p.LagLength = static_cast<std::uint32_t>(choices_.Window);
  p.measures = p.measures | basicWithoutBox;
  p.MeasuresSecondary = p.MeasuresSecondary | secondaryWithoutBox;
  p.IsWholeText = choices_.ReadsStandardInput();
  // The model must give exactly what was asked for.
  if (p.measures != basic || p.MeasuresSecondary != secondary || p.OutputTypes != outputs ||
      (outputs.Contains(TOutputType::outIndices) && p.Indices != indices)) {
    throw std::logic_error("The option model does not give the measures asked for");
  }
  return p;
}

TDictionaryParameters TCliOptionMapper::DictionaryParameters(std::u16string_view InputText) const {
  TOptionsModel model;
  SetShared(model, InputText, kFrequencyLists);
  const TWordOrLemmaSet kinds = RequestedKinds();
  if (kinds.Contains(tWordOrLemma::tokWord) && choices_.WordList.empty()) {
    throw TUsageError("freqlist needs --word-list FILE for the list of word forms");
  }
  if (kinds.Contains(tWordOrLemma::tokLemma) && choices_.LemmaList.empty()) {
    throw TUsageError("freqlist needs --lemma-list FILE for the list of lemmata");
  }
  model.SetText(ctl::EditWordDictionary, Utf8ToUtf16(choices_.WordList));
  model.SetText(ctl::EditLemmaDictionary, Utf8ToUtf16(choices_.LemmaList));
  model.PrepareRun();
  TDictionaryParameters p = model.GetDictionaryParameters();
  p.IsWholeText = choices_.ReadsStandardInput();
  return p;
}

}  // namespace tavora
