#include "processing/TProcessTexts.h"

#include <algorithm>

#include <gmock/gmock.h>

#include "base/Utf8.h"
#include "engine/TReferenceDictionary.h"
#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;

class MeasureRun : public RunFixture {
 protected:
  // The autosemantics share of every window of length 1, one character per token.
  std::string AutosemanticFlags(TRun r, const std::string& input) {
    r.Input = Lines({WriteInput("in.txt", input)});
    r.Lag = 1;
    r.Measures = TMeasureSet{tMeasure::vAutosemantics};
    r.Secondary = {};
    r.Outputs = TOutputTypeSet{TOutputType::outSerie};
    Measure(r);
    std::string flags;
    const auto lines = ReadLines(out_ / "Serie1Word1.csv");
    for (std::size_t i = 1; i < lines.size(); ++i) {
      EXPECT_TRUE(lines[i].starts_with("\"" + std::to_string(i) + "\",")) << lines[i];
      flags += lines[i].ends_with(",\"1.0000\"")   ? '1'
               : lines[i].ends_with(",\"0.0000\"") ? '0'
                                                   : '?';
    }
    fs::remove_all(out_);
    return flags;
  }
};

// Tag rules of the formats that carry a part-of-speech tag.
TEST(AutosemanticRule, TaggedFormats) {
  TProcessTexts p;
  struct Case {
    std::u16string_view tag, lemma;
    bool expected;
  };
  const Case cases[] = {
      {u"AJ0", u"", true},      {u"NN1", u"", true},         {u"VVD", u"", true},
      {u"AV0", u"", true},      {u"AT0", u"", false},        {u"AVP", u"", false},
      {u"AJ0-NN1", u"x", true}, {u"AJ0-NN1", u"být", false}, {u"VB-x", u"mít", false},
      {u"VB-x", u"", true},     {u"Dxxx", u"", true},        {u"NN", u"", false},
      {u"N", u"", false},       {u"", u"", false},           {u"nn1", u"", false},
      {u"Xxxx", u"", false},    {u"AJ", u"", false},         {u"NNS1", u"Být", true},
  };
  for (const THow how : {THow::jSYN, THow::jCONLLU, THow::jBNC}) {
    for (const Case& c : cases) {
      EXPECT_EQ(p.IsAutosemantic(how, c.tag, c.lemma), c.expected)
          << static_cast<int>(how) << " " << Utf16ToUtf8(c.tag) << " " << Utf16ToUtf8(c.lemma);
    }
  }
  for (const THow how : {THow::JStandard, THow::JLines, THow::JWhiteSpaces, THow::jCOCA})
    EXPECT_FALSE(p.IsAutosemantic(how, u"NN1", u"")) << static_cast<int>(how);
}

TEST(AutosemanticRule, CustomPatterns) {
  TProcessTexts p;
  struct Case {
    std::u16string_view patterns;
    std::vector<std::u16string> expectedList;
    std::string expected;  // for the tags NN, VB, AJ, n, (empty)
  };
  const Case cases[] = {
      {u"N|A|V|D", {u"N", u"A", u"V", u"D"}, "1110 0"},
      {u"N|A|", {u"N", u"A", u""}, "1111 1"},
      {u"", {}, "0000 0"},
      {u"|", {u"", u""}, "1111 1"},
      {u"N||A", {u"N", u"", u"A"}, "1111 1"},
      {u"NN", {u"NN"}, "1000 0"},
  };
  for (const Case& c : cases) {
    p.SetAutosemanticTags(c.patterns);
    EXPECT_EQ(p.AutosemanticTags, c.expectedList) << Utf16ToUtf8(c.patterns);
    std::string got;
    for (const std::u16string_view tag : {u"NN", u"VB", u"AJ", u"n"})
      got += p.IsAutosemantic(THow::jCustomVertical, tag, u"") ? '1' : '0';
    got += ' ';
    got += p.IsAutosemantic(THow::jCustomVertical, u"", u"") ? '1' : '0';
    EXPECT_EQ(got, c.expected) << Utf16ToUtf8(c.patterns);
  }
}

