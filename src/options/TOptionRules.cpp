#include "options/TOptionRules.h"

#include <algorithm>

#include "options/ControlNames.h"

namespace tavora {

namespace {

// The boxes of the measures that need a reference frequency list.
constexpr std::array<std::string_view, 6> kCrossBoxes = {
    ctl::CheckBoxCrossPerplexity, ctl::CheckBoxCrossEntropy,
    ctl::CheckBoxCrossRepeatRate, ctl::CheckBoxCrossDistinctionRate,
    ctl::CheckBoxRelativeEntropy, ctl::CheckBoxRelativePerplexity,
};

// The format whose lemma and tag columns the user names with the check boxes of its panel.
constexpr int kCustomVertical = static_cast<int>(THow::jCustomVertical);
static_assert(InputFormat(THow::jCustomVertical).CarriesLemma == TCarries::IfColumnChosen &&
              InputFormat(THow::jCustomVertical).CarriesTag == TCarries::IfColumnChosen);

// Formats whose tokens always carry a lemma and a tag.
bool CarriesLemmaAndTag(int t) {
  const TInputFormat* format = InputFormatAt(t);
  return format != nullptr && format->CarriesLemma == TCarries::Always &&
         format->CarriesTag == TCarries::Always;
}

}  // namespace

void TOptionRules::Notify(std::string_view Name) const {
  if (observer_) observer_(Name);
}

void TOptionRules::SetShown(std::string_view Name, bool Shown) {
  TControl& c = c_[Name];
  if (c.Shown == Shown) return;
  c.Shown = Shown;
  Notify(Name);
}

void TOptionRules::SetEnabled(std::string_view Name, bool Enabled) {
  TControl& c = c_[Name];
  if (c.Enabled == Enabled) return;
  c.Enabled = Enabled;
  Notify(Name);
}

void TOptionRules::SetCheckedByRule(std::string_view Name, bool Checked) {
  TControl& c = c_[Name];
  if (c.Checked == Checked) return;
  c.Checked = Checked;
  Notify(Name);
  RunRuleOf(Name);
}

void TOptionRules::SwapInputText(int Mode) {
  if (Mode == state_.InputTextMode || Mode < 0 || Mode > 1) return;
  TControl& memo = c_[ctl::MemoListOfTexts];
  if (state_.InputTextMode >= 0) {
    state_.InputTexts[static_cast<std::size_t>(state_.InputTextMode)] = std::move(memo.Text);
    memo.Text.clear();
  }
  // Before the first choice the field holds no source's text: what it holds stays.
  std::u16string& waiting = state_.InputTexts[static_cast<std::size_t>(Mode)];
  if (state_.InputTextMode >= 0 || memo.Text.empty()) memo.Text = std::move(waiting);
  waiting.clear();
  state_.InputTextMode = Mode;
  Notify(ctl::MemoListOfTexts);
}

void TOptionRules::RunRuleOf(std::string_view Name) {
  if (Name == ctl::RGMode) {
    RGModeClick();
  } else if (Name == ctl::RGInputType) {
    RGInputTypeClick();
  } else if (Name == ctl::CheckBoxColumnLemmata) {
    CheckBoxColumnLemmataClick();
  } else if (Name == ctl::CheckBoxCollumnTags) {
    CheckBoxCollumnTagsClick();
  } else if (Name == ctl::CheckBoxWordForms) {
    CheckBoxWordFormsClick();
  } else if (Name == ctl::CheckBoxLemmata) {
    CheckBoxLemmataClick();
  } else if (Name == ctl::RadioGroupWhatToDo) {
    RadioGroupWhatToDoClick();
  } else if (std::find(kCrossBoxes.begin(), kCrossBoxes.end(), Name) != kCrossBoxes.end()) {
    CheckBoxCrossClick();
  } else if (Name == ctl::CheckBoxOtherMetrics) {
    CheckBoxOtherMetricsClick();
  } else if (Name == ctl::CheckBoxLegacyMetrics) {
    CheckBoxLegacyMetricsClick();
  } else if (Name == ctl::CheckBoxHillsContinuum) {
    CheckBoxHillsContinuumClick();
  } else if (Name == ctl::CheckBoxIndices) {
    CheckBoxIndicesClick();
  } else if (Name == ctl::ComboBoxAutosemanticRule) {
    ComboBoxAutosemanticRuleClick();
  } else if (Name == ctl::CheckBoxUniversalDependencies) {
    CheckBoxUniversalDependenciesClick();
  }
}

bool TOptionRules::LemmaPossible(const TOptionControls& Controls) {
  const int t = Controls[ctl::RGInputType].ItemIndex;
  return CarriesLemmaAndTag(t) ||
         (t == kCustomVertical && Controls[ctl::CheckBoxColumnLemmata].Checked);
}

bool TOptionRules::TagsPossible(const TOptionControls& Controls) {
  const int t = Controls[ctl::RGInputType].ItemIndex;
  return CarriesLemmaAndTag(t) ||
         (t == kCustomVertical && Controls[ctl::CheckBoxCollumnTags].Checked);
}

bool TOptionRules::AnyCrossChecked() const {
  return std::any_of(kCrossBoxes.begin(), kCrossBoxes.end(),
                     [this](std::string_view box) { return Checked(box); });
}

void TOptionRules::RGModeClick() {
  const int m = Index(ctl::RGMode);
  const int t = Index(ctl::RGInputType);
  SwapInputText(m);
  SetShown(ctl::PanelInputTexts, true);
  SetShown(ctl::PanelLoadTexts, m == 0);
  SetShown(ctl::PanelInputType, m == 0);
  SetShown(ctl::PanelWoL, m == 0);
  if (!state_.WolBelowInputDetails) {
    state_.WolBelowInputDetails = true;
    Notify(ctl::PanelWoL);
  }
  SetShown(ctl::PanelCustomVertical, t == kCustomVertical && m == 0);
  if (m == 1) SetShown(ctl::PanelInputDetails, true);
  SetEnabled(ctl::CheckBoxLemmata, m == 0);
  if (m == 1) SetCheckedByRule(ctl::CheckBoxLemmata, false);
  SetEnabled(ctl::EditLemmaDictionary, Checked(ctl::CheckBoxLemmata) && m == 0);
  SetEnabled(ctl::ButtonOpenFileLemma, Checked(ctl::CheckBoxLemmata) && m == 0);
  SetEnabled(ctl::CheckBoxAutosemanticsRatio, m == 0);
  if (m == 1) SetCheckedByRule(ctl::CheckBoxAutosemanticsRatio, false);
  ApplyAutosemanticRule();
}

void TOptionRules::RGInputTypeClick() {
  const int t = Index(ctl::RGInputType);
  SetShown(ctl::PanelInputDetails, true);
  SetShown(ctl::PanelWoL, true);
  SetShown(ctl::PanelCustomVertical, t == kCustomVertical);
  SetShown(ctl::CheckBoxUniversalDependencies, t == static_cast<int>(THow::jCONLLU));
  ApplyLemmaPossible();
  ApplyTagsPossible();
}

void TOptionRules::ApplyLemmaPossible() {
  const bool possible = LemmaPossible(c_);
  SetEnabled(ctl::CheckBoxLemmata, possible);
  if (!possible) SetCheckedByRule(ctl::CheckBoxLemmata, false);
}

void TOptionRules::ApplyTagsPossible() {
  ApplyAutosemanticRule();
  const bool possible = TagsPossible(c_);
  SetEnabled(ctl::CheckBoxAutosemanticsRatio, possible);
  if (!possible) SetCheckedByRule(ctl::CheckBoxAutosemanticsRatio, false);
}

// The rule of content words offers the rules the format allows, and shows where the
// format has tags; the prefixes field beside it shows when the prefixes rule is chosen
// (the custom vertical panel has the same field of its own).
void TOptionRules::ApplyAutosemanticRule() {
  const TInputFormat* format = InputFormatAt(Index(ctl::RGInputType));
  TControl& rule = c_[ctl::ComboBoxAutosemanticRule];
  std::vector<bool> offered(kAutosemanticChoiceCount);
  for (std::size_t i = 0; i < offered.size(); ++i)
    offered[i] = format == nullptr || AllowsChoice(*format, static_cast<TAutosemanticChoice>(i));
  if (rule.ItemsEnabled != offered) {
    rule.ItemsEnabled = offered;
    Notify(ctl::ComboBoxAutosemanticRule);
  }
  if (!offered[static_cast<std::size_t>(rule.ItemIndex)])
    SetRuleChoiceByRule(TAutosemanticChoice::Builtin);
  const bool shown = Index(ctl::RGMode) != 1 && TagsPossible(c_);
  SetShown(ctl::ComboBoxAutosemanticRule, shown);
  SetShown(ctl::EditAutosemanticPrefixes, shown && Index(ctl::RGInputType) != kCustomVertical &&
                                              Index(ctl::ComboBoxAutosemanticRule) ==
                                                  static_cast<int>(TAutosemanticChoice::Prefixes));
}

void TOptionRules::SetRuleChoiceByRule(TAutosemanticChoice Choice) {
  TControl& c = c_[ctl::ComboBoxAutosemanticRule];
  if (c.ItemIndex == static_cast<int>(Choice)) return;
  c.ItemIndex = static_cast<int>(Choice);
  Notify(ctl::ComboBoxAutosemanticRule);
  ApplyAutosemanticRule();
}

void TOptionRules::ComboBoxAutosemanticRuleClick() {
  state_.RuleSetByUd = false;
  ApplyAutosemanticRule();
}

// Under the Universal Dependencies conventions content words are decided by UPOS unless
// another rule was chosen.
void TOptionRules::CheckBoxUniversalDependenciesClick() {
  const auto rule = static_cast<TAutosemanticChoice>(Index(ctl::ComboBoxAutosemanticRule));
  const TInputFormat* format = InputFormatAt(Index(ctl::RGInputType));
  const bool checked = Checked(ctl::CheckBoxUniversalDependencies);
  if (checked && rule == TAutosemanticChoice::Builtin && format != nullptr &&
      AllowsChoice(*format, TAutosemanticChoice::Upos)) {
    SetRuleChoiceByRule(TAutosemanticChoice::Upos);
    state_.RuleSetByUd = true;
  } else if (!checked && state_.RuleSetByUd && rule == TAutosemanticChoice::Upos) {
    SetRuleChoiceByRule(TAutosemanticChoice::Builtin);
    state_.RuleSetByUd = false;
  }
}

void TOptionRules::CheckBoxColumnLemmataClick() {
  SetShown(ctl::SpinEditLemma, Checked(ctl::CheckBoxColumnLemmata));
  ApplyLemmaPossible();
}

void TOptionRules::CheckBoxCollumnTagsClick() {
  const bool checked = Checked(ctl::CheckBoxCollumnTags);
  SetShown(ctl::SpinEditTags, checked);
  SetShown(ctl::LabelTagsForAutosemantics, checked);
  SetShown(ctl::EditTagsForAutosemantics, checked);
  ApplyTagsPossible();
}

void TOptionRules::CheckBoxWordFormsClick() {
  const bool checked = Checked(ctl::CheckBoxWordForms);
  SetEnabled(ctl::EditWordDictionary, checked);
  SetEnabled(ctl::ButtonOpenFileWordForm, checked);
}

void TOptionRules::CheckBoxLemmataClick() {
  const bool checked = Checked(ctl::CheckBoxLemmata);
  SetEnabled(ctl::EditLemmaDictionary, checked);
  SetEnabled(ctl::ButtonOpenFileLemma, checked);
}

void TOptionRules::RadioGroupWhatToDoClick() {
  const int w = Index(ctl::RadioGroupWhatToDo);
  SetShown(ctl::PanelWindowLength, w == 0);
  SetShown(ctl::PanelMetrics, w == 0);
  SetShown(ctl::PanelProcess, w == 0);
  SetShown(ctl::PanelOtherMetrics, Checked(ctl::CheckBoxOtherMetrics) && w == 0);
  SetShown(ctl::PanelLegacyMetrics, Checked(ctl::CheckBoxLegacyMetrics) && w == 0);
  SetShown(ctl::ButtonCreateReference, w == 1);
  SetShown(ctl::CheckBoxReferenceContains, w == 0);
  SetShown(ctl::PanelDictionary, w == 1 || AnyCrossChecked());
}

void TOptionRules::CheckBoxCrossClick() {
  const int w = Index(ctl::RadioGroupWhatToDo);
  // The list panel always stands directly above PanelProcess in RightColumnPanels.
  SetShown(ctl::PanelDictionary, w == 1 || AnyCrossChecked());
  SetShown(ctl::ButtonCreateReference, w == 1);
  SetShown(ctl::CheckBoxReferenceContains, w == 0);
}

void TOptionRules::CheckBoxOtherMetricsClick() {
  const bool checked = Checked(ctl::CheckBoxOtherMetrics);
  SetShown(ctl::PanelOtherMetrics, checked);
  if (!checked) SetShown(ctl::PanelLegacyMetrics, false);
}

void TOptionRules::CheckBoxLegacyMetricsClick() {
  SetShown(ctl::PanelLegacyMetrics, Checked(ctl::CheckBoxLegacyMetrics));
}

void TOptionRules::CheckBoxHillsContinuumClick() {
  const bool checked = Checked(ctl::CheckBoxHillsContinuum);
  SetShown(ctl::EditHillsQ, checked);
  SetShown(ctl::LabelQ, checked);
}

void TOptionRules::CheckBoxIndicesClick() {
  SetShown(ctl::PanelIndices, Checked(ctl::CheckBoxIndices));
}

}  // namespace tavora
