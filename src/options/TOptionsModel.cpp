#include "options/TOptionsModel.h"

#include <algorithm>
#include <optional>

#include "base/Utf8.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"

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

std::vector<std::string> Names(std::initializer_list<std::string_view> names) {
  return {names.begin(), names.end()};
}

std::string Quoted(std::string_view name) {
  std::string quoted(1, '\'');
  quoted.append(name);
  quoted += '\'';
  return quoted;
}

std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

// ---- Reading ----

bool TOptionsModel::IsVisible(std::string_view Name) const {
  for (const TControl* c = &c_[Name];; c = &c_[c->Parent]) {
    if (!c->Shown) return false;
    if (c->Parent.empty()) return true;
  }
}

bool TOptionsModel::IsChecked(std::string_view Name) const {
  const TControl& c = c_[Name];
  if (c.Kind != TControlKind::CheckBox) throw EOptionError(Quoted(Name) + " is not a check box");
  return c.Checked;
}

int TOptionsModel::GetItemIndex(std::string_view Name) const {
  const TControl& c = c_[Name];
  if (c.Kind != TControlKind::RadioGroup && c.Kind != TControlKind::Choice) {
    throw EOptionError(Quoted(Name) + " is not a radio group");
  }
  return c.ItemIndex;
}

const std::u16string& TOptionsModel::GetText(std::string_view Name) const {
  const TControl& c = c_[Name];
  if (c.Kind != TControlKind::TextField && c.Kind != TControlKind::MultiLineText &&
      c.Kind != TControlKind::IntegerField) {
    throw EOptionError(Quoted(Name) + " holds no text");
  }
  return c.Text;
}

int TOptionsModel::GetValue(std::string_view Name) const {
  const TControl& c = c_[Name];
  if (c.Kind != TControlKind::IntegerField) {
    throw EOptionError(Quoted(Name) + " is not an integer field");
  }
  return ReadIntegerField(c.Text, c.MinValue, c.MaxValue);
}

std::vector<std::string> TOptionsModel::LeftColumnPanels() const {
  if (wolBelowInputDetails_) {
    return Names({ctl::PanelFirstDecision, ctl::PanelInputTexts, ctl::PanelInputType,
                  ctl::PanelCustomVertical, ctl::PanelInputDetails, ctl::PanelWoL});
  }
  return Names({ctl::PanelFirstDecision, ctl::PanelInputTexts, ctl::PanelInputType,
                ctl::PanelCustomVertical, ctl::PanelWoL, ctl::PanelInputDetails});
}

std::vector<std::string> TOptionsModel::RightColumnPanels() const {
  return Names({ctl::PanelWhatToDo, ctl::PanelWindowLength, ctl::PanelMetrics,
                ctl::PanelOtherMetrics, ctl::PanelLegacyMetrics, ctl::PanelDictionary,
                ctl::PanelProcess});
}

// ---- Changing ----

TControl& TOptionsModel::Changeable(std::string_view Name, TControlKind Kind) {
  TControl& c = c_[Name];
  const bool textKinds =
      Kind == TControlKind::TextField &&
      (c.Kind == TControlKind::MultiLineText || c.Kind == TControlKind::IntegerField);
  const bool itemKinds = Kind == TControlKind::RadioGroup && c.Kind == TControlKind::Choice;
  if (c.Kind != Kind && !textKinds && !itemKinds) {
    throw EOptionError(Quoted(Name) + " cannot take this kind of value");
  }
  if (!c.Enabled) throw EOptionError(Quoted(Name) + " is disabled and cannot be changed");
  return c;
}

void TOptionsModel::SetChecked(std::string_view Name, bool Checked) {
  if (c_[Name].Kind == TControlKind::CheckBox && c_[Name].Checked == Checked) return;
  TControl& c = Changeable(Name, TControlKind::CheckBox);
  c.Checked = Checked;
  Notify(Name);
  RunRuleOf(Name);
}

void TOptionsModel::SetItemIndex(std::string_view Name, int ItemIndex) {
  const TControlKind kind = c_[Name].Kind;
  if ((kind == TControlKind::RadioGroup || kind == TControlKind::Choice) &&
      c_[Name].ItemIndex == ItemIndex)
    return;
  TControl& c = Changeable(Name, TControlKind::RadioGroup);
  if (ItemIndex < 0 || ItemIndex >= static_cast<int>(c.Items.size())) {
    throw EOptionError(Quoted(Name) + " has no item " + std::to_string(ItemIndex) +
                       " (items 0 to " + std::to_string(c.Items.size() - 1) + ")");
  }
  if (!c.ItemsEnabled.empty() && !c.ItemsEnabled[static_cast<std::size_t>(ItemIndex)]) {
    throw EOptionError(Quoted(Name) + " does not offer '" +
                       Utf16ToUtf8(c.Items[static_cast<std::size_t>(ItemIndex)]) +
                       "' for the chosen input format");
  }
  c.ItemIndex = ItemIndex;
  Notify(Name);
  RunRuleOf(Name);
}