// The tag and the lemma reach the rule from the token of every format.
TEST_F(MeasureRun, AutosemanticFlagsOfEveryFormat) {
  const std::string syn =
      "<doc id=\"1\">\n<s>\na\ta\tAJ0\nb\tb\tNN1\nc\tc\tVVD\nd\td\tAV0\ne\te\tAT0\nf\tf\tAVP\n"
      "g\tg\tAJ0-NN1\nh\tbýt\tVB-x\ni\tmít\tVpx\nj\tj\tNN\nk\tk\tnn1\nl\tl\tDxxx\n</s>\n";
  TRun r;
  r.How = THow::jSYN;
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  EXPECT_EQ(AutosemanticFlags(r, syn), "111100100001");
  // Without lemmata the lemma slot stays empty and "být" is not excluded.
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord};
  EXPECT_EQ(AutosemanticFlags(r, syn), "111100110001");

  r.How = THow::jCONLLU;
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  EXPECT_EQ(AutosemanticFlags(r,
                              "# newdoc id = x\n# text = A b\n"
                              "1\tHouse\thouse\tNOUN\tNN1\t_\t_\t_\t_\t_\n"
                              "2\tthe\tthe\tDET\tAT0\t_\t_\t_\t_\t_\n"
                              "3\tis\tbýt\tVERB\tVB-xx\t_\t_\t_\t_\t_\n\n"),
            "100");

  // BNC: the tag is the third attribute value; the closing tags after the last element
  // give an empty word that records no window.
  r.How = THow::jBNC;
  EXPECT_EQ(AutosemanticFlags(r,
                              "<bnc><s n=\"1\"><w hw=\"house\" pos=\"SUBST\" c5=\"NN1\">house </w>"
                              "<w hw=\"the\" pos=\"ART\" c5=\"AT0\">the </w>"
                              "<c c5=\"PUN\">. </c></s>\n</bnc>\n"),
            "10");

  r.How = THow::jCustomVertical;
  r.Custom = TCustomVertical{true, 1, 2, 4, u"<doc"};
  const std::string custom = "<doc>\nx\tx\t_\tNN\ny\ty\t_\tVB\nz\tz\t_\tAJ\nw\tw\t_\tn\n";
  r.Tags = u"N|A";
  EXPECT_EQ(AutosemanticFlags(r, custom), "1010");
  r.Tags = u"N|A|";
  EXPECT_EQ(AutosemanticFlags(r, custom), "1111");
  r.Tags = u"";
  EXPECT_EQ(AutosemanticFlags(r, custom), "0000");

  r.Custom = {};
  r.Tags = u"N|A|";
  r.How = THow::jCOCA;
  const std::string coca = "##1\nhouse\thouse\tnn1\nthe\tthe\tat\ngo\tgo\tvvi\n";
  EXPECT_EQ(AutosemanticFlags(r, coca), "000");
  r.How = THow::JStandard;
  EXPECT_EQ(AutosemanticFlags(r, "house NN1"), "00");
}

