#include "options/TOptionsModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "options/ControlNames.h"
#include "options/OptionText.h"
#include "options/RunCheck.h"

namespace tavora {
namespace {

using ::testing::ElementsAre;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr int kPlain = 0;
constexpr int kSyn = 3;
constexpr int kCustom = 5;
constexpr int kConllu = 6;

// Every box that adds a measure, with the measure boxes of the start state among them.
const std::vector<std::string> kMeasureBoxes = {
    "CheckBoxTypes",
    "CheckBoxPerplexity",
    "CheckBoxCrossPerplexity",
    "CheckBoxHapax",
    "CheckBoxRRR",
    "CheckBoxCrossDistinctionRate",
    "CheckBoxRepeatRate",
    "CheckBoxCrossRepeatRate",
    "CheckBoxEntropy",
    "CheckBoxCrossEntropy",
    "CheckBoxRelativePerplexity",
    "CheckBoxRelativeEntropy",
    "CheckBoxDissimilarity_Levenshtein",
    "CheckBoxHillsContinuum",
    "CheckBoxAutosemanticsRatio",
    "CheckBoxWordLength",
    "CheckBoxTTR",
    "CheckBoxLogTTR",
    "CheckBoxRootTTR",
};

void UncheckAllMeasures(TOptionsModel& m) {
  for (const std::string& box : kMeasureBoxes) m.SetChecked(box, false);
}

// Files in a vertical format with lemmata and tags, so that every box is enabled.
TOptionsModel ModelForFiles(int format = kSyn) {
  TOptionsModel m;
  m.SetItemIndex("RGMode", 0);
  m.SetItemIndex("RGInputType", format);
  return m;
}

// ---- Start state ----

TEST(TOptionsModelStart, OnlyTheTwoQuestionsAreVisible) {
  const TOptionsModel m;
  std::vector<std::string> visiblePanels;
  for (const TControl& c : m.Controls()) {
    if (c.Kind == TControlKind::Panel && m.IsVisible(c.Name)) visiblePanels.push_back(c.Name);
  }
  EXPECT_THAT(visiblePanels, ElementsAre("PanelFirstDecision", "PanelWhatToDo"));
  EXPECT_EQ(m.GetItemIndex("RGMode"), -1);
  EXPECT_EQ(m.GetItemIndex("RGInputType"), -1);
  EXPECT_EQ(m.GetItemIndex("RadioGroupWhatToDo"), -1);
  EXPECT_THAT(m.LeftColumnPanels(),
              ElementsAre("PanelFirstDecision", "PanelInputTexts", "PanelInputType",
                          "PanelCustomVertical", "PanelWoL", "PanelInputDetails"));
}

// The start values, bounds and the captions the user reads first (the captions stand as the
// window has always shown them).
TEST(TOptionsModelStart, StartValuesBoundsAndCaptions) {
  const TOptionsModel m;
  EXPECT_EQ(m.GetValue("SpinEditWindowLength"), 200);
  // The engine measures windows from one token on, as the command line does.
  EXPECT_EQ(m.Control("SpinEditWindowLength").MinValue, 1);
  EXPECT_EQ(m.Control("SpinEditWindowLength").MaxValue, 1000000);
  EXPECT_EQ(m.GetText("EditTextBegin"), u"<doc");
  EXPECT_EQ(m.GetText("EditTagsForAutosemantics"), u"N|A|V|D");
  EXPECT_EQ(m.GetItemIndex("RadioGroupCaseSensitivity"), 2);
  EXPECT_EQ(m.EncodeWoL(), TWordOrLemmaSet{tWordOrLemma::tokWord});
  EXPECT_EQ(m.EncodeMetrics(),
            (TMeasureSet{tMeasure::vTokens, tMeasure::vTypes, tMeasure::vPerplexity}));
  EXPECT_TRUE(m.EncodeMetricsSecondary().Empty());
  EXPECT_EQ(m.EncodeOutputTypes(), TOutputTypeSet{TOutputType::outAverage});
  EXPECT_FALSE(m.IsShown("SpinEditLemma"));
  EXPECT_FALSE(m.IsShown("LabelQ"));
  EXPECT_EQ(TOptionsModel::kWindowCaption, u"Tavora");
  EXPECT_EQ(m.GetItems("RGInputType")[6], u"CoNLL-U (UTF-8)");
  EXPECT_THAT(m.GetItems("RadioGroupCaseSensitivity"),
              ElementsAre(u"Always case sensitive", u"Only if lemma starts with capital",
                          u"Case insensitive"));
  EXPECT_EQ(m.GetCaption("RGMode"), u"What texts do you want to process?");
  EXPECT_EQ(m.GetCaption("ButtonProcess"), u"Process the texts!");
}

// ---- Encoders ----

TEST(TOptionsModelEncoders, AllMeasureBoxesUncheckedGiveTokensOnly) {
  TOptionsModel m = ModelForFiles();
  UncheckAllMeasures(m);
  EXPECT_EQ(m.EncodeMetrics(), TMeasureSet{tMeasure::vTokens});
  EXPECT_TRUE(m.EncodeMetricsSecondary().Empty());
}

TEST(TOptionsModelEncoders, EachBoxAddsItsOneMeasure) {
  const struct {
    const char* box;
    TMeasureSet basic;
    tMeasureSecondarySet secondary;
  } cases[] = {
      {"CheckBoxTypes", {tMeasure::vTypes}, {}},
      {"CheckBoxHapax", {tMeasure::vHapax}, {}},
      {"CheckBoxPerplexity", {tMeasure::vPerplexity}, {}},
      {"CheckBoxRRR", {tMeasure::vRRR}, {}},
      {"CheckBoxHillsContinuum", {tMeasure::vHillsContinuum}, {}},
      {"CheckBoxCrossPerplexity", {tMeasure::vCrossPerplexity}, {}},
      {"CheckBoxCrossDistinctionRate", {tMeasure::vCrossRRR}, {}},
      {"CheckBoxWordLength", {tMeasure::vLength}, {}},
      {"CheckBoxDissimilarity_Levenshtein", {tMeasure::vDifference}, {}},
      {"CheckBoxAutosemanticsRatio", {tMeasure::vAutosemantics}, {}},
      {"CheckBoxTTR", {}, {tMeasureSecondary::vTTR}},
      {"CheckBoxLogTTR", {}, {tMeasureSecondary::vLogTTR}},
      {"CheckBoxRootTTR", {}, {tMeasureSecondary::vRootTTR}},
      {"CheckBoxEntropy", {}, {tMeasureSecondary::vEntropy}},
      {"CheckBoxCrossEntropy", {}, {tMeasureSecondary::vCrossEntropy}},
      {"CheckBoxRelativeEntropy", {}, {tMeasureSecondary::vRelativeEntropy}},
      {"CheckBoxRepeatRate", {}, {tMeasureSecondary::vRepeatRate}},
      {"CheckBoxCrossRepeatRate", {}, {tMeasureSecondary::vCrossRepeatRate}},
      {"CheckBoxRelativePerplexity", {}, {tMeasureSecondary::vRelativePerplexity}},
  };
  for (const auto& c : cases) {
    TOptionsModel m = ModelForFiles();
    UncheckAllMeasures(m);
    m.SetChecked(c.box, true);
    EXPECT_EQ(m.EncodeMetrics(), c.basic | TMeasureSet{tMeasure::vTokens}) << c.box;
    EXPECT_EQ(m.EncodeMetricsSecondary(), c.secondary) << c.box;
  }
}

TEST(TOptionsModelEncoders, CrossPerplexityWithTheOtherStartValues) {
  TOptionsModel m;
  m.SetChecked("CheckBoxCrossPerplexity", true);
  EXPECT_EQ(m.EncodeMetrics(), (TMeasureSet{tMeasure::vTokens, tMeasure::vTypes,
                                            tMeasure::vPerplexity, tMeasure::vCrossPerplexity}));
}

TEST(TOptionsModelEncoders, CrossRepeatRateAloneShowsTheListPanel) {
  TOptionsModel m;
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  UncheckAllMeasures(m);
  EXPECT_FALSE(m.IsShown("PanelDictionary"));
  m.SetChecked("CheckBoxCrossRepeatRate", true);
  EXPECT_EQ(m.EncodeMetricsSecondary(), tMeasureSecondarySet{tMeasureSecondary::vCrossRepeatRate});
  EXPECT_TRUE(m.IsShown("PanelDictionary"));
  EXPECT_TRUE(m.IsShown("CheckBoxReferenceContains"));
  EXPECT_FALSE(m.IsShown("ButtonCreateReference"));
  EXPECT_THAT(m.RightColumnPanels(), ::testing::Contains("PanelDictionary"));
  m.SetChecked("CheckBoxCrossRepeatRate", false);
  EXPECT_FALSE(m.IsShown("PanelDictionary"));
}

TEST(TOptionsModelEncoders, OutputTypesAndWordOrLemma) {
  TOptionsModel m = ModelForFiles();
  m.SetChecked("CheckBoxOutputAverages", false);
  EXPECT_TRUE(m.EncodeOutputTypes().Empty());
  m.SetChecked("CheckBoxOutputDistributions", true);
  m.SetChecked("CheckBoxOutputSeries", true);
  m.SetChecked("CheckBoxOutputTotalValues", true);
  EXPECT_EQ(m.EncodeOutputTypes(),
            (TOutputTypeSet{TOutputType::outDistribution, TOutputType::outSerie,
                            TOutputType::outWholeTexts}));
  m.SetChecked("CheckBoxLemmata", true);
  EXPECT_EQ(m.EncodeWoL(), (TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}));
  m.SetChecked("CheckBoxWordForms", false);
  EXPECT_EQ(m.EncodeWoL(), TWordOrLemmaSet{tWordOrLemma::tokLemma});
}

TEST(TOptionsModelEncoders, CustomVerticalColumns) {
  const struct {
    bool lemmaBox, tagBox;
    int lemma, tag;
  } cases[] = {
      {false, false, 4, 4},
      {true, false, 7, 4},
      {false, true, 4, 9},
      {true, true, 7, 9},
  };
  for (const auto& c : cases) {
    TOptionsModel m = ModelForFiles(kCustom);
    m.SetValue("SpinEditWord", 4);
    m.SetValue("SpinEditLemma", 7);
    m.SetValue("SpinEditTags", 9);
    m.SetText("EditTextBegin", u" <text ");
    m.SetChecked("CheckBoxColumnLemmata", c.lemmaBox);
    m.SetChecked("CheckBoxCollumnTags", c.tagBox);
    TCustomVertical custom;
    m.EncodeCustomVertcal(custom);
    EXPECT_EQ(custom, (TCustomVertical{true, 4, c.lemma, c.tag, u" <text "}));
  }
}

TEST(TOptionsModelEncoders, CustomVerticalRecordIsFilledForEveryFormat) {
  TOptionsModel m = ModelForFiles(kConllu);
  TCustomVertical custom;
  m.EncodeCustomVertcal(custom);
  EXPECT_EQ(custom, (TCustomVertical{false, 1, 1, 1, u"<doc"}));
}

TEST(TOptionsModelEncoders, ColumnFieldsAcceptZero) {
  TOptionsModel m = ModelForFiles(kCustom);
  m.SetChecked("CheckBoxColumnLemmata", true);
  m.SetValue("SpinEditWord", 0);
  m.SetValue("SpinEditLemma", 0);
  m.SetValue("SpinEditTags", 200);
  TCustomVertical custom;
  m.EncodeCustomVertcal(custom);
  EXPECT_EQ(custom.WordIndex, 0);
  EXPECT_EQ(custom.LemmaIndex, 0);
  EXPECT_EQ(m.GetValue("SpinEditTags"), 128);
}

// ---- Rule 1: text source ----

TEST(TOptionsModelTextSource, FilesShowTheInputPanels) {
  TOptionsModel m;
  m.SetItemIndex("RGMode", 0);
  for (const char* panel : {"PanelInputTexts", "PanelLoadTexts", "PanelInputType", "PanelWoL"}) {
    EXPECT_TRUE(m.IsVisible(panel)) << panel;
  }
  EXPECT_FALSE(m.IsShown("PanelInputDetails"));
  EXPECT_FALSE(m.IsShown("PanelCustomVertical"));
  EXPECT_THAT(m.LeftColumnPanels(),
              ElementsAre("PanelFirstDecision", "PanelInputTexts", "PanelInputType",
                          "PanelCustomVertical", "PanelInputDetails", "PanelWoL"));
}

TEST(TOptionsModelTextSource, PastedTextClearsLemmataAndAutosemantics) {
  TOptionsModel m = ModelForFiles(kSyn);
  m.SetChecked("CheckBoxLemmata", true);
  m.SetChecked("CheckBoxAutosemanticsRatio", true);
  m.SetChecked("CheckBoxWordForms", false);
  m.SetItemIndex("RGMode", 1);
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsChecked("CheckBoxAutosemanticsRatio"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  EXPECT_FALSE(m.IsEnabled("EditLemmaDictionary"));
  EXPECT_FALSE(m.IsEnabled("ButtonOpenFileLemma"));
  EXPECT_FALSE(m.IsShown("PanelWoL"));
  EXPECT_FALSE(m.IsShown("PanelInputType"));
  EXPECT_FALSE(m.IsShown("PanelLoadTexts"));
  EXPECT_TRUE(m.IsShown("PanelInputDetails"));
  // "Word Forms" keeps the check the user took away: the word-or-lemma set is empty.
  EXPECT_TRUE(m.EncodeWoL().Empty());
}

TEST(TOptionsModelTextSource, PastedTextBeforeAnyFormatShowsTheDetails) {
  TOptionsModel m;
  m.SetItemIndex("RGMode", 1);
  EXPECT_TRUE(m.IsVisible("MemoListOfTexts"));
  EXPECT_TRUE(m.IsVisible("CheckBoxOmitDigits"));
  EXPECT_FALSE(m.IsShown("PanelCustomVertical"));
  EXPECT_EQ(m.EncodeWoL(), TWordOrLemmaSet{tWordOrLemma::tokWord});
}

TEST(TOptionsModelTextSource, BackToFilesEnablesLemmataWhateverTheFormat) {
  TOptionsModel m = ModelForFiles(kPlain);
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  m.SetItemIndex("RGMode", 1);
  m.SetItemIndex("RGMode", 0);
  EXPECT_TRUE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_TRUE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  // The next change of the format applies the lemma condition again.
  m.SetItemIndex("RGInputType", 1);
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
}

TEST(TOptionsModelTextSource, CustomPanelFollowsSourceAndFormat) {
  TOptionsModel m = ModelForFiles(kCustom);
  EXPECT_TRUE(m.IsVisible("SpinEditWord"));
  m.SetItemIndex("RGMode", 1);
  EXPECT_FALSE(m.IsShown("PanelCustomVertical"));
  m.SetItemIndex("RGMode", 0);
  EXPECT_TRUE(m.IsShown("PanelCustomVertical"));
}

// ---- Rules 2 to 4: input format and columns ----

TEST(TOptionsModelInputFormat, LemmaAndTagConditionsPerFormat) {
  for (int t = 0; t < 8; ++t) {
    TOptionsModel m = ModelForFiles(t);
    const bool withLemma = t == 3 || t == 4 || t == 6 || t == 7;
    EXPECT_EQ(m.IsEnabled("CheckBoxLemmata"), withLemma) << t;
    EXPECT_EQ(m.IsEnabled("CheckBoxAutosemanticsRatio"), withLemma) << t;
    EXPECT_EQ(m.IsShown("PanelCustomVertical"), t == kCustom) << t;
    EXPECT_TRUE(m.IsShown("PanelInputDetails"));
    EXPECT_TRUE(m.IsShown("PanelWoL"));
  }
}

TEST(TOptionsModelInputFormat, PlainTextAfterVerticalClearsAndLAgainLeavesUnchecked) {
  TOptionsModel m = ModelForFiles(kSyn);
  m.SetChecked("CheckBoxLemmata", true);
  m.SetChecked("CheckBoxAutosemanticsRatio", true);
  EXPECT_TRUE(m.IsEnabled("EditLemmaDictionary"));
  m.SetItemIndex("RGInputType", kPlain);
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsChecked("CheckBoxAutosemanticsRatio"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  // Clearing "Lemmata" ran its own rule.
  EXPECT_FALSE(m.IsEnabled("EditLemmaDictionary"));
  m.SetItemIndex("RGInputType", kConllu);
  EXPECT_TRUE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_TRUE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsChecked("CheckBoxAutosemanticsRatio"));
}

TEST(TOptionsModelInputFormat, CustomColumnsEnableLemmataAndAutosemantics) {
  TOptionsModel m = ModelForFiles(kCustom);
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxAutosemanticsRatio"));

  m.SetChecked("CheckBoxColumnLemmata", true);
  EXPECT_TRUE(m.IsShown("SpinEditLemma"));
  EXPECT_TRUE(m.IsEnabled("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  m.SetChecked("CheckBoxLemmata", true);

  m.SetChecked("CheckBoxCollumnTags", true);
  for (const char* c : {"SpinEditTags", "LabelTagsForAutosemantics", "EditTagsForAutosemantics"}) {
    EXPECT_TRUE(m.IsVisible(c)) << c;
  }
  EXPECT_TRUE(m.IsEnabled("CheckBoxAutosemanticsRatio"));
  m.SetChecked("CheckBoxAutosemanticsRatio", true);

  m.SetChecked("CheckBoxColumnLemmata", false);
  EXPECT_FALSE(m.IsShown("SpinEditLemma"));
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  m.SetChecked("CheckBoxCollumnTags", false);
  EXPECT_FALSE(m.IsShown("EditTagsForAutosemantics"));
  EXPECT_FALSE(m.IsChecked("CheckBoxAutosemanticsRatio"));
}

// The rule of content words offers what the format allows; the UD box, shown for CoNLL-U
// only, chooses UPOS until the user chooses otherwise.
TEST(TOptionsModelInputFormat, RuleOfContentWordsFollowsTheFormat) {
  const char* rule = "ComboBoxAutosemanticRule";
  TOptionsModel m = ModelForFiles(kPlain);
  EXPECT_FALSE(m.IsShown(rule));
  EXPECT_FALSE(m.IsShown("CheckBoxUniversalDependencies"));

  m.SetItemIndex("RGInputType", kSyn);
  EXPECT_TRUE(m.IsShown(rule));
  EXPECT_EQ(m.Control(rule).ItemsEnabled, (std::vector<bool>{true, false, true}));
  EXPECT_THAT([&] { m.SetItemIndex(rule, 1); },
              ThrowsMessage<EOptionError>(StrEq("'ComboBoxAutosemanticRule' does not offer "
                                                "'UPOS: NOUN, PROPN, VERB, ADJ, ADV' for the "
                                                "chosen input format")));

  m.SetItemIndex("RGInputType", kConllu);
  EXPECT_TRUE(m.IsShown("CheckBoxUniversalDependencies"));
  m.SetChecked("CheckBoxUniversalDependencies", true);
  EXPECT_EQ(m.GetItemIndex(rule), 1);
  m.SetChecked("CheckBoxUniversalDependencies", false);
  EXPECT_EQ(m.GetItemIndex(rule), 0);

  // Tag prefixes: their field shows beside the rule and is the custom panel's field too.
  EXPECT_FALSE(m.IsShown("EditAutosemanticPrefixes"));
  m.SetItemIndex(rule, 2);
  EXPECT_TRUE(m.IsShown("EditAutosemanticPrefixes"));
  m.SetText("EditAutosemanticPrefixes", u"NOUN|VERB");
  EXPECT_EQ(m.GetText("EditTagsForAutosemantics"), u"NOUN|VERB");
  m.SetChecked("CheckBoxUniversalDependencies", true);  // a chosen rule stays
  for (const char* box :
       {"CheckBoxDocumentPerFile", "CheckBoxDocumentIds", "CheckBoxFullPrecision"})
    m.SetChecked(box, true);
  m.PrepareRun();
  const TMeasureParameters p = m.GetMeasureParameters();
  EXPECT_EQ(p.AutosemanticTags, u"NOUN|VERB");
  EXPECT_EQ(p.Corpus,
            (TCorpusOptions{TAutosemanticChoice::Prefixes, true, true, true, TPrecision::Full}));
  EXPECT_EQ(m.GetDictionaryParameters().Corpus,
            (TCorpusOptions{TAutosemanticChoice::Prefixes, true, true, false, TPrecision::Fixed}));

  // A format that does not offer the rule chosen goes back to the built-in rule.
  m.SetItemIndex(rule, 1);
  m.SetItemIndex("RGInputType", kSyn);
  EXPECT_EQ(m.GetItemIndex(rule), 0);
}

// ---- Rules 5 and 6: list fields ----

TEST(TOptionsModelListFields, FollowTheirWordOrLemmaBoxes) {
  TOptionsModel m = ModelForFiles(kSyn);
  m.SetChecked("CheckBoxWordForms", false);
  EXPECT_FALSE(m.IsEnabled("EditWordDictionary"));
  EXPECT_FALSE(m.IsEnabled("ButtonOpenFileWordForm"));
  m.SetChecked("CheckBoxWordForms", true);
  EXPECT_TRUE(m.IsEnabled("EditWordDictionary"));
  m.SetChecked("CheckBoxLemmata", true);
  m.SetChecked("CheckBoxLemmata", false);
  EXPECT_FALSE(m.IsEnabled("EditLemmaDictionary"));
  EXPECT_FALSE(m.IsEnabled("ButtonOpenFileLemma"));
}

// ---- Rules 7 to 11: task and measure panels ----

TEST(TOptionsModelTask, MeasuringAndFrequencyListsShowTheirPanels) {
  TOptionsModel m;
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  for (const char* p : {"PanelWindowLength", "PanelMetrics", "PanelProcess"}) {
    EXPECT_TRUE(m.IsVisible(p)) << p;
  }
  EXPECT_FALSE(m.IsShown("PanelDictionary"));
  EXPECT_FALSE(m.IsShown("PanelOtherMetrics"));
  EXPECT_TRUE(m.IsShown("CheckBoxReferenceContains"));
  EXPECT_FALSE(m.IsShown("ButtonCreateReference"));

  m.SetItemIndex("RadioGroupWhatToDo", 1);
  for (const char* p : {"PanelWindowLength", "PanelMetrics", "PanelProcess"}) {
    EXPECT_FALSE(m.IsShown(p)) << p;
  }
  EXPECT_TRUE(m.IsVisible("ButtonCreateReference"));
  EXPECT_FALSE(m.IsShown("CheckBoxReferenceContains"));
  EXPECT_TRUE(m.IsVisible("EditWordDictionary"));
}

TEST(TOptionsModelTask, HiddenPanelsKeepTheirChecks) {
  TOptionsModel m = ModelForFiles();
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  m.SetChecked("CheckBoxOtherMetrics", true);
  EXPECT_TRUE(m.IsVisible("CheckBoxEntropy"));
  m.SetChecked("CheckBoxEntropy", true);
  m.SetChecked("CheckBoxLegacyMetrics", true);
  EXPECT_TRUE(m.IsVisible("CheckBoxTTR"));
  m.SetChecked("CheckBoxTTR", true);

  m.SetChecked("CheckBoxOtherMetrics", false);
  EXPECT_FALSE(m.IsShown("PanelOtherMetrics"));
  EXPECT_FALSE(m.IsShown("PanelLegacyMetrics"));
  const tMeasureSecondarySet expected{tMeasureSecondary::vTTR, tMeasureSecondary::vEntropy};
  EXPECT_EQ(m.EncodeMetricsSecondary(), expected);

  m.SetItemIndex("RadioGroupWhatToDo", 1);
  EXPECT_EQ(m.EncodeMetricsSecondary(), expected);

  // Measuring again shows the legacy panel while its parent panel stays hidden.
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  EXPECT_TRUE(m.IsShown("PanelLegacyMetrics"));
  EXPECT_FALSE(m.IsShown("PanelOtherMetrics"));
}

TEST(TOptionsModelTask, HillsContinuumShowsItsOrder) {
  TOptionsModel m;
  m.SetChecked("CheckBoxHillsContinuum", true);
  EXPECT_TRUE(m.IsShown("EditHillsQ"));
  EXPECT_TRUE(m.IsShown("LabelQ"));
  m.SetChecked("CheckBoxHillsContinuum", false);
  EXPECT_FALSE(m.IsShown("EditHillsQ"));
  EXPECT_FALSE(m.IsShown("LabelQ"));
}

TEST(TOptionsModelTask, EveryCrossBoxShowsTheListPanel) {
  for (const char* box :
       {"CheckBoxCrossPerplexity", "CheckBoxCrossEntropy", "CheckBoxCrossRepeatRate",
        "CheckBoxCrossDistinctionRate", "CheckBoxRelativeEntropy", "CheckBoxRelativePerplexity"}) {
    TOptionsModel m;
    m.SetItemIndex("RadioGroupWhatToDo", 0);
    m.SetChecked(box, true);
    EXPECT_TRUE(m.IsVisible("EditWordDictionary")) << box;
    EXPECT_TRUE(m.IsVisible("CheckBoxReferenceContains")) << box;
  }
}

// ---- Integer fields ----

TEST(TOptionsModelIntegerFields, WindowLengthIsClampedWhenLeft) {
  const struct {
    std::u16string typed;
    int value;
    std::u16string textAfterLeaving;
  } cases[] = {
      {u"0", 1, u"1"},     {u"5", 5, u"5"}, {u"2000000", 1000000, u"1000000"},
      {u"abc", 1, u"abc"}, {u"", 1, u""},   {u"500", 500, u"500"},
  };
  for (const auto& c : cases) {
    TOptionsModel m;
    m.SetText("SpinEditWindowLength", c.typed);
    EXPECT_EQ(m.GetValue("SpinEditWindowLength"), c.value);
    m.LeaveField("SpinEditWindowLength");
    EXPECT_EQ(m.GetText("SpinEditWindowLength"), c.textAfterLeaving);
    EXPECT_EQ(m.GetValue("SpinEditWindowLength"), c.value);
  }
  TOptionsModel m;
  m.SetValue("SpinEditWindowLength", -5);
  EXPECT_EQ(m.GetText("SpinEditWindowLength"), u"1");
  m.SetOption("SpinEditWindowLength", u"2000000");
  EXPECT_EQ(m.GetValue("SpinEditWindowLength"), 1000000);
}

// ---- Setting options by name ----

TEST(TOptionsModelSetting, RejectsUnknownNamesWrongKindsAndDisabledControls) {
  TOptionsModel m = ModelForFiles(kPlain);
  EXPECT_THAT([&] { m.SetChecked("CheckBoxNoSuch", true); },
              ThrowsMessage<std::invalid_argument>(StrEq("Unknown option 'CheckBoxNoSuch'")));
  EXPECT_THAT(
      [&] { m.SetChecked("CheckBoxLemmata", true); },
      ThrowsMessage<EOptionError>(StrEq("'CheckBoxLemmata' is disabled and cannot be changed")));
  // Setting a disabled control to the value it holds is no change.
  EXPECT_NO_THROW(m.SetChecked("CheckBoxLemmata", false));
  EXPECT_THAT([&] { m.SetText("CheckBoxTypes", u"x"); },
              ThrowsMessage<EOptionError>(StrEq("'CheckBoxTypes' cannot take this kind of value")));
  EXPECT_THAT([&] { m.SetItemIndex("RGMode", 2); },
              ThrowsMessage<EOptionError>(StrEq("'RGMode' has no item 2 (items 0 to 1)")));
  EXPECT_THAT([&] { m.SetOption("CheckBoxTypes", u"maybe"); },
              ThrowsMessage<EOptionError>(
                  StrEq("'CheckBoxTypes' takes 1 or 0 (true or false), not 'maybe'")));
  EXPECT_THAT([&] { m.SetOption("ButtonProcess", u"1"); },
              ThrowsMessage<EOptionError>(StrEq("'ButtonProcess' carries no value")));
}

TEST(TOptionsModelSetting, OptionsByNameInAnyOrderGiveTheWindowsParameters) {
  TOptionsModel byName;
  byName.SetOptions({
      {"CheckBoxLemmata", u"1"},
      {"EditLemmaDictionary", u"lemmata.tsv"},
      {"CheckBoxAutosemanticsRatio", u"true"},
      {"RGInputType", u"CoNLL-U (UTF-8)"},
      {"RGMode", u"0"},
      {"RadioGroupWhatToDo", u"0"},
      {"CheckBoxCrossEntropy", u"on"},
      {"SpinEditWindowLength", u"5"},
      {"EditHillsQ", u"2.5"},
  });

  TOptionsModel clicked;
  clicked.SetItemIndex("RGMode", 0);
  clicked.SetItemIndex("RGInputType", kConllu);
  clicked.SetChecked("CheckBoxLemmata", true);
  clicked.SetItemIndex("RadioGroupWhatToDo", 0);
  clicked.SetChecked("CheckBoxCrossEntropy", true);
  clicked.SetChecked("CheckBoxAutosemanticsRatio", true);
  clicked.SetText("SpinEditWindowLength", u"5");
  clicked.LeaveField("SpinEditWindowLength");
  clicked.SetText("EditHillsQ", u"2.5");
  clicked.SetText("EditLemmaDictionary", u"lemmata.tsv");

  byName.PrepareRun();
  clicked.PrepareRun();
  const TMeasureParameters p = byName.GetMeasureParameters();
  EXPECT_EQ(p, clicked.GetMeasureParameters());
  EXPECT_EQ(p.How, THow::jCONLLU);
  EXPECT_EQ(p.LagLength, 5u);
  EXPECT_EQ(p.HillsQ, 2.5);
  EXPECT_EQ(p.WoL, (TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}));
  EXPECT_TRUE(p.measures.Contains(tMeasure::vAutosemantics));
  EXPECT_EQ(p.ReferenceDictionary[tWordOrLemma::tokLemma], u"lemmata.tsv");
  EXPECT_EQ(p.ReferenceDictionary[tWordOrLemma::tokWord], u"");
}

TEST(TOptionsModelSetting, ObserverHearsEveryChangedControl) {
  TOptionsModel m;
  std::vector<std::string> changed;
  m.SetObserver([&](std::string_view name) { changed.emplace_back(name); });
  m.SetItemIndex("RGMode", 1);
  EXPECT_THAT(changed,
              ::testing::IsSupersetOf({"RGMode", "PanelInputTexts", "PanelWoL", "PanelInputDetails",
                                       "CheckBoxLemmata", "CheckBoxAutosemanticsRatio"}));
  changed.clear();
  m.SetItemIndex("RGMode", 1);
  EXPECT_TRUE(changed.empty());
}

// ---- Run parameters ----

TEST(TOptionsModelRun, StartValuesGiveTheDefaultMeasuringRun) {
  TOptionsModel m;
  m.PrepareRun();
  EXPECT_EQ(m.GetItemIndex("RGInputType"), kPlain);
  const TMeasureParameters p = m.GetMeasureParameters();
  EXPECT_EQ(p.How, THow::JStandard);
  EXPECT_EQ(p.InputFile, u"");
  EXPECT_EQ(p.OutputFolder, u"");
  EXPECT_FALSE(p.IsWholeText);
  EXPECT_TRUE(p.DoOmitPunctuation);
  EXPECT_TRUE(p.DoOmitDigits);
  EXPECT_EQ(p.CS, TCasesensitiveness::csCaseInsensitive);
  EXPECT_EQ(p.WoL, TWordOrLemmaSet{tWordOrLemma::tokWord});
  EXPECT_EQ(p.LagLength, 200u);
  EXPECT_EQ(p.HillsQ, 3.0);
  EXPECT_FALSE(p.RefDicContrainsText);
  EXPECT_EQ(p.OutputTypes, TOutputTypeSet{TOutputType::outAverage});
  EXPECT_EQ(p.AutosemanticTags, u"N|A|V|D");
  EXPECT_EQ(p.Custom, (TCustomVertical{false, 1, 1, 1, u"<doc"}));
  EXPECT_EQ(p.ReferenceDictionary, TWordOrLemmaNames{});
}

TEST(TOptionsModelRun, NoFormatChosenMeansPlainTextAndClearsLemmata) {
  TOptionsModel m;
  m.SetItemIndex("RGMode", 0);
  m.SetChecked("CheckBoxLemmata", true);
  m.SetChecked("CheckBoxAutosemanticsRatio", true);
  m.AddInputLine(u"/corpus/a.txt");
  m.AddInputLine(u"/corpus/b");
  m.PrepareRun();
  EXPECT_FALSE(m.IsChecked("CheckBoxLemmata"));
  EXPECT_FALSE(m.IsEnabled("CheckBoxLemmata"));
  const TMeasureParameters p = m.GetMeasureParameters();
  EXPECT_EQ(p.InputFile, u"/corpus/a.txt\r\n/corpus/b");
  EXPECT_EQ(p.WoL, TWordOrLemmaSet{tWordOrLemma::tokWord});
  EXPECT_FALSE(p.measures.Contains(tMeasure::vAutosemantics));
}

TEST(TOptionsModelRun, PastedTextIsReadAsPlainTextWhateverTheFormat) {
  TOptionsModel m = ModelForFiles(kConllu);
  m.SetItemIndex("RGMode", 1);
  m.SetText("MemoListOfTexts", u"Some pasted text.");
  m.SetItemIndex("RadioGroupCaseSensitivity", 0);
  m.PrepareRun();
  EXPECT_EQ(m.GetItemIndex("RGInputType"), kPlain);
  const TDictionaryParameters p = m.GetDictionaryParameters();
  EXPECT_EQ(p.How, THow::JStandard);
  EXPECT_TRUE(p.IsWholeText);
  EXPECT_EQ(p.InputFile, u"Some pasted text.");
  EXPECT_EQ(p.CS, TCasesensitiveness::csCaseSensitive);
}

TEST(TOptionsModelRun, HillsQIsReadEvenWhenTheContinuumIsUnchecked) {
  TOptionsModel m;
  m.SetText("EditHillsQ", u"");
  EXPECT_THAT([&] { (void)m.GetMeasureParameters(); },
              ThrowsMessage<EConvertError>(StrEq("'' is not a valid floating point value")));
  m.SetText("EditHillsQ", u"1,5");
  EXPECT_THAT([&] { (void)m.GetMeasureParameters(); },
              ThrowsMessage<EConvertError>(StrEq("'1,5' is not a valid floating point value")));
  // The frequency-list run does not read Q.
  EXPECT_NO_THROW((void)m.GetDictionaryParameters());
}

TEST(TOptionsModelRun, ReferenceListsFollowTheKindsAndTheReferenceBox) {
  const struct {
    bool words, lemmata;
    int task;
    std::u16string wordName, lemmaName;
  } cases[] = {
      {true, false, 0, u"w.tsv", u""},
      {false, true, 0, u"", u"l.tsv"},
      {true, true, 0, u"w.tsv", u"l.tsv"},
      {true, true, 1, u"", u""},  // reference box hidden
  };
  for (const auto& c : cases) {
    TOptionsModel m = ModelForFiles(kSyn);
    m.SetItemIndex("RadioGroupWhatToDo", c.task);
    m.SetChecked("CheckBoxLemmata", true);
    m.SetText("EditWordDictionary", u"w.tsv");
    m.SetText("EditLemmaDictionary", u"l.tsv");
    m.SetChecked("CheckBoxLemmata", c.lemmata);
    m.SetChecked("CheckBoxWordForms", c.words);
    const TWordOrLemmaNames names = m.GetReferenceFileNames();
    EXPECT_EQ(names[tWordOrLemma::tokWord], c.wordName);
    EXPECT_EQ(names[tWordOrLemma::tokLemma], c.lemmaName);
  }
}

TEST(TOptionsModelRun, FrequencyListRunTakesTheListFieldsAsOutputs) {
  TOptionsModel m = ModelForFiles(kCustom);
  m.SetItemIndex("RadioGroupWhatToDo", 1);
  m.SetChecked("CheckBoxColumnLemmata", true);
  m.SetChecked("CheckBoxLemmata", true);
  m.SetChecked("CheckBoxOmitDigits", false);
  m.SetText("EditWordDictionary", u"out/words.tsv");
  m.SetText("EditLemmaDictionary", u"out/lemmata.tsv");
  m.PrepareRun();
  const TDictionaryParameters p = m.GetDictionaryParameters();
  EXPECT_EQ(p.How, THow::jCustomVertical);
  EXPECT_EQ(p.OutputFileWF, u"out/words.tsv");
  EXPECT_EQ(p.OutputFileLemma, u"out/lemmata.tsv");
  EXPECT_TRUE(p.DoOmitPunctuation);
  EXPECT_FALSE(p.DoOmitDigits);
  EXPECT_EQ(p.WoL, (TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}));
  EXPECT_EQ(p.Custom, (TCustomVertical{true, 1, 2, 1, u"<doc"}));
}

// The list of files and the pasted text are kept apart: file names are never read as the
// text, nor the text as file names.
TEST(TOptionsModelRun, DroppedFilesGoToTheListAndThePastedTextWaits) {
  TOptionsModel m = ModelForFiles(kPlain);
  m.AddInputLine(u"first.txt");
  m.SetItemIndex("RGMode", 1);
  EXPECT_EQ(m.GetText("MemoListOfTexts"), u"");
  m.SetText("MemoListOfTexts", u"pasted\r\n");
  m.DropFile(u"a.txt");
  m.DropFile(u"b.txt");
  EXPECT_EQ(m.GetItemIndex("RGMode"), 0);
  EXPECT_EQ(m.GetText("MemoListOfTexts"), u"first.txt\r\na.txt\r\nb.txt");
  // The rule ran again although the source was already files.
  EXPECT_TRUE(m.IsEnabled("CheckBoxLemmata"));
  m.SetItemIndex("RGMode", 1);
  EXPECT_EQ(m.GetText("MemoListOfTexts"), u"pasted\r\n");

  // Start values again: the texts wait for their source to be chosen.
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  m.ResetToStartValues();
  EXPECT_EQ(m.GetItemIndex("RGMode"), -1);
  EXPECT_EQ(m.GetItemIndex("RadioGroupWhatToDo"), -1);
  EXPECT_EQ(m.GetText("MemoListOfTexts"), u"");
  EXPECT_FALSE(m.IsVisible("PanelInputTexts"));
  m.SetItemIndex("RGMode", 0);
  EXPECT_EQ(m.GetText("MemoListOfTexts"), u"first.txt\r\na.txt\r\nb.txt");
}

TEST(TOptionsModelRun, RunsThatCouldDoNothingAreRefusedByTheirField) {
  const auto fields = [](const TOptionsModel& m, TRunTask task) {
    std::vector<std::string> names;
    for (const TRunProblem& p : CheckRun(m, task)) names.push_back(p.Control);
    return names;
  };
  TOptionsModel m;
  EXPECT_THAT(fields(m, TRunTask::Measuring), ElementsAre("RGMode", "EditOutputDirectory"));
  m.SetItemIndex("RGMode", 0);
  m.SetText("MemoListOfTexts", u" \r\n");
  EXPECT_THAT(fields(m, TRunTask::Measuring),
              ElementsAre("MemoListOfTexts", "EditOutputDirectory"));
  EXPECT_THAT(CheckRun(m, TRunTask::Measuring)[0].Message, ::testing::HasSubstr("list is empty"));
  m.SetText("MemoListOfTexts", u"a.txt");
  m.SetText("EditOutputDirectory", u"out");
  EXPECT_TRUE(CheckRun(m, TRunTask::Measuring).empty());
  EXPECT_THAT(fields(m, TRunTask::FrequencyLists), ElementsAre("EditWordDictionary"));
  m.SetChecked("CheckBoxWordForms", false);
  EXPECT_THAT(fields(m, TRunTask::Measuring), ElementsAre("CheckBoxWordForms"));
}

// Every measure and index box says what its measure means, as the command line does.
TEST(TOptionsModelHelp, EveryMeasureBoxAndOptionExplainsItself) {
  const TOptionsModel m;
  for (const TControl& c : m.Controls()) {
    const bool measure =
        std::find(kMeasureBoxes.begin(), kMeasureBoxes.end(), c.Name) != kMeasureBoxes.end() ||
        std::find(kMeasureSecondaryBoxes.begin(), kMeasureSecondaryBoxes.end(), c.Name) !=
            kMeasureSecondaryBoxes.end() ||
        std::find(kIndexBoxes.begin(), kIndexBoxes.end(), c.Name) != kIndexBoxes.end();
    const bool value = c.Kind != TControlKind::Panel && c.Kind != TControlKind::Label;
    if (!measure && !value) continue;
    EXPECT_FALSE(c.Help.empty()) << c.Name;
    if (measure) {
      for (const char16_t* part : {u"\nFormula: ", u"\nRange: ", u"\nSource: "})
        EXPECT_NE(c.Help.find(part), std::u16string::npos) << c.Name;
    }
  }
  const std::u16string hill = m.Control("CheckBoxHillsContinuum").Help;
  EXPECT_NE(hill.find(u"Names: in the window \"Hill's continuum\"; command line hill; result "
                      u"column \"Hills Continuum\"."),
            std::u16string::npos);
  EXPECT_NE(m.Control("CheckBoxTTR").Help.find(u"command line ttr or mattr"), std::u16string::npos);
}

}  // namespace
}  // namespace tavora