void TOptionsModel::SetText(std::string_view Name, std::u16string Text) {
  const TControlKind kind = c_[Name].Kind;
  const bool holdsText = kind == TControlKind::TextField || kind == TControlKind::MultiLineText ||
                         kind == TControlKind::IntegerField;
  if (holdsText && c_[Name].Text == Text) return;
  TControl& c = Changeable(Name, TControlKind::TextField);
  c.Text = std::move(Text);
  Notify(Name);
  // The tag prefixes of the custom vertical panel and of the content-word rule are one
  // text, shown where each applies.
  for (const auto& [one, other] :
       {std::pair{ctl::EditTagsForAutosemantics, ctl::EditAutosemanticPrefixes},
        std::pair{ctl::EditAutosemanticPrefixes, ctl::EditTagsForAutosemantics}}) {
    if (Name == one && c_[other].Text != c.Text) {
      c_[other].Text = c.Text;
      Notify(other);
    }
  }
}

void TOptionsModel::LeaveField(std::string_view Name) {
  TControl& c = c_[Name];
  if (c.Kind != TControlKind::IntegerField) return;
  // A text that is no integer stays as typed and counts as the lower bound.
  const std::optional<long long> value = ParseDecimalInteger(c.Text);
  if (!value || (*value >= c.MinValue && *value <= c.MaxValue)) return;
  c.Text = DecimalText(*value < c.MinValue ? c.MinValue : c.MaxValue);
  Notify(Name);
}

void TOptionsModel::SetValue(std::string_view Name, int Value) {
  if (c_[Name].Kind != TControlKind::IntegerField) {
    throw EOptionError(Quoted(Name) + " is not an integer field");
  }
  SetText(Name, DecimalText(Value));
  LeaveField(Name);
}

void TOptionsModel::SetOption(std::string_view Name, std::u16string_view Value) {
  const TControl& c = c_[Name];
  switch (c.Kind) {
    case TControlKind::CheckBox: {
      const std::optional<bool> checked = ReadBoolean(Value);
      if (!checked) {
        throw EOptionError(Quoted(Name) + " takes 1 or 0 (true or false), not '" +
                           Utf16ToUtf8(Value) + "'");
      }
      SetChecked(Name, *checked);
      return;
    }
    case TControlKind::RadioGroup:
    case TControlKind::Choice: {
      const auto item = std::find(c.Items.begin(), c.Items.end(), Value);
      if (item != c.Items.end()) {
        SetItemIndex(Name, static_cast<int>(item - c.Items.begin()));
        return;
      }
      const std::optional<long long> index = ParseDecimalInteger(Value);
      if (!index || *index < 0 || *index >= static_cast<long long>(c.Items.size())) {
        throw EOptionError(Quoted(Name) + " takes an item number from 0 to " +
                           std::to_string(c.Items.size() - 1) + " or an item text, not '" +
                           Utf16ToUtf8(Value) + "'");
      }
      SetItemIndex(Name, static_cast<int>(*index));
      return;
    }
    case TControlKind::IntegerField:
      SetText(Name, std::u16string(Value));
      LeaveField(Name);
      return;
    case TControlKind::TextField:
    case TControlKind::MultiLineText:
      SetText(Name, std::u16string(Value));
      return;
    case TControlKind::Panel:
    case TControlKind::Button:
    case TControlKind::Label:
      break;
  }
  throw EOptionError(Quoted(Name) + " carries no value");
}

void TOptionsModel::SetOptions(const std::vector<std::pair<std::string, std::u16string>>& Options) {
  std::vector<std::pair<std::size_t, const std::pair<std::string, std::u16string>*>> ordered;
  ordered.reserve(Options.size());
  for (const auto& option : Options) ordered.emplace_back(c_.IndexOf(option.first), &option);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [index, option] : ordered) SetOption(option->first, option->second);
}

void TOptionsModel::AddInputLine(std::u16string_view Line) {
  std::u16string text = c_[ctl::MemoListOfTexts].Text;
  if (!text.empty() && text.back() != u'\n') text += u"\r\n";
  text += Line;
  SetText(ctl::MemoListOfTexts, std::move(text));
}

void TOptionsModel::DropFile(std::u16string_view FileName) {
  if (Index(ctl::RGMode) == 0) {
    RGModeClick();
  } else {
    SetItemIndex(ctl::RGMode, 0);
  }
  AddInputLine(FileName);
}