// The rule the user chooses: UPOS for CoNLL-U, tag prefixes for any tagged format (COCA's
// part-of-speech column among them).
TEST_F(MeasureRun, ChosenRulesOfContentWords) {
  TRun r;
  r.How = THow::jCONLLU;
  r.Corpus.AutosemanticRule = TAutosemanticChoice::Upos;
  // UPOS decides, whatever XPOS says: NOUN, PROPN, VERB, ADJ and ADV are content words.
  const std::string conllu =
      "# newdoc id = x\n"
      "1\tDogs\tdog\tNOUN\tNNS\t_\t_\t_\t_\t_\n2\tbark\tbark\tVERB\tVBP\t_\t_\t_\t_\t_\n"
      "3\tat\tat\tADP\tIN\t_\t_\t_\t_\t_\n4\tBob\tBob\tPROPN\tNNP\t_\t_\t_\t_\t_\n"
      "5\tvery\tvery\tADV\tRB\t_\t_\t_\t_\t_\n6\tloud\tloud\tADJ\tJJ\t_\t_\t_\t_\t_\n"
      "7\tthey\tthey\tPRON\tPRP\t_\t_\t_\t_\t_\n8\tare\tbe\tAUX\tVBP\t_\t_\t_\t_\t_\n";
  EXPECT_EQ(AutosemanticFlags(r, conllu), "11011100");
  // The built-in rule, made for other tag sets, takes only NNS and NNP of these Penn tags.
  r.Corpus.AutosemanticRule = TAutosemanticChoice::Builtin;
  EXPECT_EQ(AutosemanticFlags(r, conllu), "10010000");
  r.Corpus.AutosemanticRule = TAutosemanticChoice::Prefixes;  // XPOS against the patterns
  r.Tags = u"NN|VB|JJ";
  EXPECT_EQ(AutosemanticFlags(r, conllu), "11010101");

  r.How = THow::jCOCA;
  r.Tags = u"nn|vv";
  EXPECT_EQ(AutosemanticFlags(r, "##1\nhouse\thouse\tnn1\nthe\tthe\tat\ngo\tgo\tvvi\n"), "101");
}

// A document begins at its first word even when that word is dropped.
TEST_F(MeasureRun, DocumentStartsAtADroppedFirstWord) {
  const fs::path a = WriteInput("a.txt", "a b c");
  const fs::path b = WriteInput("b.txt", ", d e f");
  const fs::path c = WriteInput("c.txt", "! ?");
  TRun r;
  r.Input = Lines({a, b, c, dir_ / "missing.txt"});
  Measure(r);
  EXPECT_EQ(report_.FilesRead, 3u);
  EXPECT_EQ(report_.Documents, 3u);
  EXPECT_EQ(report_.Tokens, 9u);          // before the punctuation filter
  EXPECT_EQ(report_.ShortDocuments, 1u);  // c has no word left for a window of 3
  EXPECT_THAT(report_.SkippedEntries, ElementsAre(dir_ / "missing.txt"));
  const auto whole = ReadLines(out_ / "WholeTextsWord.csv");
  ASSERT_EQ(whole.size(), 4u);
  EXPECT_EQ(whole[1], "\"" + Utf8(a) + "\",\"1\",\"3\",\"3\",\"1.000\"");
  EXPECT_EQ(whole[2], "\"" + Utf8(b) + "\",\"2\",\"3\",\"3\",\"1.000\"");
  EXPECT_TRUE(whole[3].starts_with("\"" + Utf8(c) + "\",\"3\",\"0\",\"0\","));
  EXPECT_EQ(ReadLines(out_ / "Serie2Word3.csv").size(), 2u);
  EXPECT_EQ(ReadLines(out_ / "Serie3Word3.csv").size(), 1u);
}

// A structural line right after a document's first word starts no second document.
TEST_F(MeasureRun, StructuralLineAfterTheFirstWord) {
  const fs::path a =
      WriteInput("a.vert", "<doc id=\"1\">\n<s>\nalone\n</s>\n<doc id=\"2\">\n<s>\nx\ny\n</s>\n");
  TRun r;
  r.How = THow::jSYN;
  r.Input = Lines({a});
  Measure(r);
  const auto whole = ReadLines(out_ / "WholeTextsWord.csv");
  ASSERT_EQ(whole.size(), 3u);
  EXPECT_EQ(whole[1], "\"" + Utf8(a) + "\",\"1\",\"1\",\"1\",\"1.000\"");
  EXPECT_EQ(whole[2], "\"" + Utf8(a) + "\",\"2\",\"2\",\"2\",\"1.000\"");
}