// ---- Further indices ----

namespace tavora {
namespace {

TEST(TOptionsModelIndices, StartValuesAndTheirPlaceInTheOutputPanel) {
  TOptionsModel m;
  EXPECT_EQ(m.Control("CheckBoxIndices").Kind, TControlKind::CheckBox);
  EXPECT_EQ(m.Control("CheckBoxIndices").Parent, "PanelProcess");
  EXPECT_EQ(m.GetCaption("CheckBoxIndices"), u"Further indices (MTLD, HD-D, Yule's K, \u2026)");
  EXPECT_FALSE(m.IsChecked("CheckBoxIndices"));
  EXPECT_EQ(m.Control("PanelIndices").Parent, "PanelProcess");
  EXPECT_FALSE(m.IsShown("PanelIndices"));
  // The boxes in column order, the first twelve checked, then the variants of the
  // definitions, just before the process button.
  std::vector<std::string> boxes, variants;
  std::vector<std::u16string> captions;
  for (const TControl& c : m.Controls()) {
    if (c.Parent != "PanelIndices") continue;
    if (c.Kind != TControlKind::CheckBox) {
      variants.push_back(c.Name);
      continue;
    }
    EXPECT_EQ(c.Checked, boxes.size() < 12) << c.Name;
    boxes.push_back(c.Name);
    captions.push_back(c.Caption);
  }
  ASSERT_EQ(boxes.size(), kIndexCount);
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    EXPECT_EQ(kIndexBoxes[i], boxes[i]);
    EXPECT_EQ(captions[i], IndexCaption(static_cast<tIndex>(i)));
  }
  EXPECT_THAT(variants, ElementsAre("EditMtldThreshold", "RadioGroupMtldRule", "SpinEditHddSample",
                                    "RadioGroupLogBase", "SpinEditSeed"));
  EXPECT_EQ(m.GetText("EditMtldThreshold"), u"0.72");
  EXPECT_EQ(m.GetItemIndex("RadioGroupMtldRule"), 0);
  EXPECT_EQ(m.GetValue("SpinEditHddSample"), 42);
  EXPECT_EQ(m.GetItemIndex("RadioGroupLogBase"), 0);
  EXPECT_EQ(m.GetValue("SpinEditSeed"), 42);
  const auto& all = m.Controls();
  const auto at = [&](std::string_view name) {
    return std::find_if(all.begin(), all.end(), [&](const TControl& c) { return c.Name == name; });
  };
  EXPECT_LT(at("CheckBoxOutputTotalValues"), at("CheckBoxIndices"));
  EXPECT_LT(at("CheckBoxIndices"), at("PanelIndices"));
  EXPECT_LT(at("CheckBoxIndexCTTR"), at("ButtonProcess"));

