#include "options/TOptionsModel.h"

#include <algorithm>
#include <optional>

#include "engine/Utf8.h"
#include "options/OptionText.h"

namespace tavora {

namespace {

// The boxes of the measures that need a reference frequency list.
constexpr std::array<std::string_view, 6> kCrossBoxes = {
    "CheckBoxCrossPerplexity",      "CheckBoxCrossEntropy",    "CheckBoxCrossRepeatRate",
    "CheckBoxCrossDistinctionRate", "CheckBoxRelativeEntropy", "CheckBoxRelativePerplexity",
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

std::optional<bool> ReadBoolean(std::u16string_view v) {
  for (std::u16string_view yes : {u"1", u"true", u"yes", u"on"}) {
    if (v == yes) return true;
  }
  for (std::u16string_view no : {u"0", u"false", u"no", u"off"}) {
    if (v == no) return false;
  }
  return std::nullopt;
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
  if (c.Kind != TControlKind::RadioGroup) {
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
  std::vector<std::string> panels = {"PanelFirstDecision", "PanelInputTexts", "PanelInputType",
                                     "PanelCustomVertical"};
  if (wolBelowInputDetails_) {
    panels.insert(panels.end(), {"PanelInputDetails", "PanelWoL"});
  } else {
    panels.insert(panels.end(), {"PanelWoL", "PanelInputDetails"});
  }
  return panels;
}

std::vector<std::string> TOptionsModel::RightColumnPanels() const {
  return {"PanelWhatToDo",      "PanelWindowLength", "PanelMetrics", "PanelOtherMetrics",
          "PanelLegacyMetrics", "PanelDictionary",   "PanelProcess"};
}

// ---- Changing ----

TControl& TOptionsModel::Changeable(std::string_view Name, TControlKind Kind) {
  TControl& c = c_[Name];
  const bool textKinds =
      Kind == TControlKind::TextField &&
      (c.Kind == TControlKind::MultiLineText || c.Kind == TControlKind::IntegerField);
  if (c.Kind != Kind && !textKinds) {
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
  if (c_[Name].Kind == TControlKind::RadioGroup && c_[Name].ItemIndex == ItemIndex) return;
  TControl& c = Changeable(Name, TControlKind::RadioGroup);
  if (ItemIndex < 0 || ItemIndex >= static_cast<int>(c.Items.size())) {
    throw EOptionError(Quoted(Name) + " has no item " + std::to_string(ItemIndex) +
                       " (items 0 to " + std::to_string(c.Items.size() - 1) + ")");
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
    case TControlKind::RadioGroup: {
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
  std::u16string text = c_["MemoListOfTexts"].Text;
  if (!text.empty() && text.back() != u'\n') text += u"\r\n";
  text += Line;
  SetText("MemoListOfTexts", std::move(text));
}

void TOptionsModel::DropFile(std::u16string_view FileName) {
  if (Index("RGMode") == 0) {
    RGModeClick();
  } else {
    SetItemIndex("RGMode", 0);
  }
  AddInputLine(FileName);
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
  if (Name == "RGMode") {
    RGModeClick();
  } else if (Name == "RGInputType") {
    RGInputTypeClick();
  } else if (Name == "CheckBoxColumnLemmata") {
    CheckBoxColumnLemmataClick();
  } else if (Name == "CheckBoxCollumnTags") {
    CheckBoxCollumnTagsClick();
  } else if (Name == "CheckBoxWordForms") {
    CheckBoxWordFormsClick();
  } else if (Name == "CheckBoxLemmata") {
    CheckBoxLemmataClick();
  } else if (Name == "RadioGroupWhatToDo") {
    RadioGroupWhatToDoClick();
  } else if (std::find(kCrossBoxes.begin(), kCrossBoxes.end(), Name) != kCrossBoxes.end()) {
    CheckBoxCrossClick();
  } else if (Name == "CheckBoxOtherMetrics") {
    CheckBoxOtherMetricsClick();
  } else if (Name == "CheckBoxLegacyMetrics") {
    CheckBoxLegacyMetricsClick();
  } else if (Name == "CheckBoxHillsContinuum") {
    CheckBoxHillsContinuumClick();
  } else if (Name == "CheckBoxIndices") {
    CheckBoxIndicesClick();
  }
}

bool TOptionsModel::LemmaPossible() const {
  const int t = Index("RGInputType");
  return CarriesLemmaAndTag(t) || (t == kCustomVertical && Checked("CheckBoxColumnLemmata"));
}

bool TOptionsModel::TagsPossible() const {
  const int t = Index("RGInputType");
  return CarriesLemmaAndTag(t) || (t == kCustomVertical && Checked("CheckBoxCollumnTags"));
}

bool TOptionsModel::AnyCrossChecked() const {
  return std::any_of(kCrossBoxes.begin(), kCrossBoxes.end(),
                     [this](std::string_view box) { return Checked(box); });
}

void TOptionsModel::RGModeClick() {
  const int m = Index("RGMode");
  const int t = Index("RGInputType");
  SetShown("PanelInputTexts", true);
  SetShown("PanelLoadTexts", m == 0);
  SetShown("PanelInputType", m == 0);
  SetShown("PanelWoL", m == 0);
  if (!wolBelowInputDetails_) {
    wolBelowInputDetails_ = true;
    Notify("PanelWoL");
  }
  SetShown("PanelCustomVertical", t == kCustomVertical && m == 0);
  if (m == 1) SetShown("PanelInputDetails", true);
  SetEnabled("CheckBoxLemmata", m == 0);
  if (m == 1) SetCheckedByRule("CheckBoxLemmata", false);
  SetEnabled("EditLemmaDictionary", Checked("CheckBoxLemmata") && m == 0);
  SetEnabled("ButtonOpenFileLemma", Checked("CheckBoxLemmata") && m == 0);
  SetEnabled("CheckBoxAutosemanticsRatio", m == 0);
  if (m == 1) SetCheckedByRule("CheckBoxAutosemanticsRatio", false);
}

void TOptionsModel::RGInputTypeClick() {
  SetShown("PanelInputDetails", true);
  SetShown("PanelWoL", true);
  SetShown("PanelCustomVertical", Index("RGInputType") == kCustomVertical);
  ApplyLemmaPossible();
  ApplyTagsPossible();
}

void TOptionsModel::ApplyLemmaPossible() {
  const bool possible = LemmaPossible();
  SetEnabled("CheckBoxLemmata", possible);
  if (!possible) SetCheckedByRule("CheckBoxLemmata", false);
}

void TOptionsModel::ApplyTagsPossible() {
  const bool possible = TagsPossible();
  SetEnabled("CheckBoxAutosemanticsRatio", possible);
  if (!possible) SetCheckedByRule("CheckBoxAutosemanticsRatio", false);
}

void TOptionsModel::CheckBoxColumnLemmataClick() {
  SetShown("SpinEditLemma", Checked("CheckBoxColumnLemmata"));
  ApplyLemmaPossible();
}

void TOptionsModel::CheckBoxCollumnTagsClick() {
  const bool checked = Checked("CheckBoxCollumnTags");
  SetShown("SpinEditTags", checked);
  SetShown("LabelTagsForAutosemantics", checked);
  SetShown("EditTagsForAutosemantics", checked);
  ApplyTagsPossible();
}

void TOptionsModel::CheckBoxWordFormsClick() {
  const bool checked = Checked("CheckBoxWordForms");
  SetEnabled("EditWordDictionary", checked);
  SetEnabled("ButtonOpenFileWordForm", checked);
}

void TOptionsModel::CheckBoxLemmataClick() {
  const bool checked = Checked("CheckBoxLemmata");
  SetEnabled("EditLemmaDictionary", checked);
  SetEnabled("ButtonOpenFileLemma", checked);
}

void TOptionsModel::RadioGroupWhatToDoClick() {
  const int w = Index("RadioGroupWhatToDo");
  SetShown("PanelWindowLength", w == 0);
  SetShown("PanelMetrics", w == 0);
  SetShown("PanelProcess", w == 0);
  SetShown("PanelOtherMetrics", Checked("CheckBoxOtherMetrics") && w == 0);
  SetShown("PanelLegacyMetrics", Checked("CheckBoxLegacyMetrics") && w == 0);
  SetShown("ButtonCreateReference", w == 1);
  SetShown("CheckBoxReferenceContains", w == 0);
  SetShown("PanelDictionary", w == 1 || AnyCrossChecked());
}

void TOptionsModel::CheckBoxCrossClick() {
  const int w = Index("RadioGroupWhatToDo");
  // The list panel always stands directly above PanelProcess in RightColumnPanels.
  SetShown("PanelDictionary", w == 1 || AnyCrossChecked());
  SetShown("ButtonCreateReference", w == 1);
  SetShown("CheckBoxReferenceContains", w == 0);
}

void TOptionsModel::CheckBoxOtherMetricsClick() {
  const bool checked = Checked("CheckBoxOtherMetrics");
  SetShown("PanelOtherMetrics", checked);
  if (!checked) SetShown("PanelLegacyMetrics", false);
}

void TOptionsModel::CheckBoxLegacyMetricsClick() {
  SetShown("PanelLegacyMetrics", Checked("CheckBoxLegacyMetrics"));
}

void TOptionsModel::CheckBoxHillsContinuumClick() {
  const bool checked = Checked("CheckBoxHillsContinuum");
  SetShown("EditHillsQ", checked);
  SetShown("LabelQ", checked);
}

void TOptionsModel::CheckBoxIndicesClick() { SetShown("PanelIndices", Checked("CheckBoxIndices")); }

// ---- Encoders ----

TWordOrLemmaSet TOptionsModel::EncodeWoL() const {
  TWordOrLemmaSet s;
  if (Checked("CheckBoxWordForms")) s.Include(tWordOrLemma::tokWord);
  if (Checked("CheckBoxLemmata")) s.Include(tWordOrLemma::tokLemma);
  return s;
}

TMeasureSet TOptionsModel::EncodeMetrics() const {
  static constexpr std::pair<std::string_view, tMeasure> kBoxes[] = {
      {"CheckBoxTypes", tMeasure::vTypes},
      {"CheckBoxHapax", tMeasure::vHapax},
      {"CheckBoxPerplexity", tMeasure::vPerplexity},
      {"CheckBoxRRR", tMeasure::vRRR},
      {"CheckBoxHillsContinuum", tMeasure::vHillsContinuum},
      {"CheckBoxCrossPerplexity", tMeasure::vCrossPerplexity},
      {"CheckBoxCrossDistinctionRate", tMeasure::vCrossRRR},
      {"CheckBoxWordLength", tMeasure::vLength},
      {"CheckBoxDissimilarity_Levenshtein", tMeasure::vDifference},
      {"CheckBoxAutosemanticsRatio", tMeasure::vAutosemantics},
  };
  TMeasureSet s{tMeasure::vTokens};
  for (const auto& [box, measure] : kBoxes) {
    if (Checked(box)) s.Include(measure);
  }
  return s;
}

tMeasureSecondarySet TOptionsModel::EncodeMetricsSecondary() const {
  static constexpr std::pair<std::string_view, tMeasureSecondary> kBoxes[] = {
      {"CheckBoxTTR", tMeasureSecondary::vTTR},
      {"CheckBoxLogTTR", tMeasureSecondary::vLogTTR},
      {"CheckBoxRootTTR", tMeasureSecondary::vRootTTR},
      {"CheckBoxEntropy", tMeasureSecondary::vEntropy},
      {"CheckBoxCrossEntropy", tMeasureSecondary::vCrossEntropy},
      {"CheckBoxRelativeEntropy", tMeasureSecondary::vRelativeEntropy},
      {"CheckBoxRepeatRate", tMeasureSecondary::vRepeatRate},
      {"CheckBoxCrossRepeatRate", tMeasureSecondary::vCrossRepeatRate},
      {"CheckBoxRelativePerplexity", tMeasureSecondary::vRelativePerplexity},
  };
  tMeasureSecondarySet s;
  for (const auto& [box, measure] : kBoxes) {
    if (Checked(box)) s.Include(measure);
  }
  return s;
}

TOutputTypeSet TOptionsModel::EncodeOutputTypes() const {
  TOutputTypeSet s;
  if (Checked("CheckBoxOutputAverages")) s.Include(TOutputType::outAverage);
  if (Checked("CheckBoxOutputDistributions")) s.Include(TOutputType::outDistribution);
  if (Checked("CheckBoxOutputSeries")) s.Include(TOutputType::outSerie);
  if (Checked("CheckBoxOutputTotalValues")) s.Include(TOutputType::outWholeTexts);
  if (Checked("CheckBoxIndices")) s.Include(TOutputType::outIndices);
  return s;
}

TIndexSet TOptionsModel::EncodeIndices() const {
  TIndexSet s;
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    const auto index = static_cast<tIndex>(i);
    if (Checked(IndexBoxName(index))) s.Include(index);
  }
  return s;
}

void TOptionsModel::EncodeCustomVertcal(TCustomVertical& Custom) const {
  Custom.IsCustomVertical = Index("RGInputType") == kCustomVertical;
  Custom.WordIndex = GetValue("SpinEditWord");
  Custom.LemmaIndex =
      Checked("CheckBoxColumnLemmata") ? GetValue("SpinEditLemma") : Custom.WordIndex;
  Custom.TagIndex = Checked("CheckBoxCollumnTags") ? GetValue("SpinEditTags") : Custom.WordIndex;
  Custom.NewDocMarker = c_["EditTextBegin"].Text;
}

// ---- Runs ----

void TOptionsModel::PrepareRun() {
  if (Index("RGInputType") >= 0 && Index("RGMode") != 1) return;
  TControl& t = c_["RGInputType"];
  if (t.ItemIndex == 0) return;
  t.ItemIndex = 0;
  Notify("RGInputType");
  RGInputTypeClick();
}

THow TOptionsModel::How() const {
  const int t = Index("RGInputType");
  // Pasted text is always read as plain text; so is input with no format chosen.
  if (t < 0 || Index("RGMode") == 1) return THow::JStandard;
  return static_cast<THow>(t);
}

TWordOrLemmaNames TOptionsModel::GetReferenceFileNames() const {
  TWordOrLemmaNames names;
  if (!c_["CheckBoxReferenceContains"].Shown) return names;
  if (Checked("CheckBoxWordForms")) names[tWordOrLemma::tokWord] = c_["EditWordDictionary"].Text;
  if (Checked("CheckBoxLemmata")) names[tWordOrLemma::tokLemma] = c_["EditLemmaDictionary"].Text;
  return names;
}

TMeasureParameters TOptionsModel::GetMeasureParameters() const {
  TMeasureParameters p;
  p.ReferenceDictionary = GetReferenceFileNames();
  p.AutosemanticTags = c_["EditTagsForAutosemantics"].Text;
  p.InputFile = c_["MemoListOfTexts"].Text;
  p.OutputFolder = c_["EditOutputDirectory"].Text;
  p.DoOmitPunctuation = Checked("CheckBoxOmitPunctuation");
  p.DoOmitDigits = Checked("CheckBoxOmitDigits");
  p.WoL = EncodeWoL();
  p.measures = EncodeMetrics();
  p.MeasuresSecondary = EncodeMetricsSecondary();
  p.Custom.Clear();
  EncodeCustomVertcal(p.Custom);
  p.LagLength = static_cast<std::uint32_t>(GetValue("SpinEditWindowLength"));
  p.OutputTypes = EncodeOutputTypes();
  p.Indices = EncodeIndices();
  p.HillsQ = ReadFloat(c_["EditHillsQ"].Text);
  p.RefDicContrainsText = Checked("CheckBoxReferenceContains");
  p.How = How();
  p.IsWholeText = Index("RGMode") == 1;
  p.CS = static_cast<TCasesensitiveness>(Index("RadioGroupCaseSensitivity"));
  return p;
}

TDictionaryParameters TOptionsModel::GetDictionaryParameters() const {
  TDictionaryParameters p;
  p.InputFile = c_["MemoListOfTexts"].Text;
  p.OutputFileWF = c_["EditWordDictionary"].Text;
  p.OutputFileLemma = c_["EditLemmaDictionary"].Text;
  p.DoOmitPunctuation = Checked("CheckBoxOmitPunctuation");
  p.DoOmitDigits = Checked("CheckBoxOmitDigits");
  p.WoL = EncodeWoL();
  p.Custom.Clear();
  EncodeCustomVertcal(p.Custom);
  p.How = How();
  p.IsWholeText = Index("RGMode") == 1;
  p.CS = static_cast<TCasesensitiveness>(Index("RadioGroupCaseSensitivity"));
  return p;
}

}  // namespace tavora
