#include "options/TOptionControls.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "engine/Indices.h"
#include "input/THow.h"
#include "options/ControlNames.h"
#include "options/MeasureHelp.h"

namespace tavora {

namespace {

// A control of the given kind under its parent; the factories below fill in the rest.
TControl Make(std::string_view name, TControlKind kind, std::string_view parent,
              bool shown = true) {
  TControl c;
  c.Name = name;
  c.Kind = kind;
  c.Parent = parent;
  c.Shown = shown;
  return c;
}

TControl Panel(std::string_view name, std::string_view parent, bool shown) {
  return Make(name, TControlKind::Panel, parent, shown);
}

TControl Radio(std::string_view name, std::string_view parent, std::u16string caption,
               std::vector<std::u16string> items, int columns, int itemIndex) {
  TControl c = Make(name, TControlKind::RadioGroup, parent);
  c.Caption = std::move(caption);
  c.Items = std::move(items);
  c.Columns = columns;
  c.ItemIndex = itemIndex;
  return c;
}

TControl Choice(std::string_view name, std::string_view parent, std::vector<std::u16string> items,
                int itemIndex, bool shown) {
  TControl c = Make(name, TControlKind::Choice, parent, shown);
  c.Items = std::move(items);
  c.ItemIndex = itemIndex;
  return c;
}

TControl Check(std::string_view name, std::string_view parent, std::u16string caption,
               bool checked) {
  TControl c = Make(name, TControlKind::CheckBox, parent);
  c.Caption = std::move(caption);
  c.Checked = checked;
  return c;
}

TControl Integer(std::string_view name, std::string_view parent, std::u16string label, int value,
                 int minValue, int maxValue, bool shown = true) {
  TControl c = Make(name, TControlKind::IntegerField, parent, shown);
  c.Label = std::move(label);
  const std::string digits = std::to_string(value);
  c.Text.assign(digits.begin(), digits.end());
  c.MinValue = minValue;
  c.MaxValue = maxValue;
  return c;
}

TControl Edit(std::string_view name, std::string_view parent, std::u16string label,
              std::u16string text, bool shown = true) {
  TControl c = Make(name, TControlKind::TextField, parent, shown);
  c.Label = std::move(label);
  c.Text = std::move(text);
  return c;
}

TControl Button(std::string_view name, std::string_view parent, std::u16string caption) {
  TControl c = Make(name, TControlKind::Button, parent);
  c.Caption = std::move(caption);
  return c;
}

TControl Label(std::string_view name, std::string_view parent, std::u16string caption, bool shown) {
  TControl c = Make(name, TControlKind::Label, parent, shown);
  c.Caption = std::move(caption);
  return c;
}

std::vector<std::u16string> InputTypeItems() {
  std::vector<std::u16string> items;
  for (const TInputFormat& format : kInputFormats) items.emplace_back(format.Caption);
  return items;
}

// Left column: texts and input. Only the first question is shown at start.
void AddTextsAndInput(std::vector<TControl>& c) {
  c.push_back(Panel(ctl::PanelFirstDecision, "", true));
  c.push_back(Radio(ctl::RGMode, ctl::PanelFirstDecision, u"What texts do you want to process?",
                    {u"Analyze texts in txt files", u"Just copy and paste the text"}, 2, -1));
  c.push_back(Panel(ctl::PanelInputTexts, "", false));
  c.push_back(Make(ctl::MemoListOfTexts, TControlKind::MultiLineText, ctl::PanelInputTexts));
  c.push_back(Panel(ctl::PanelLoadTexts, ctl::PanelInputTexts, false));
  c.push_back(Button(ctl::ButtonOpenFiles, ctl::PanelLoadTexts, u"Open files"));
  c.push_back(Panel(ctl::PanelInputType, "", false));
  c.push_back(Radio(ctl::RGInputType, ctl::PanelInputType, u"Input Type", InputTypeItems(), 2, -1));
  c.push_back(Check(ctl::CheckBoxUniversalDependencies, ctl::PanelInputType,
                    u"Universal Dependencies conventions", false));
  c.back().Shown = false;
  c.push_back(Edit(ctl::EditEncoding, ctl::PanelInputType, u"Text encoding (empty: UTF-8)", u""));
  c.push_back(Panel(ctl::PanelCustomVertical, "", false));
  c.push_back(
      Integer(ctl::SpinEditWord, ctl::PanelCustomVertical, u"Column with words", 1, 0, 128));
  c.push_back(
      Check(ctl::CheckBoxColumnLemmata, ctl::PanelCustomVertical, u"Column with lemmata", false));
  c.push_back(Integer(ctl::SpinEditLemma, ctl::PanelCustomVertical, u"", 2, 0, 128, false));
  c.push_back(
      Check(ctl::CheckBoxCollumnTags, ctl::PanelCustomVertical, u"Column with tags", false));
  c.push_back(Integer(ctl::SpinEditTags, ctl::PanelCustomVertical, u"", 3, 0, 128, false));
  c.push_back(Edit(ctl::EditTextBegin, ctl::PanelCustomVertical, u"Text metadata line begins with",
                   u"<doc"));
  c.push_back(Label(ctl::LabelTagsForAutosemantics, ctl::PanelCustomVertical,
                    u"Autosemantic tags start with", false));
  c.push_back(
      Edit(ctl::EditTagsForAutosemantics, ctl::PanelCustomVertical, u"", u"N|A|V|D", false));
  c.push_back(Panel(ctl::PanelInputDetails, "", false));
  c.push_back(Radio(
      ctl::RadioGroupCaseSensitivity, ctl::PanelInputDetails, u"Case sensitivity",
      {u"Always case sensitive", u"Only if lemma starts with capital", u"Case insensitive"}, 3, 2));
  c.push_back(
      Check(ctl::CheckBoxOmitPunctuation, ctl::PanelInputDetails, u"Omit punctuation", true));
  c.push_back(Check(ctl::CheckBoxOmitDigits, ctl::PanelInputDetails, u"Omit digits", true));
  c.push_back(Check(ctl::CheckBoxDocumentPerFile, ctl::PanelInputDetails,
                    u"Every file starts a new document", false));
  c.push_back(Panel(ctl::PanelWoL, "", false));
  c.push_back(Check(ctl::CheckBoxWordForms, ctl::PanelWoL, u"Word Forms", true));
  c.push_back(Check(ctl::CheckBoxLemmata, ctl::PanelWoL, u"Lemmata", false));
}

// Right column, top: task and measures. Only the task question is shown at start.
void AddTaskAndMeasures(std::vector<TControl>& c) {
  c.push_back(Panel(ctl::PanelWhatToDo, "", true));
  c.push_back(Radio(ctl::RadioGroupWhatToDo, ctl::PanelWhatToDo, u"What do you want to do?",
                    {u"Measure lexical diversity", u"Get frequency list of types"}, 2, -1));
  c.push_back(Panel(ctl::PanelWindowLength, "", false));
  c.push_back(Integer(ctl::SpinEditWindowLength, ctl::PanelWindowLength, u"Window length", 200,
                      kMinWindowLength, 1000000));
  c.push_back(Panel(ctl::PanelMetrics, "", false));
  c.push_back(Check(ctl::CheckBoxTypes, ctl::PanelMetrics, u"Number of types", true));
  c.push_back(Check(ctl::CheckBoxPerplexity, ctl::PanelMetrics, u"Perplexity", true));
  c.push_back(Check(ctl::CheckBoxCrossPerplexity, ctl::PanelMetrics, u"Cross perplexity", false));
  c.push_back(Check(ctl::CheckBoxOtherMetrics, ctl::PanelMetrics, u"Other metrics", false));
  c.push_back(Panel(ctl::PanelOtherMetrics, "", false));
  c.push_back(
      Check(ctl::CheckBoxHapax, ctl::PanelOtherMetrics, u"Number of hapax legomena", false));
  c.push_back(Check(ctl::CheckBoxRRR, ctl::PanelOtherMetrics, u"Rev. repeat rate", false));
  c.push_back(Check(ctl::CheckBoxCrossDistinctionRate, ctl::PanelOtherMetrics,
                    u"Cross reverse repeat rate", false));
  c.push_back(Check(ctl::CheckBoxRepeatRate, ctl::PanelOtherMetrics, u"Repeat rate", false));
  c.push_back(
      Check(ctl::CheckBoxCrossRepeatRate, ctl::PanelOtherMetrics, u"Cross repeat rate", false));
  c.push_back(Check(ctl::CheckBoxEntropy, ctl::PanelOtherMetrics, u"Entropy", false));
  c.push_back(Check(ctl::CheckBoxCrossEntropy, ctl::PanelOtherMetrics, u"Cross entropy", false));
  c.push_back(Check(ctl::CheckBoxRelativePerplexity, ctl::PanelOtherMetrics, u"Relative perplexity",
                    false));
  c.push_back(Check(ctl::CheckBoxRelativeEntropy, ctl::PanelOtherMetrics,
                    u"Relative entropy (Kullback-Leibler Divergence)", false));
  c.push_back(Check(ctl::CheckBoxDissimilarity_Levenshtein, ctl::PanelOtherMetrics,
                    u"Dissimilarity (average relative Levenshtein distance)", false));
  c.push_back(
      Check(ctl::CheckBoxHillsContinuum, ctl::PanelOtherMetrics, u"Hill's continuum", false));
  c.push_back(Label(ctl::LabelQ, ctl::PanelOtherMetrics, u"Hill's Q=", false));
  c.push_back(Edit(ctl::EditHillsQ, ctl::PanelOtherMetrics, u"", u"3", false));
  c.push_back(Check(ctl::CheckBoxAutosemanticsRatio, ctl::PanelOtherMetrics,
                    u"Ratio of autosemantics", false));
  // Items in the order of TAutosemanticChoice.
  c.push_back(Choice(
      ctl::ComboBoxAutosemanticRule, ctl::PanelOtherMetrics,
      {u"Built-in rule", u"UPOS: NOUN, PROPN, VERB, ADJ, ADV", u"Tags starting with"}, 0, false));
  c.push_back(Edit(ctl::EditAutosemanticPrefixes, ctl::PanelOtherMetrics, u"", u"N|A|V|D", false));
  c.push_back(Check(ctl::CheckBoxWordLength, ctl::PanelOtherMetrics, u"Word length", false));
  c.push_back(Check(ctl::CheckBoxLegacyMetrics, ctl::PanelOtherMetrics, u"Legacy metrics", false));
  c.push_back(Panel(ctl::PanelLegacyMetrics, "", false));
  c.push_back(
      Check(ctl::CheckBoxTTR, ctl::PanelLegacyMetrics, u"Type-token ratio (TTR + MATTR)", false));
  c.push_back(Check(ctl::CheckBoxLogTTR, ctl::PanelLegacyMetrics, u"LogTTR (Herdan's C)", false));
  c.push_back(Check(ctl::CheckBoxRootTTR, ctl::PanelLegacyMetrics, u"Root TTR (Giraud)", false));
}

// Right column, bottom: the reference lists, the output folder, the result families and the
// further indices.
void AddListsAndOutput(std::vector<TControl>& c) {
  c.push_back(Panel(ctl::PanelDictionary, "", false));
  c.push_back(
      Edit(ctl::EditWordDictionary, ctl::PanelDictionary, u"Frequency list of word forms", u""));
  c.push_back(Button(ctl::ButtonOpenFileWordForm, ctl::PanelDictionary, u"Select file"));
  c.push_back(
      Edit(ctl::EditLemmaDictionary, ctl::PanelDictionary, u"Frequency list of lemmata ", u""));
  c.push_back(Button(ctl::ButtonOpenFileLemma, ctl::PanelDictionary, u"Select file"));
  c.push_back(Check(ctl::CheckBoxReferenceContains, ctl::PanelDictionary,
                    u"Reference corpus contains measured text(s)", false));
  c.push_back(
      Button(ctl::ButtonCreateReference, ctl::PanelDictionary, u"Create frequency list of types"));
  c.push_back(Panel(ctl::PanelProcess, "", false));
  c.push_back(Edit(ctl::EditOutputDirectory, ctl::PanelProcess,
                   u"Save statistics to the following directory:", u""));
  c.push_back(Button(ctl::ButtonSelectOutputDirectory, ctl::PanelProcess, u"Select directory"));
  c.push_back(Check(ctl::CheckBoxOutputAverages, ctl::PanelProcess, u"Averages", true));
  c.push_back(Check(ctl::CheckBoxOutputDistributions, ctl::PanelProcess, u"Distributions", false));
  c.push_back(Check(ctl::CheckBoxOutputSeries, ctl::PanelProcess, u"Series", false));
  c.push_back(Check(ctl::CheckBoxOutputTotalValues, ctl::PanelProcess,
                    u"Values for the whole texts", false));
  c.push_back(Check(ctl::CheckBoxIndices, ctl::PanelProcess,
                    u"Further indices (MTLD, HD-D, Yule's K, \u2026)", false));
  c.push_back(Panel(ctl::PanelIndices, ctl::PanelProcess, false));
  for (const tIndex index : TIndexSet::All()) {
    c.push_back(Check(kIndexBoxes[static_cast<std::size_t>(index)], ctl::PanelIndices,
                      std::u16string(IndexCaption(index)), kDefaultIndices.Contains(index)));
  }
  c.push_back(Check(ctl::CheckBoxOutputCsv, ctl::PanelProcess, u"CSV files", true));
  c.push_back(
      Check(ctl::CheckBoxOutputDatabase, ctl::PanelProcess, u"Results database (SQLite)", false));
  c.push_back(Check(ctl::CheckBoxSafeCsv, ctl::PanelProcess,
                    u"Safe for spreadsheets (an apostrophe before =, +, -, @)", true));
  c.push_back(Check(ctl::CheckBoxDocumentIds, ctl::PanelProcess, u"Document id column", false));
  c.push_back(Check(ctl::CheckBoxFullPrecision, ctl::PanelProcess,
                    u"Full precision (shortest exact decimals)", false));
  // Item orders follow TMtldRule and TLogBase.
  c.push_back(Edit(ctl::EditMtldThreshold, ctl::PanelIndices, u"MTLD threshold", u"0.72"));
  c.push_back(Radio(ctl::RadioGroupMtldRule, ctl::PanelIndices, u"An MTLD factor ends at",
                    {u"TTR \u2264 threshold", u"TTR < threshold, 10 tokens or more"}, 2, 0));
  c.push_back(
      Integer(ctl::SpinEditHddSample, ctl::PanelIndices, u"HD-D sample size", 42, 1, 1000000));
  c.push_back(Radio(ctl::RadioGroupLogBase, ctl::PanelIndices,
                    u"Logarithm of Maas, Dugast and Summer", {u"natural (e)", u"decimal (10)"}, 2,
                    0));
  c.push_back(
      Integer(ctl::SpinEditSeed, ctl::PanelIndices, u"vocd-D random seed", 42, 0, 2147483647));
  c.push_back(Button(ctl::ButtonProcess, ctl::PanelProcess, u"Process the texts!"));
}

}  // namespace

TOptionControls::TOptionControls() {
  AddTextsAndInput(controls_);
  AddTaskAndMeasures(controls_);
  AddListsAndOutput(controls_);
  for (TControl& control : controls_) control.Help = ControlHelp(control);
}

std::size_t TOptionControls::IndexOf(std::string_view Name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].Name == Name) return i;
  }
  throw std::invalid_argument("Unknown option '" + std::string(Name) + "'");
}

}  // namespace tavora