TEST_F(MeasureRun, LowerCasingFollowsTheLocaleAndLengthsFollowIt) {
  TRun r;
  r.Input = u"İ I i";
  r.IsWholeText = true;
  r.Lag = 1;
  r.Measures = TMeasureSet{tMeasure::vLength};
  r.Secondary = {};
  r.Outputs = TOutputTypeSet{TOutputType::outSerie};
  struct Case {
    const char* locale;
    std::vector<std::string> lengths;
  };
  // Outside Turkish, U+0130 lowers to "i" + U+0307: two code units.
  for (const Case& c : {Case{"en_US", {"2.0000", "1.0000", "1.0000"}},
                        Case{"tr_TR", {"1.0000", "1.0000", "1.0000"}},
                        Case{"az", {"1.0000", "1.0000", "1.0000"}}}) {
    r.Locale = c.locale;
    Measure(r);
    const auto lines = ReadLines(out_ / "Serie1Word1.csv");
    ASSERT_EQ(lines.size(), 4u) << c.locale;
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_TRUE(lines[i + 1].ends_with(",\"" + c.lengths[i] + "\"")) << c.locale << lines[i + 1];
    fs::remove_all(out_);
  }
}

TEST_F(MeasureRun, EmptyKindSetReadsEverythingAndWritesNothing) {
  TRun r;
  r.Input = u"a b c d";
  r.IsWholeText = true;
  r.WoL = {};
  Measure(r);
  EXPECT_TRUE(fs::is_directory(out_));
  EXPECT_TRUE(OutputNames().empty());
}

TEST_F(MeasureRun, WindowLengthZeroIsRefused) {
  TRun r;
  r.Input = u"a";
  r.IsWholeText = true;
  r.Lag = 0;
  EXPECT_THROW(Measure(r), std::invalid_argument);
}

TEST_F(MeasureRun, ProgressIsReportedAndCanCancel) {
  std::u16string text;
  for (int i = 0; i < 20000; ++i) text += u"w ";
  TRun r;
  r.Input = text;
  r.IsWholeText = true;
  std::uint64_t calls = 0, lastTokens = 0;
  bool sane = true;
  Measure(r, [&](std::uint64_t read, std::uint64_t total, std::uint64_t tokens) {
    ++calls;
    sane = sane && read <= total && total > 0 && tokens >= lastTokens;
    lastTokens = tokens;
    return true;
  });
  EXPECT_GE(calls, 3u);
  EXPECT_TRUE(sane);
  fs::remove_all(out_);

  EXPECT_THROW(Measure(r, [](std::uint64_t, std::uint64_t, std::uint64_t) { return false; }),
               TRunCancelled);
  EXPECT_THAT(OutputNames(), ElementsAre());  // nothing complete, nothing partial
}

class FrequencyLists : public RunFixture {
 protected:
  static std::map<std::u16string, std::uint32_t> Counts(const TReferenceDictionary* list) {
    std::map<std::u16string, std::uint32_t> m;
    if (list != nullptr)
      for (const auto& [type, count] : *list) m[type] = count.Count;
    return m;
  }
  using M = std::map<std::u16string, std::uint32_t>;
};