void TOptionsModel::ResetToStartValues() {
  if (inputTextMode_ >= 0)
    inputTexts_[static_cast<std::size_t>(inputTextMode_)] =
        std::move(c_[ctl::MemoListOfTexts].Text);
  c_ = TOptionControls();
  wolBelowInputDetails_ = false;
  inputTextMode_ = -1;
  for (const TControl& c : c_.All()) Notify(c.Name);
}

void TOptionsModel::SwapInputText(int Mode) {
  if (Mode == inputTextMode_ || Mode < 0 || Mode > 1) return;
  TControl& memo = c_[ctl::MemoListOfTexts];
  if (inputTextMode_ >= 0) {
    inputTexts_[static_cast<std::size_t>(inputTextMode_)] = std::move(memo.Text);
    memo.Text.clear();
  }
  // Before the first choice the field holds no source's text: what it holds stays.
  std::u16string& waiting = inputTexts_[static_cast<std::size_t>(Mode)];
  if (inputTextMode_ >= 0 || memo.Text.empty()) memo.Text = std::move(waiting);
  waiting.clear();
  inputTextMode_ = Mode;
  Notify(ctl::MemoListOfTexts);
}

void TOptionsModel::Notify(std::string_view Name) const {
  if (observer_) observer_(Name);
}

void TOptionsModel::SetShown(std::string_view Name, bool Shown) {
  TControl& c = c_[Name];
  if (c.Shown == Shown) return;
  c.Shown = Shown;
  Notify(Name);
}

void TOptionsModel::SetEnabled(std::string_view Name, bool Enabled) {
  TControl& c = c_[Name];
  if (c.Enabled == Enabled) return;
  c.Enabled = Enabled;
  Notify(Name);
}

void TOptionsModel::SetCheckedByRule(std::string_view Name, bool Checked) {
  TControl& c = c_[Name];
  if (c.Checked == Checked) return;
  c.Checked = Checked;
  Notify(Name);
  RunRuleOf(Name);
}

// ---- Rules ----

