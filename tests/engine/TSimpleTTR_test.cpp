#include "engine/TSimpleTTR.h"

#include "engine/TReferenceDictionary.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavora {
namespace {

using M = tMeasure;
using S = tMeasureSecondary;

const TMeasureSet kCounting = {M::vTokens,     M::vTypes, M::vHapax,
                               M::vPerplexity, M::vRRR,   M::vHillsContinuum};

// Feeds the tokens and returns the row of every window position.
std::vector<std::u16string> Feed(TSimpleTTR& engine, const std::vector<std::u16string>& tokens,
                                 tMeasureSecondarySet secondary = {}) {
  std::vector<std::u16string> rows;
  for (const auto& t : tokens) {
    const auto before = engine.Total().NumberOfWindowsInText;
    engine.AddToken(t, t.size() % 2 == 1);
    if (engine.Total().NumberOfWindowsInText != before)
      rows.push_back(engine.Actual().AllToLine(u",", u"", engine.SetOfMeasures(), secondary));
  }
  return rows;
}

TEST(TSimpleTTR, WindowABABAndItsShiftByC) {
  TSimpleTTR engine(4, kCounting, {}, 2, false, 0.5);
  Feed(engine, {u"a", u"b", u"a", u"b"});
  const TPositionResults& r = engine.Actual();
  EXPECT_EQ(engine.Total().NumberOfWindowsInText, 1u);
  EXPECT_EQ(r.Measures[M::vTokens], 4);
  EXPECT_EQ(r.Measures[M::vTypes], 2);
  EXPECT_EQ(r.Measures[M::vHapax], 0);
  EXPECT_DOUBLE_EQ(r.Measures[M::vPerplexity], 2);
  EXPECT_DOUBLE_EQ(r.Measures[M::vRRR], 2);
  EXPECT_DOUBLE_EQ(r.Measures[M::vHillsContinuum], 0.5);
  EXPECT_DOUBLE_EQ(r.HillsContinuum(), 2);

  engine.AddToken(u"c", false);  // the first a leaves
  EXPECT_EQ(engine.Total().NumberOfWindowsInText, 2u);
  EXPECT_EQ(r.Measures[M::vTokens], 4);
  EXPECT_EQ(r.NumberOfTokens, 5u);
  EXPECT_EQ(r.Measures[M::vTypes], 3);
  EXPECT_EQ(r.Measures[M::vHapax], 2);
  EXPECT_NEAR(r.Measures[M::vPerplexity], std::pow(4, 0.25) * std::sqrt(2) * std::pow(4, 0.25),
              1e-12);
  EXPECT_NEAR(r.Measures[M::vRRR], 16.0 / 6, 1e-12);
  EXPECT_NEAR(r.Measures[M::vHillsContinuum], 6.0 / 16, 1e-12);
  EXPECT_EQ(r.BasicMetricsToString(M::vRRR), u"2.7");
}

TEST(TSimpleTTR, PositionsStartAtTheLthToken) {
  TSimpleTTR engine(10, kCounting, {S::vTTR}, 2, false, 0.5);
  std::vector<std::u16string> nine = {u"q", u"b", u"c", u"a", u"d", u"e", u"a", u"f", u"g"};
  Feed(engine, nine);
  EXPECT_EQ(engine.Total().NumberOfWindowsInText, 0u);
  EXPECT_EQ(engine.Total().AllToLine(u",", u"", {M::vTypes, M::vLength}, {S::vTTR}),
            u",NaN,NaN,NaN");
  const TPositionResults whole = engine.WholeText();
  EXPECT_EQ(whole.NumberOfTokens, 9u);
  EXPECT_EQ(whole.Measures[M::vTypes], 8);
  EXPECT_EQ(whole.Measures[M::vHapax], 7);

  engine.AddToken(u"h", false);
  EXPECT_EQ(engine.Total().NumberOfWindowsInText, 1u);
  // A text of exactly L tokens: its one position is the whole text.
  EXPECT_EQ(engine.Actual(), engine.WholeText());
  engine.AddToken(u"z", false);
  EXPECT_EQ(engine.Total().NumberOfWindowsInText, 2u);
  EXPECT_EQ(engine.Actual().NumberOfTokens, 11u);
  // The whole text counts all eleven tokens, not the last window.
  EXPECT_EQ(engine.WholeText().Measures[M::vTokens], 11);
  EXPECT_EQ(engine.WholeText().Measures[M::vTypes], 10);
  EXPECT_EQ(engine.Actual().Measures[M::vTokens], 10);
  EXPECT_EQ(engine.Actual().Measures[M::vTypes], 9);
}

TEST(TSimpleTTR, SameTypeEnteringAndLeavingAndEmptyTokensChangeNothing) {
  TSimpleTTR engine(3, kCounting, {}, 2, false, 0.5);
  Feed(engine, {u"a", u"b", u"c"});
  const TPositionResults before = engine.Actual();
  engine.AddToken(u"", true);
  EXPECT_EQ(engine.Actual(), before);
  EXPECT_EQ(engine.Total().NumberOfTokens, 3u);
  engine.AddToken(u"a", false);
  EXPECT_EQ(engine.Actual().Measures, before.Measures);
  EXPECT_EQ(engine.WindowSize(), 3u);
  EXPECT_EQ(engine.FindType(u"a")->Count, 1);
  EXPECT_EQ(engine.FindType(u"a")->CountInWholeText, 2);
}

TEST(TSimpleTTR, ClearThenTheSameSequenceGivesTheSamePositions) {
  const std::vector<std::u16string> text = {u"house", u"mouse", u"a",     u"ab",  u"house",
                                            u"cat",   u"a",     u"mouse", u"dog", u"ab"};
  for (bool difference : {false, true}) {
    TMeasureSet set = kCounting;
    set.Include(M::vLength).Include(M::vAutosemantics);
    if (difference) set.Include(M::vDifference);
    TSimpleTTR engine(4, set, {S::vTTR, S::vEntropy}, 2, false, 0.5);
    const auto first = Feed(engine, text, {S::vTTR, S::vEntropy});
    const TAverages firstTotal = engine.Total();
    const TPositionResults firstWhole = engine.WholeText();
    engine.Clear();
    EXPECT_EQ(engine.Total(), TAverages{});
    EXPECT_EQ(engine.WindowSize(), 0u);
    EXPECT_EQ(engine.FindType(u"house") != nullptr,
              !difference);  // entries kept unless vDifference
    const auto second = Feed(engine, text, {S::vTTR, S::vEntropy});
    EXPECT_EQ(first, second) << "vDifference " << difference;
    EXPECT_EQ(engine.Total(), firstTotal);
    EXPECT_EQ(engine.WholeText(), firstWhole);
  }
}

// After a text of more than kKeptTypes types the types start again at Clear: the next text
// measures as in a fresh engine, also with Hill's sums at a scaled order against a list.
TEST(TSimpleTTR, ClearAfterAVeryLargeVocabularyStartsTheTypesAgain) {
  // Two types fill the first window; the ids of those after it were keyed in the last text.
  const std::vector<std::u16string> text = {u"house", u"house", u"mouse", u"house", u"a",
                                            u"ab",    u"cat",   u"a",     u"dog",   u"ab"};
  std::vector<std::u16string> many;
  for (std::size_t i = 0; i <= TSimpleTTR::kKeptTypes; ++i) {
    std::u16string type;
    for (std::size_t n = i + 1; n != 0; n /= 26) type += static_cast<char16_t>(u'a' + n % 26);
    many.push_back(type);
  }
  // The last window holds the first ids, which the next text takes again.
  for (std::size_t i = 0; i < 4; ++i) many.push_back(many[i]);
  TReferenceDictionary list;
  list.Set(u"house", TCount(30, 5));
  list.Set(u"a", TCount(70, 1));
  list.TotalTokens = 100;
  TMeasureSet set = kCounting;
  set.Include(M::vHillsContinuum).Include(M::vCrossHillsContinuum);
  const auto engine = [&] {
    auto e = std::make_unique<TSimpleTTR>(4, set, tMeasureSecondarySet{S::vTTR}, 1000, false, 0.5);
    e->SetReferenceDictionary(&list);
    return e;
  };
  const auto fresh = engine();
  const auto reused = engine();
  Feed(*reused, many, {});
  reused->Clear();
  EXPECT_EQ(reused->FindType(many[0]), nullptr);
  EXPECT_EQ(Feed(*reused, text, {S::vTTR}), Feed(*fresh, text, {S::vTTR}));
  EXPECT_EQ(reused->WholeText(), fresh->WholeText());
}

TEST(TSimpleTTR, DifferenceOfHouseAndMouse) {
  TSimpleTTR engine(2, {M::vDifference}, {}, 2, false, 0.5);
  Feed(engine, {u"house", u"mouse"});
  EXPECT_DOUBLE_EQ(engine.Actual().Measures[M::vDifference], 2 * 0.25 * 0.2);
  engine.AddToken(u"house", false);  // window mouse, house
  EXPECT_NEAR(engine.Actual().Measures[M::vDifference], 0.1, 1e-15);
  engine.AddToken(u"house", false);  // window house, house
  EXPECT_NEAR(engine.Actual().Measures[M::vDifference], 0, 1e-15);
  EXPECT_EQ(engine.Actual().BasicMetricsToString(M::vDifference), u"0.0000");

  TSimpleTTR same(5, {M::vDifference}, {}, 2, false, 0.5);
  Feed(same, {u"x", u"x", u"x", u"x", u"x"});
  EXPECT_EQ(same.Actual().Measures[M::vDifference], 0);
}

TEST(TSimpleTTR, AutosemanticsFollowsTheTokensNotTheTypes) {
  TSimpleTTR engine(2, {M::vAutosemantics}, {}, 2, false, 0.5);
  engine.AddToken(u"w", false);
  engine.AddToken(u"v", false);
  EXPECT_EQ(engine.Actual().Measures[M::vAutosemantics], 0);
  engine.AddToken(u"w", true);  // same type, now autosemantic
  EXPECT_DOUBLE_EQ(engine.Actual().Measures[M::vAutosemantics], 0.5);
  engine.AddToken(u"v", true);
  EXPECT_DOUBLE_EQ(engine.Actual().Measures[M::vAutosemantics], 1.0);
  EXPECT_DOUBLE_EQ(engine.WholeText().Measures[M::vAutosemantics], 0.5);
}

TEST(TSimpleTTR, WideningForSecondaryMeasuresAndHillsOrders) {
  TSimpleTTR ttr(10, {}, {S::vTTR}, 2, false, 0.5);
  EXPECT_EQ(ttr.SetOfMeasures(), (TMeasureSet{M::vTokens, M::vTypes}));
  Feed(ttr, {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"});
  EXPECT_EQ(ttr.Actual().SecondaryMetricsToString(S::vTTR), u"1.000");

  struct Row {
    double q;
    M added;
  };
  for (Row row : {Row{0, M::vTypes}, Row{1, M::vPerplexity}}) {
    TSimpleTTR engine(3, {M::vHillsContinuum}, {}, row.q, false, 0.5);
    EXPECT_TRUE(engine.SetOfMeasures().Contains(row.added));
    Feed(engine, {u"a", u"b", u"a", u"c", u"c"});
    EXPECT_DOUBLE_EQ(engine.Actual().HillsContinuum(), engine.Actual().Measures[row.added]);
  }
  TSimpleTTR cross(3, {M::vCrossHillsContinuum}, {S::vRelativeEntropy}, 0, false, 0.5);
  EXPECT_TRUE(cross.SetOfMeasures().Contains(M::vCrossTypes));
  EXPECT_TRUE(cross.SetOfMeasures().Contains(M::vCrossPerplexity));
  EXPECT_TRUE(cross.SetOfMeasures().Contains(M::vPerplexity));
}

TEST(TSimpleTTR, WithoutAReferenceListCrossMeasuresAreDroppedAndStayZero) {
  const TMeasureSet cross = {M::vCrossTypes, M::vCrossPerplexity, M::vCrossRRR,
                             M::vCrossHillsContinuum};
  for (bool withEmptyList : {false, true}) {
    TSimpleTTR engine(2, cross | TMeasureSet{M::vTypes}, {S::vCrossEntropy}, 2, false, 0.5);
    TReferenceDictionary empty;
    if (withEmptyList) {
      engine.SetReferenceDictionary(&empty);
    } else {
      engine.SetReferenceDictionary(static_cast<const TReferenceDictionary*>(nullptr));
    }
    Feed(engine, {u"a", u"b", u"a"});
    EXPECT_EQ(engine.SetOfMeasures(), TMeasureSet{M::vTypes});
    for (M m : cross) EXPECT_EQ(engine.Actual().Measures[m], 0);
    EXPECT_EQ(engine.Actual().SecondaryMetrics(S::vCrossEntropy), 0);
  }
}

TEST(TSimpleTTR, RefCorpContainsTextTakesTheTextOutOfTheReferenceCounts) {
  TReferenceDictionary list;
  list.Set(u"a", TCount(2, 1));
  list.Set(u"b", TCount(6, 1));
  list.TotalTokens = 8;
  TSimpleTTR engine(4, {M::vCrossTypes}, {}, 2, true, 0.5);
  engine.SetReferenceDictionary(&list);
  Feed(engine, {u"a", u"a", u"b", u"b"});
  // ref'(a) = 2 - 2 = 0, so r^(a) = s / (T + V s) = 0.5 / 9; ref'(b) = 4.
  const double expected = 0.5 * 9 / 0.5 + 0.5 * 9 / 4.5;
  EXPECT_NEAR(engine.Actual().Measures[M::vCrossTypes], expected, 1e-12);
}

TEST(TSimpleTTR, CrossReverseRepeatRateIsInfiniteOnceNoListedTypeIsLeft) {
  TReferenceDictionary list;
  list.Set(u"a", TCount(3, 1));
  list.Set(u"b", TCount(7, 1));
  list.TotalTokens = 10;
  TSimpleTTR engine(3, {M::vCrossRRR}, {S::vCrossRepeatRate}, 2, false, 0.5);
  engine.SetReferenceDictionary(&list);
  const std::vector<std::u16string> stream = {u"a", u"b", u"a", u"x", u"b", u"y", u"z", u"x", u"a"};
  std::vector<double> values;
  for (const auto& t : stream) {
    engine.AddToken(t, false);
    if (engine.Total().NumberOfWindowsInText > 0)
      values.push_back(engine.Actual().Measures[M::vCrossRRR]);
  }
  // Windows: aba, bax, axb, xby, byz, yzx, zxa.
  const double L = 3, T = 10;
  const std::vector<double> expected = {L * T / 13, L * T / 10, L * T / 10, L * T / 7,
                                        L * T / 7,  INFINITY,   L * T / 3};
  ASSERT_EQ(values.size(), expected.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (std::isinf(expected[i])) {
      EXPECT_EQ(values[i], expected[i]) << i;  // exactly Inf, no rounding residue
    } else {
      EXPECT_NEAR(values[i], expected[i], 1e-12) << i;
    }
  }
}

// At Q = 0 the raw Hill's sum counts the window's types, so the Renyi entropies,
// which read the raw sum, follow the window as its type count rises and falls.
TEST(TSimpleTTR, RenyiEntropyOfOrderZeroIsLog2OfTheWindowsTypes) {
  TSimpleTTR engine(3, {M::vHillsContinuum}, {S::vRenyiEntropy}, 0, false, 0.5);
  const std::vector<std::u16string> stream = {u"a", u"a", u"a", u"b", u"c", u"d",
                                              u"d", u"d", u"d", u"e", u"a", u"d"};
  // Windows: aaa aab abc bcd cdd ddd ddd dde dea ead.
  const std::vector<double> types = {1, 2, 3, 3, 2, 1, 1, 2, 3, 3};
  std::vector<double> sums, renyi;
  for (const auto& t : stream) {
    engine.AddToken(t, false);
    if (engine.Total().NumberOfWindowsInText == 0) continue;
    sums.push_back(engine.Actual().Measures[M::vHillsContinuum]);
    renyi.push_back(engine.Actual().SecondaryMetrics(S::vRenyiEntropy));
  }
  ASSERT_EQ(sums, types);
  for (std::size_t i = 0; i < types.size(); ++i)
    EXPECT_DOUBLE_EQ(renyi[i], std::log2(types[i])) << i;
}

// At Q = 1 the Hill's sums are the sum of the shares, exactly 1, so the Renyi measures,
// which divide by 1 - Q, are 0/0 = NaN at every position and for the whole text.
TEST(TSimpleTTR, RenyiMeasuresOfOrderOneAreNaN) {
  TReferenceDictionary list;
  for (const char16_t* w : {u"a", u"b", u"b", u"c", u"x"}) list.AddToken(w);
  TSimpleTTR engine(3, {M::vHillsContinuum, M::vCrossHillsContinuum},
                    {S::vRenyiEntropy, S::vRenyiCrossEntropy, S::vRenyiRelativeEntropy}, 1, false,
                    0.5);
  engine.SetReferenceDictionary(&list);
  int positions = 0;
  for (const char16_t* t : {u"a", u"b", u"c", u"a", u"d", u"b", u"b", u"e", u"c", u"a"}) {
    engine.AddToken(t, false);
    if (engine.Total().NumberOfWindowsInText == 0) continue;
    ++positions;
    EXPECT_EQ(engine.Actual().Measures[M::vHillsContinuum], 1.0);
    EXPECT_EQ(engine.Actual().Measures[M::vCrossHillsContinuum], 1.0);
    for (S s : {S::vRenyiEntropy, S::vRenyiCrossEntropy, S::vRenyiRelativeEntropy})
      EXPECT_TRUE(std::isnan(engine.Actual().SecondaryMetrics(s))) << positions;
  }
  EXPECT_EQ(positions, 8);
  EXPECT_TRUE(std::isnan(engine.WholeText().SecondaryMetrics(S::vRenyiEntropy)));
}

// Values that are ratios of integer sums are one division of the exact sums, in
// the first window, after shifts and for the whole text, so that ties of the
// written digits round to even on the exact value.
TEST(TSimpleTTR, RatiosOfCountsAreOneDivisionOfExactSums) {
  TReferenceDictionary list;
  list.Set(u"x", TCount(4, 1));
  list.Set(u"y", TCount(0, 1));
  list.Set(u"z", TCount(11, 1));
  list.TotalTokens = 15;
  struct Case {
    std::uint32_t L;
    M measure;
    std::vector<std::u16string> tokens;
    std::vector<std::u16string> positions;  // written values, one per position
    std::u16string whole;
  };
  const std::vector<Case> cases = {
      // 7 * 15 / 4 = 26.25; a sum of p * r gives 26.250000000000004.
      {7,
       M::vCrossRRR,
       {u"x", u"y", u"y", u"y", u"y", u"y", u"y", u"y", u"z", u"y"},
       {u"26.2", u"Inf", u"9.5", u"9.5"},
       u"10.0"},  // 10 * 15 / (4 + 11)
      // 10^2 / (3 * 2^2 + 4) = 6.25, after a shift too; the text 12^2 / 26.
      {10,
       M::vRRR,
       {u"a", u"a", u"b", u"b", u"c", u"c", u"d", u"e", u"f", u"g", u"a", u"b"},
       {u"6.2", u"6.2", u"5.6"},
       u"5.5"},
      // Lengths 33 / 32 = 1.03125, then 34 / 32 = 1.0625.
      {32, M::vLength, {}, {u"1.0312", u"1.0625"}, u"1.0909"},  // 36 / 33
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> tokens = c.tokens;
    if (c.measure == M::vLength) {
      tokens.assign(31, u"a");
      tokens.insert(tokens.begin(), u"ab");
      tokens.push_back(u"abc");
    }
    TSimpleTTR engine(c.L, {c.measure}, {}, 2, false, 0.5);
    engine.SetReferenceDictionary(&list);
    std::vector<std::u16string> written;
    for (const auto& t : tokens) {
      engine.AddToken(t, false);
      if (engine.Total().NumberOfWindowsInText > 0)
        written.push_back(engine.Actual().BasicMetricsToString(c.measure));
    }
    EXPECT_EQ(written, c.positions) << static_cast<int>(c.measure);
    EXPECT_EQ(engine.WholeText().BasicMetricsToString(c.measure), c.whole)
        << static_cast<int>(c.measure);
  }
}

// Reference counts reduced by the text's own: x 3 - 1, y 1 - 2 per token, so
// K = 2 - 2 = 0 and the cross repeat rate is Inf, not a rounding residue.
TEST(TSimpleTTR, CrossReverseRepeatRateIsInfWhenTheReducedReferenceSumIsZero) {
  TReferenceDictionary list;
  list.Set(u"x", TCount(3, 1));
  list.Set(u"y", TCount(1, 1));
  list.Set(u"z", TCount(6, 1));
  list.TotalTokens = 10;
  TSimpleTTR engine(3, {M::vCrossRRR}, {}, 2, true, 0.5);
  engine.SetReferenceDictionary(&list);
  Feed(engine, {u"x", u"y", u"y"});
  EXPECT_EQ(engine.Actual().Measures[M::vCrossRRR], INFINITY);
  EXPECT_EQ(engine.WholeText().Measures[M::vCrossRRR], INFINITY);
}

TEST(TSimpleTTR, NonFiniteCrossHillsTermIsReportedAndSkipped) {
  TReferenceDictionary list;
  list.Set(u"a", TCount(1, 1));
  list.Set(u"b", TCount(5, 1));
  list.TotalTokens = 6;
  // s = 1: ref'(a) becomes -1 at its second occurrence, so r^ = 0 and r^^(Q-1) = 1/0.
  TSimpleTTR engine(2, {M::vCrossHillsContinuum}, {}, 0, true, 1.0);
  engine.SetReferenceDictionary(&list);
  Feed(engine, {u"b", u"b", u"a"});
  const double kept = engine.Actual().Measures[M::vCrossHillsContinuum];
  ::testing::internal::CaptureStdout();
  engine.AddToken(u"a", false);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "vCrossHillsContinuum in troubles\n");
  EXPECT_EQ(engine.Actual().Measures[M::vCrossHillsContinuum], kept);

  // With a sink set, the line goes there instead (a leaves with r^ = 0 as b enters).
  std::vector<std::string> lines;
  engine.SetDiagnosticSink([&lines](std::string_view line) { lines.emplace_back(line); });
  ::testing::internal::CaptureStdout();
  engine.AddToken(u"b", false);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_THAT(lines, ::testing::ElementsAre("vCrossHillsContinuum in troubles"));
}

TEST(TSimpleTTR, UndefinedValuesAreWrittenAsIeeeValues) {
  TSimpleTTR engine(1, {M::vRRR, M::vTypes}, {S::vRenyiEntropy}, 1, false, 0.5);
  engine.AddToken(u"a", false);
  EXPECT_EQ(engine.WholeText().BasicMetricsToString(M::vRRR), u"Inf");  // 1 / 0
  TSimpleTTR empty(5, {M::vTokens}, {S::vTTR}, 2, false, 0.5);
  EXPECT_EQ(empty.WholeText().SecondaryMetricsToString(S::vTTR), u"NaN");  // 0 / 0
  EXPECT_THROW(TSimpleTTR(0, {}, {}, 2, false, 0.5), std::invalid_argument);
}

TEST(TSimpleTTR, TokenLengthComesFromTheListWhenListed) {
  TReferenceDictionary list;
  list.Set(u"abc", TCount(4, 10));
  list.TotalTokens = 4;
  TSimpleTTR engine(2, {M::vLength}, {}, 2, false, 0.5);
  engine.SetReferenceDictionary(&list);
  Feed(engine, {u"abc", u"xy"});
  EXPECT_DOUBLE_EQ(engine.Actual().Measures[M::vLength], 6);
  engine.AddToken(u"xyz", false);
  EXPECT_DOUBLE_EQ(engine.Actual().Measures[M::vLength], 2.5);
}

}  // namespace
}  // namespace tavora