// The lists' folder is made before the input is read; the phases are told as they begin.
TEST_F(FrequencyLists, CountOverTwoFilesAndAreSaved) {
  const fs::path a = WriteInput("a.txt", "The cat saw the dog.");
  const fs::path b = WriteInput("b.txt", "the Cat 3");
  TProcessTexts p("en_US");
  std::vector<TRunPhase> phases;
  p.SetPhaseCallback([&phases](TRunPhase phase) { phases.push_back(phase); });
  const auto lists = p.PrepareDictionary(
      THow::JStandard, Lines({a, b}), dir_ / "new" / "wf.tsv", dir_ / "lemma.tsv", false, true,
      true, TCasesensitiveness::csCaseInsensitive, TWordOrLemmaSet{tWordOrLemma::tokWord}, {});
  EXPECT_THAT(phases, ElementsAre(TRunPhase::ReadingAndCounting, TRunPhase::WritingLists));
  EXPECT_EQ(PhaseName(phases.back()), "Writing frequency lists");
  const M expected{{u"the", 3}, {u"cat", 2}, {u"saw", 1}, {u"dog", 1}};
  EXPECT_EQ(Counts(lists[0].get()), expected);
  EXPECT_TRUE(lists[0]->ShouldSurvive);
  EXPECT_EQ(lists[0]->TotalTokens, 7u);
  EXPECT_EQ(lists[1], nullptr);
  EXPECT_FALSE(fs::exists(dir_ / "lemma.tsv"));
  TReferenceDictionary saved;
  saved.Load(dir_ / "new" / "wf.tsv");
  EXPECT_EQ(Counts(&saved), expected);

  // A folder that cannot be made fails the run at once, naming the list.
  WriteInput("blocker", "a file");
  EXPECT_THAT(
      [&] {
        (void)p.PrepareDictionary(THow::JStandard, Lines({a}), dir_ / "blocker" / "wf.tsv", {},
                                  false, true, true, TCasesensitiveness::csCaseInsensitive,
                                  TWordOrLemmaSet{tWordOrLemma::tokWord}, {});
      },
      ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr(
          "for the frequency list \"" + Utf8(dir_ / "blocker" / "wf.tsv") + "\"")));
  EXPECT_EQ(p.GetReport().Tokens, 0u);
}

// The case rules, as frequency lists show them.
TEST_F(FrequencyLists, CaseRules) {
  const std::string vertical =
      "<doc id=\"1\">\nPraha\tPraha\tNN\nBrno\tbrno\tNN\nDOG\tDog\tNN\nCats\t\tNN\n";
  struct Case {
    const char* name;
    TCasesensitiveness cs;
    TWordOrLemmaSet wol;
    M words, lemmata;
  };
  using enum TCasesensitiveness;
  const TWordOrLemmaSet both{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  const TWordOrLemmaSet words{tWordOrLemma::tokWord};
  const Case cases[] = {
      {"only if lemma",
       csOnlyIfLemma,
       both,
       {{u"Praha", 1}, {u"brno", 1}, {u"DOG", 1}, {u"cats", 1}},
       {{u"Praha", 1}, {u"brno", 1}, {u"Dog", 1}}},
      {"only if lemma, words only",
       csOnlyIfLemma,
       words,
       {{u"praha", 1}, {u"brno", 1}, {u"dog", 1}, {u"cats", 1}},
       {}},
      {"insensitive keeps lemma capitals",
       csCaseInsensitive,
       both,
       {{u"praha", 1}, {u"brno", 1}, {u"dog", 1}, {u"cats", 1}},
       {{u"Praha", 1}, {u"brno", 1}, {u"Dog", 1}}},
      {"sensitive",
       csCaseSensitive,
       both,
       {{u"Praha", 1}, {u"Brno", 1}, {u"DOG", 1}, {u"Cats", 1}},
       {{u"Praha", 1}, {u"brno", 1}, {u"Dog", 1}}},
  };
  const fs::path in = WriteInput("in.vert", vertical);
  for (const Case& c : cases) {
    TProcessTexts p("en_US");
    const auto lists = p.PrepareDictionary(THow::jSYN, Lines({in}), dir_ / "wf.tsv",
                                           dir_ / "lemma.tsv", false, true, true, c.cs, c.wol, {});
    EXPECT_EQ(Counts(lists[0].get()), c.words) << c.name;
    EXPECT_EQ(Counts(lists[1].get()), c.lemmata) << c.name;
  }
}

TEST_F(FrequencyLists, TurkishAndOtherLocales) {
  struct Case {
    const char* locale;
    M words;
  };
  for (const Case& c : {Case{"tr_TR", {{u"ışık", 1}, {u"istanbul", 1}, {u"tıtle", 1}}},
                        Case{"en_US", {{u"işik", 1}, {u"i\u0307stanbul", 1}, {u"title", 1}}}}) {
    TProcessTexts p(c.locale);
    const auto lists = p.PrepareDictionary(
        THow::JStandard, u"IŞIK İstanbul TITLE", dir_ / "wf.tsv", dir_ / "lemma.tsv", true, true,
        true, TCasesensitiveness::csCaseInsensitive, TWordOrLemmaSet{tWordOrLemma::tokWord}, {});
    EXPECT_EQ(Counts(lists[0].get()), c.words) << c.locale;
  }
}

TEST_F(FrequencyLists, SameFileForBothKindsHoldsTheLemmata) {
  const fs::path in = WriteInput("in.vert", "<doc id=\"1\">\nwent\tgo\tV\ngoes\tgo\tV\n");
  TProcessTexts p;
  const auto lists =
      p.PrepareDictionary(THow::jSYN, Lines({in}), dir_ / "same.tsv", dir_ / "same.tsv", false,
                          true, true, TCasesensitiveness::csCaseSensitive,
                          TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}, {});
  TReferenceDictionary saved;
  saved.Load(dir_ / "same.tsv");
  EXPECT_EQ(Counts(&saved), (M{{u"go", 2}}));
  EXPECT_EQ(Counts(lists[0].get()), (M{{u"went", 1}, {u"goes", 1}}));
}

