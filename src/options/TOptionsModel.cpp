#include "options/TOptionsModel.h"

#include <algorithm>
#include <optional>

#include "base/Utf8.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"

namespace tavora {

namespace {

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
  if (state_.WolBelowInputDetails) {
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
  Rules().RunRuleOf(Name);
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
  Rules().RunRuleOf(Name);
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
  if (c_[ctl::RGMode].ItemIndex == 0) {
    Rules().RGModeClick();
  } else {
    SetItemIndex(ctl::RGMode, 0);
  }
  AddInputLine(FileName);
}

void TOptionsModel::ResetToStartValues() {
  if (state_.InputTextMode >= 0)
    state_.InputTexts[static_cast<std::size_t>(state_.InputTextMode)] =
        std::move(c_[ctl::MemoListOfTexts].Text);
  c_ = TOptionControls();
  state_.WolBelowInputDetails = false;
  state_.RuleSetByUd = false;
  state_.InputTextMode = -1;
  for (const TControl& c : c_.All()) Notify(c.Name);
}

void TOptionsModel::Notify(std::string_view Name) const {
  if (observer_) observer_(Name);
}

// ---- Rules ----

// ---- Runs ----

void TOptionsModel::PrepareRun() {
  if (c_[ctl::RGInputType].ItemIndex >= 0 && c_[ctl::RGMode].ItemIndex != 1) return;
  TControl& t = c_[ctl::RGInputType];
  if (t.ItemIndex == 0) return;
  t.ItemIndex = 0;
  Notify(ctl::RGInputType);
  Rules().RGInputTypeClick();
}

}  // namespace tavora
