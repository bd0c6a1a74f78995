#include "options/TOptionControls.h"

#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "input/THow.h"
#include "processing/Indices.h"

namespace tavora {

namespace {

// A control of the given kind under its parent; the factories below fill in the rest.
TControl Make(std::string name, TControlKind kind, std::string parent, bool shown = true) {
  TControl c;
  c.Name = std::move(name);
  c.Kind = kind;
  c.Parent = std::move(parent);
  c.Shown = shown;
  return c;
}

TControl Panel(std::string name, std::string parent, bool shown) {
  return Make(std::move(name), TControlKind::Panel, std::move(parent), shown);
}

TControl Radio(std::string name, std::string parent, std::u16string caption,
               std::vector<std::u16string> items, int columns, int itemIndex) {
  TControl c = Make(std::move(name), TControlKind::RadioGroup, std::move(parent));
  c.Caption = std::move(caption);
  c.Items = std::move(items);
  c.Columns = columns;
  c.ItemIndex = itemIndex;
  return c;
}

TControl Check(std::string name, std::string parent, std::u16string caption, bool checked) {
  TControl c = Make(std::move(name), TControlKind::CheckBox, std::move(parent));
  c.Caption = std::move(caption);
  c.Checked = checked;
  return c;
}

TControl Integer(std::string name, std::string parent, std::u16string label, int value,
                 int minValue, int maxValue, bool shown = true) {
  TControl c = Make(std::move(name), TControlKind::IntegerField, std::move(parent), shown);
  c.Label = std::move(label);
  const std::string digits = std::to_string(value);
  c.Text.assign(digits.begin(), digits.end());
  c.MinValue = minValue;
  c.MaxValue = maxValue;
  return c;
}

TControl Edit(std::string name, std::string parent, std::u16string label, std::u16string text,
              bool shown = true) {
  TControl c = Make(std::move(name), TControlKind::TextField, std::move(parent), shown);
  c.Label = std::move(label);
  c.Text = std::move(text);
  return c;
}

TControl Button(std::string name, std::string parent, std::u16string caption) {
  TControl c = Make(std::move(name), TControlKind::Button, std::move(parent));
  c.Caption = std::move(caption);
  return c;
}

TControl Label(std::string name, std::string parent, std::u16string caption, bool shown) {
  TControl c = Make(std::move(name), TControlKind::Label, std::move(parent), shown);
  c.Caption = std::move(caption);
  return c;
}

std::vector<std::u16string> InputTypeItems() {
  std::vector<std::u16string> items;
  for (const TInputFormat& format : kInputFormats) items.emplace_back(format.Caption);
  return items;
}

}  // namespace

TOptionControls::TOptionControls() {
  auto& c = controls_;
  // Left column: texts and input. Only the first question is shown at start.
  c.push_back(Panel("PanelFirstDecision", "", true));
  c.push_back(Radio("RGMode", "PanelFirstDecision", u"What texts do you want to process?",
                    {u"Analyze texts in txt files", u"Just copy and paste the text"}, 2, -1));
  c.push_back(Panel("PanelInputTexts", "", false));
  {
    TControl memo;
    memo.Name = "MemoListOfTexts";
    memo.Kind = TControlKind::MultiLineText;
    memo.Parent = "PanelInputTexts";
    c.push_back(std::move(memo));
  }
  c.push_back(Panel("PanelLoadTexts", "PanelInputTexts", false));
  c.push_back(Button("ButtonOpenFiles", "PanelLoadTexts", u"Open files"));
  c.push_back(Panel("PanelInputType", "", false));
  c.push_back(Radio("RGInputType", "PanelInputType", u"Input Type", InputTypeItems(), 2, -1));
  c.push_back(Panel("PanelCustomVertical", "", false));
  c.push_back(Integer("SpinEditWord", "PanelCustomVertical", u"Column with words", 1, 0, 128));
  c.push_back(Check("CheckBoxColumnLemmata", "PanelCustomVertical", u"Column with lemmata", false));
  c.push_back(Integer("SpinEditLemma", "PanelCustomVertical", u"", 2, 0, 128, false));
  c.push_back(Check("CheckBoxCollumnTags", "PanelCustomVertical", u"Column with tags", false));
  c.push_back(Integer("SpinEditTags", "PanelCustomVertical", u"", 3, 0, 128, false));
  c.push_back(
      Edit("EditTextBegin", "PanelCustomVertical", u"Text metadata line begins with", u"<doc"));
  c.push_back(Label("LabelTagsForAutosemantics", "PanelCustomVertical",
                    u"Autosemantic tags start with", false));
  c.push_back(Edit("EditTagsForAutosemantics", "PanelCustomVertical", u"", u"N|A|V|D", false));
  c.push_back(Panel("PanelInputDetails", "", false));
  c.push_back(Radio(
      "RadioGroupCaseSensitivity", "PanelInputDetails", u"Case sensitivity",
      {u"Always case sensitive", u"Only if lemma starts with capital", u"Case insensitive"}, 3, 2));
  c.push_back(Check("CheckBoxOmitPunctuation", "PanelInputDetails", u"Omit punctuation", true));
  c.push_back(Check("CheckBoxOmitDigits", "PanelInputDetails", u"Omit digits", true));
  c.push_back(Panel("PanelWoL", "", false));
  c.push_back(Check("CheckBoxWordForms", "PanelWoL", u"Word Forms", true));
  c.push_back(Check("CheckBoxLemmata", "PanelWoL", u"Lemmata", false));

  // Right column: task, measures, output. Only the task question is shown at start.
  c.push_back(Panel("PanelWhatToDo", "", true));
  c.push_back(Radio("RadioGroupWhatToDo", "PanelWhatToDo", u"What do you want to do?",
                    {u"Measure lexical diversity", u"Get frequency list of types"}, 2, -1));
  c.push_back(Panel("PanelWindowLength", "", false));
  c.push_back(
      Integer("SpinEditWindowLength", "PanelWindowLength", u"Window length", 200, 10, 1000000));
  c.push_back(Panel("PanelMetrics", "", false));
  c.push_back(Check("CheckBoxTypes", "PanelMetrics", u"Number of types", true));
  c.push_back(Check("CheckBoxPerplexity", "PanelMetrics", u"Perplexity", true));
  c.push_back(Check("CheckBoxCrossPerplexity", "PanelMetrics", u"Cross perplexity", false));
  c.push_back(Check("CheckBoxOtherMetrics", "PanelMetrics", u"Other metrics", false));
  c.push_back(Panel("PanelOtherMetrics", "", false));
  c.push_back(Check("CheckBoxHapax", "PanelOtherMetrics", u"Number of hapax legomena", false));
  c.push_back(Check("CheckBoxRRR", "PanelOtherMetrics", u"Rev. repeat rate", false));
  c.push_back(Check("CheckBoxCrossDistinctionRate", "PanelOtherMetrics",
                    u"Cross reverse repeat rate", false));
  c.push_back(Check("CheckBoxRepeatRate", "PanelOtherMetrics", u"Repeat rate", false));
  c.push_back(Check("CheckBoxCrossRepeatRate", "PanelOtherMetrics", u"Cross repeat rate", false));
  c.push_back(Check("CheckBoxEntropy", "PanelOtherMetrics", u"Entropy", false));
  c.push_back(Check("CheckBoxCrossEntropy", "PanelOtherMetrics", u"Cross entropy", false));
  c.push_back(
      Check("CheckBoxRelativePerplexity", "PanelOtherMetrics", u"Relative perplexity", false));
  c.push_back(Check("CheckBoxRelativeEntropy", "PanelOtherMetrics",
                    u"Relative entropy (Kullback-Leibler Divergence)", false));
  c.push_back(Check("CheckBoxDissimilarity_Levenshtein", "PanelOtherMetrics",
                    u"Dissimilarity (average relative Levenshtein distance)", false));
  c.push_back(Check("CheckBoxHillsContinuum", "PanelOtherMetrics", u"Hill's continuum", false));
  c.push_back(Label("LabelQ", "PanelOtherMetrics", u"Hill's Q=", false));
  c.push_back(Edit("EditHillsQ", "PanelOtherMetrics", u"", u"3", false));
  c.push_back(
      Check("CheckBoxAutosemanticsRatio", "PanelOtherMetrics", u"Ratio of autosemantics", false));
  c.push_back(Check("CheckBoxWordLength", "PanelOtherMetrics", u"Word length", false));
  c.push_back(Check("CheckBoxLegacyMetrics", "PanelOtherMetrics", u"Legacy metrics", false));
  c.push_back(Panel("PanelLegacyMetrics", "", false));
  c.push_back(Check("CheckBoxTTR", "PanelLegacyMetrics", u"Type-token ratio (TTR + MATTR)", false));
  c.push_back(Check("CheckBoxLogTTR", "PanelLegacyMetrics", u"LogTTR (Herdan's C)", false));
  c.push_back(Check("CheckBoxRootTTR", "PanelLegacyMetrics", u"Root TTR (Giraud)", false));
  c.push_back(Panel("PanelDictionary", "", false));
  c.push_back(Edit("EditWordDictionary", "PanelDictionary", u"Frequency list of word forms", u""));
  c.push_back(Button("ButtonOpenFileWordForm", "PanelDictionary", u"Select file"));
  c.push_back(Edit("EditLemmaDictionary", "PanelDictionary", u"Frequency list of lemmata ", u""));
  c.push_back(Button("ButtonOpenFileLemma", "PanelDictionary", u"Select file"));
  c.push_back(Check("CheckBoxReferenceContains", "PanelDictionary",
                    u"Reference corpus contains measured text(s)", false));
  c.push_back(
      Button("ButtonCreateReference", "PanelDictionary", u"Create frequency list of types"));
  c.push_back(Panel("PanelProcess", "", false));
  c.push_back(Edit("EditOutputDirectory", "PanelProcess",
                   u"Save statistics to the following directory:", u""));
  c.push_back(Button("ButtonSelectOutputDirectory", "PanelProcess", u"Select directory"));
  c.push_back(Check("CheckBoxOutputAverages", "PanelProcess", u"Averages", true));
  c.push_back(Check("CheckBoxOutputDistributions", "PanelProcess", u"Distributions", false));
  c.push_back(Check("CheckBoxOutputSeries", "PanelProcess", u"Series", false));
  c.push_back(
      Check("CheckBoxOutputTotalValues", "PanelProcess", u"Values for the whole texts", false));
  c.push_back(Check("CheckBoxIndices", "PanelProcess",
                    u"Further indices (MTLD, HD-D, Yule's K, \u2026)", false));
  c.push_back(Panel("PanelIndices", "PanelProcess", false));
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    const auto index = static_cast<tIndex>(i);
    c.push_back(
        Check(IndexBoxName(index), "PanelIndices", std::u16string(IndexCaption(index)), true));
  }
  c.push_back(Button("ButtonProcess", "PanelProcess", u"Process the texts!"));
}

std::string IndexBoxName(tIndex Index) {
  static constexpr std::array<std::string_view, kIndexCount> kBoxes = {
      "CheckBoxIndexMTLD",  "CheckBoxIndexMTLDMA", "CheckBoxIndexHDD",      "CheckBoxIndexMSTTR",
      "CheckBoxIndexYuleK", "CheckBoxIndexYuleI",  "CheckBoxIndexSimpsonD", "CheckBoxIndexHerdanVm",
      "CheckBoxIndexMaas",  "CheckBoxIndexDugast", "CheckBoxIndexSummer",   "CheckBoxIndexCTTR",
  };
  return std::string(kBoxes[static_cast<std::size_t>(Index)]);
}

std::size_t TOptionControls::IndexOf(std::string_view Name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].Name == Name) return i;
  }
  throw std::invalid_argument("Unknown option '" + std::string(Name) + "'");
}

}  // namespace tavora