// The lists hold what counting token by token into a TReferenceDictionary gives: the same
// entries (count and length), the same total, in the same order of iteration; an empty
// lemma is not counted. Enough types that both the list and the counting grow many times.
TEST_F(FrequencyLists, ListsEqualTokenByTokenCounting) {
  std::string text = "<doc id=\"1\">\n";
  TReferenceDictionary words, lemmata;
  for (unsigned i = 0; i < 20000; ++i) {
    std::string word, lemma;
    for (unsigned v = (i * 7919u) % (1 + i / 3); v > 0; v /= 26)
      word += static_cast<char>('a' + v % 26);
    word += 'x';
    if (i % 5 != 0) lemma = word.substr(0, 2);
    text += word + "\t" + lemma + "\tNN\n";
    words.AddToken(Utf8ToUtf16(word));
    lemmata.AddToken(Utf8ToUtf16(lemma));
  }
  const fs::path in = WriteInput("in.vert", text);
  TProcessTexts p;
  const auto lists =
      p.PrepareDictionary(THow::jSYN, Lines({in}), dir_ / "wf.tsv", dir_ / "lemma.tsv", false,
                          false, false, TCasesensitiveness::csCaseSensitive,
                          TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma}, {});
  for (const auto& [counted, expected] :
       {std::pair{lists[0].get(), &words}, std::pair{lists[1].get(), &lemmata}}) {
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(counted->TotalTokens, expected->TotalTokens);
    ASSERT_EQ(counted->Size(), expected->Size());
    EXPECT_TRUE(std::equal(counted->begin(), counted->end(), expected->begin()));
  }
  EXPECT_EQ(lemmata.TotalTokens, 16000u);
}

TEST_F(FrequencyLists, LemmataOnly) {
  const fs::path in = WriteInput("in.vert", "<doc id=\"1\">\nwent\tgo\tV\n");
  TProcessTexts p;
  const auto lists = p.PrepareDictionary(
      THow::jSYN, Lines({in}), dir_ / "wf.tsv", dir_ / "lemma.tsv", false, true, true,
      TCasesensitiveness::csCaseSensitive, TWordOrLemmaSet{tWordOrLemma::tokLemma}, {});
  EXPECT_EQ(lists[0], nullptr);
  EXPECT_EQ(Counts(lists[1].get()), (M{{u"go", 1}}));
  EXPECT_TRUE(lists[1]->ShouldSurvive);
  EXPECT_FALSE(fs::exists(dir_ / "wf.tsv"));
  EXPECT_TRUE(fs::exists(dir_ / "lemma.tsv"));
}

}  // namespace
}  // namespace tavora::testing