  m.PrepareRun();
  const TMeasureParameters p = m.GetMeasureParameters();
  EXPECT_FALSE(p.OutputTypes.Contains(TOutputType::outIndices));
  EXPECT_EQ(p.Indices, kDefaultIndices);
  EXPECT_EQ(p.IndexVariants, TIndexVariants{});
}

TEST(TOptionsModelIndices, TheBoxShowsTheListAndChoosesTheFamily) {
  TOptionsModel m = ModelForFiles();
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  std::vector<std::string> changed;
  m.SetObserver([&](std::string_view name) { changed.emplace_back(name); });
  m.SetChecked("CheckBoxIndices", true);
  EXPECT_THAT(changed, ElementsAre("CheckBoxIndices", "PanelIndices"));
  EXPECT_TRUE(m.IsVisible("CheckBoxIndexHDD"));
  EXPECT_EQ(m.EncodeOutputTypes(),
            (TOutputTypeSet{TOutputType::outAverage, TOutputType::outIndices}));
  m.SetChecked("CheckBoxIndexHDD", false);
  m.SetOption("CheckBoxIndexMTLDMA", u"off");
  EXPECT_EQ(m.EncodeIndices(), (kDefaultIndices - TIndexSet{tIndex::ixHDD, tIndex::ixMTLDMA}));
  m.PrepareRun();
  EXPECT_EQ(m.GetMeasureParameters().Indices, m.EncodeIndices());

  // Hidden again, the list keeps its checks; the family is no longer chosen.
  m.SetChecked("CheckBoxIndices", false);
  EXPECT_FALSE(m.IsShown("PanelIndices"));
  EXPECT_FALSE(m.IsChecked("CheckBoxIndexHDD"));
  EXPECT_TRUE(m.IsChecked("CheckBoxIndexMTLD"));
  EXPECT_FALSE(m.EncodeOutputTypes().Contains(TOutputType::outIndices));
  // The specified families keep their bits.
  m.SetChecked("CheckBoxOutputTotalValues", true);
  EXPECT_EQ(m.EncodeOutputTypes().Mask(), 0b1001);

  // By name, in any order: the box comes before its list in window order.
  TOptionsModel byName = ModelForFiles();
  byName.SetOptions({{"CheckBoxIndexCTTR", u"0"}, {"CheckBoxIndices", u"1"}});
  EXPECT_TRUE(byName.IsShown("PanelIndices"));
  EXPECT_FALSE(byName.EncodeIndices().Contains(tIndex::ixCTTR));
}

TEST(TOptionsModelIndices, VariantsOfTheDefinitions) {
  TOptionsModel m = ModelForFiles();
  m.SetItemIndex("RadioGroupWhatToDo", 0);
  m.SetOptions({{"CheckBoxIndices", u"1"},
                {"EditMtldThreshold", u" 0.7 "},
                {"RadioGroupMtldRule", u"1"},
                {"SpinEditHddSample", u"30"},
                {"RadioGroupLogBase", u"decimal (10)"},
                {"SpinEditSeed", u"7"}});
  m.PrepareRun();
  const TIndexVariants expected{0.7, TMtldRule::mrBelowMinTen, 30, TLogBase::lbDecimal, 7};
  EXPECT_EQ(m.GetMeasureParameters().IndexVariants, expected);
  // The bounds of the fields; the threshold lies strictly between 0 and 1.
  m.SetOption("SpinEditHddSample", u"0");
  EXPECT_EQ(m.EncodeIndexVariants().HddSample, 1u);
  m.SetOption("SpinEditSeed", u"-5");
  EXPECT_EQ(m.EncodeIndexVariants().Seed, 0u);
  for (const std::u16string_view bad : {u"1", u"0", u"0.0000001", u"-0.5", u"0,7", u""}) {
    m.SetText("EditMtldThreshold", std::u16string(bad));
    EXPECT_THROW((void)m.GetMeasureParameters(), EConvertError) << Utf16ToUtf8(bad);
  }
  // Without the family the fields are not read.
  m.SetChecked("CheckBoxIndices", false);
  EXPECT_EQ(m.GetMeasureParameters().IndexVariants, TIndexVariants{});
}

}  // namespace
}  // namespace tavora