void TOptionsModel::RunRuleOf(std::string_view Name) {
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

bool TOptionsModel::LemmaPossible() const {
  const int t = Index(ctl::RGInputType);
  return CarriesLemmaAndTag(t) || (t == kCustomVertical && Checked(ctl::CheckBoxColumnLemmata));
}

bool TOptionsModel::TagsPossible() const {
  const int t = Index(ctl::RGInputType);
  return CarriesLemmaAndTag(t) || (t == kCustomVertical && Checked(ctl::CheckBoxCollumnTags));
}

bool TOptionsModel::AnyCrossChecked() const {
  return std::any_of(kCrossBoxes.begin(), kCrossBoxes.end(),
                     [this](std::string_view box) { return Checked(box); });
}

void TOptionsModel::RGModeClick() {
  const int m = Index(ctl::RGMode);
  const int t = Index(ctl::RGInputType);
  SwapInputText(m);
  SetShown(ctl::PanelInputTexts, true);
  SetShown(ctl::PanelLoadTexts, m == 0);
  SetShown(ctl::PanelInputType, m == 0);
  SetShown(ctl::PanelWoL, m == 0);
  if (!wolBelowInputDetails_) {
    wolBelowInputDetails_ = true;
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

void TOptionsModel::RGInputTypeClick() {
  const int t = Index(ctl::RGInputType);
  SetShown(ctl::PanelInputDetails, true);
  SetShown(ctl::PanelWoL, true);
  SetShown(ctl::PanelCustomVertical, t == kCustomVertical);
  SetShown(ctl::CheckBoxUniversalDependencies, t == static_cast<int>(THow::jCONLLU));
  ApplyLemmaPossible();
  ApplyTagsPossible();
}

void TOptionsModel::ApplyLemmaPossible() {
  const bool possible = LemmaPossible();
  SetEnabled(ctl::CheckBoxLemmata, possible);
  if (!possible) SetCheckedByRule(ctl::CheckBoxLemmata, false);
}

void TOptionsModel::ApplyTagsPossible() {
  ApplyAutosemanticRule();
  const bool possible = TagsPossible();
  SetEnabled(ctl::CheckBoxAutosemanticsRatio, possible);
  if (!possible) SetCheckedByRule(ctl::CheckBoxAutosemanticsRatio, false);
}

// The rule of content words offers the rules the format allows, and shows where the
// format has tags; the prefixes field beside it shows when the prefixes rule is chosen
// (the custom vertical panel has the same field of its own).
void TOptionsModel::ApplyAutosemanticRule() {
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
  const bool shown = Index(ctl::RGMode) != 1 && TagsPossible();
  SetShown(ctl::ComboBoxAutosemanticRule, shown);
  SetShown(ctl::EditAutosemanticPrefixes, shown && Index(ctl::RGInputType) != kCustomVertical &&
                                              Index(ctl::ComboBoxAutosemanticRule) ==
                                                  static_cast<int>(TAutosemanticChoice::Prefixes));
}

void TOptionsModel::SetRuleChoiceByRule(TAutosemanticChoice Choice) {
  TControl& c = c_[ctl::ComboBoxAutosemanticRule];
  if (c.ItemIndex == static_cast<int>(Choice)) return;
  c.ItemIndex = static_cast<int>(Choice);
  Notify(ctl::ComboBoxAutosemanticRule);
  ApplyAutosemanticRule();
}

void TOptionsModel::ComboBoxAutosemanticRuleClick() {
  ruleSetByUd_ = false;
  ApplyAutosemanticRule();
}

// Under the Universal Dependencies conventions content words are decided by UPOS unless
// another rule was chosen.
void TOptionsModel::CheckBoxUniversalDependenciesClick() {
  const auto rule = static_cast<TAutosemanticChoice>(Index(ctl::ComboBoxAutosemanticRule));
  const TInputFormat* format = InputFormatAt(Index(ctl::RGInputType));
  const bool checked = Checked(ctl::CheckBoxUniversalDependencies);
  if (checked && rule == TAutosemanticChoice::Builtin && format != nullptr &&
      AllowsChoice(*format, TAutosemanticChoice::Upos)) {
    SetRuleChoiceByRule(TAutosemanticChoice::Upos);
    ruleSetByUd_ = true;
  } else if (!checked && ruleSetByUd_ && rule == TAutosemanticChoice::Upos) {
    SetRuleChoiceByRule(TAutosemanticChoice::Builtin);
    ruleSetByUd_ = false;
  }
}

void TOptionsModel::CheckBoxColumnLemmataClick() {
  SetShown(ctl::SpinEditLemma, Checked(ctl::CheckBoxColumnLemmata));
  ApplyLemmaPossible();
}

void TOptionsModel::CheckBoxCollumnTagsClick() {
  const bool checked = Checked(ctl::CheckBoxCollumnTags);
  SetShown(ctl::SpinEditTags, checked);
  SetShown(ctl::LabelTagsForAutosemantics, checked);
  SetShown(ctl::EditTagsForAutosemantics, checked);
  ApplyTagsPossible();
}

void TOptionsModel::CheckBoxWordFormsClick() {
  const bool checked = Checked(ctl::CheckBoxWordForms);
  SetEnabled(ctl::EditWordDictionary, checked);
  SetEnabled(ctl::ButtonOpenFileWordForm, checked);
}

void TOptionsModel::CheckBoxLemmataClick() {
  const bool checked = Checked(ctl::CheckBoxLemmata);
  SetEnabled(ctl::EditLemmaDictionary, checked);
  SetEnabled(ctl::ButtonOpenFileLemma, checked);
}

void TOptionsModel::RadioGroupWhatToDoClick() {
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

void TOptionsModel::CheckBoxCrossClick() {
  const int w = Index(ctl::RadioGroupWhatToDo);
  // The list panel always stands directly above PanelProcess in RightColumnPanels.
  SetShown(ctl::PanelDictionary, w == 1 || AnyCrossChecked());
  SetShown(ctl::ButtonCreateReference, w == 1);
  SetShown(ctl::CheckBoxReferenceContains, w == 0);
}

void TOptionsModel::CheckBoxOtherMetricsClick() {
  const bool checked = Checked(ctl::CheckBoxOtherMetrics);
  SetShown(ctl::PanelOtherMetrics, checked);
  if (!checked) SetShown(ctl::PanelLegacyMetrics, false);
}

void TOptionsModel::CheckBoxLegacyMetricsClick() {
  SetShown(ctl::PanelLegacyMetrics, Checked(ctl::CheckBoxLegacyMetrics));
}

void TOptionsModel::CheckBoxHillsContinuumClick() {
  const bool checked = Checked(ctl::CheckBoxHillsContinuum);
  SetShown(ctl::EditHillsQ, checked);
  SetShown(ctl::LabelQ, checked);
}

void TOptionsModel::CheckBoxIndicesClick() {
  SetShown(ctl::PanelIndices, Checked(ctl::CheckBoxIndices));
}

// ---- Runs ----

void TOptionsModel::PrepareRun() {
  if (Index(ctl::RGInputType) >= 0 && Index(ctl::RGMode) != 1) return;
  TControl& t = c_[ctl::RGInputType];
  if (t.ItemIndex == 0) return;
  t.ItemIndex = 0;
  Notify(ctl::RGInputType);
  RGInputTypeClick();
}

}  // namespace tavora
