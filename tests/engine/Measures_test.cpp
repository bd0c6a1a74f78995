#include "engine/Measures.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace tavora {
namespace {

using M = tMeasure;
using S = tMeasureSecondary;

TEST(EnumSet, IteratesInOrdinalOrderAndMapsBits) {
  TMeasureSet set = {M::vAutosemantics, M::vTokens, M::vCrossRRR};
  std::vector<M> seen(set.begin(), set.end());
  EXPECT_EQ(seen, (std::vector<M>{M::vTokens, M::vCrossRRR, M::vAutosemantics}));
  EXPECT_EQ(set.Mask(), (1u << 0) | (1u << 8) | (1u << 12));
  EXPECT_EQ(set.Count(), 3u);
  EXPECT_EQ(TMeasureSet::FromMask(0xFFFF).Count(), kMeasureCount);
  EXPECT_EQ(tMeasureSecondarySet::All().Count(), kMeasureSecondaryCount);
  EXPECT_TRUE((set - TMeasureSet{M::vCrossRRR}).Contains(M::vAutosemantics));
  EXPECT_FALSE((set - TMeasureSet{M::vCrossRRR}).Contains(M::vCrossRRR));
}

TEST(Captions, AreTheFixedTexts) {
  EXPECT_EQ(MeasureCaption(M::vRRR), u"Reverse Repeat Rate");
  EXPECT_EQ(MeasureCaption(M::vDifference), u"Differrence");
  EXPECT_EQ(MeasureCaption(M::vLength), u"Token Length");
  EXPECT_EQ(MeasureSecondaryCaption(S::vRenyiRelativeEntropy), u"R\u00E9nyi Relative Entropy");
  EXPECT_EQ(MeasureSecondaryCaption(S::vLogLogLogTTR), u"LogLogLogTTR");
  for (M m : TMeasureSet::All()) EXPECT_LE(MeasureCaption(m).size(), 30u);
  for (S s : tMeasureSecondarySet::All()) EXPECT_LE(MeasureSecondaryCaption(s).size(), 30u);
  EXPECT_EQ(MeasurePositionDigits(M::vTypes), 0);
  EXPECT_EQ(MeasureAverageDigits(M::vTypes), 1);
  EXPECT_EQ(MeasureAverageDigits(M::vHillsContinuum), 4);
  EXPECT_EQ(MeasureSecondaryDigits(S::vLogLogTTR), 4);
}

TPositionResults Record(double tokens, double types, double perp, double hill, double q) {
  TPositionResults r;
  r.Measures[M::vTokens] = tokens;
  r.Measures[M::vTypes] = types;
  r.Measures[M::vPerplexity] = perp;
  r.Measures[M::vHillsContinuum] = hill;
  r.Q = q;
  return r;
}

TEST(TPositionResults, HillsContinuumAtOrdersZeroOneTwo) {
  struct Row { double q, sum, expected; };
  for (Row row : {Row{0, 7.0, 3.0}, Row{1, 0.3, 2.5}, Row{2, 0.5, 2.0}, Row{3, 0.25, 2.0},
                  Row{2, 0.0, 0.0}}) {
    TPositionResults r = Record(4, 3, 2.5, row.sum, row.q);
    EXPECT_DOUBLE_EQ(r.HillsContinuum(), row.expected) << "Q " << row.q;
    EXPECT_DOUBLE_EQ(r.BasicMetrics(M::vHillsContinuum), row.expected);
  }
  TPositionResults cross;
  cross.Measures[M::vCrossTypes] = 5;
  cross.Measures[M::vCrossPerplexity] = 6;
  cross.Measures[M::vCrossHillsContinuum] = 0.25;
  cross.Q = 0;
  EXPECT_EQ(cross.CrossHillsContinuum(), 5);
  cross.Q = 1;
  EXPECT_EQ(cross.CrossHillsContinuum(), 6);
  cross.Q = 2;
  EXPECT_EQ(cross.CrossHillsContinuum(), 4);
}

TEST(TPositionResults, SecondaryMeasuresAndTheirConditions) {
  TPositionResults r = Record(200, 143, 8, 0.25, 2);
  r.Measures[M::vRRR] = 4;
  r.Measures[M::vCrossPerplexity] = 16;
  r.Measures[M::vCrossTypes] = 286;
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vTTR), 0.715);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vLogTTR), std::log(143) / std::log(200));
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vEntropy), 3);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vRelativeEntropy), 1);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vRepeatRate), 0.25);
  EXPECT_EQ(r.SecondaryMetrics(S::vCrossRepeatRate), 0);  // CRRR = 0
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vRelativePerplexity), 2);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vRelativeTypes), 2);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vLogRelativeTypes), 1);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vRenyiEntropy), 2);  // log2(0.25) / (1 - 2)

  TPositionResults two = Record(2, 2, 2, 1, 0);
  EXPECT_EQ(two.SecondaryMetrics(S::vLogLogLogTTR), 0);  // Tok <= 2.8
  EXPECT_NE(two.SecondaryMetrics(S::vLogLogTTR), 0);
  TPositionResults empty;
  EXPECT_TRUE(std::isnan(empty.SecondaryMetrics(S::vTTR)));  // 0 / 0 stays IEEE
  EXPECT_EQ(empty.SecondaryMetrics(S::vRootTTR), 0);
  EXPECT_EQ(empty.SecondaryMetrics(S::vEntropy), 0);
  EXPECT_EQ(empty.BasicMetricsToString(M::vTokens), u"0");
  EXPECT_EQ(empty.SecondaryMetricsToString(S::vTTR), u"NaN");
}

TEST(TPositionResults, NumberOfTypesRoundsTiesToEven) {
  TPositionResults r;
  r.Measures[M::vTypes] = 2.5;
  r.Measures[M::vHapax] = 3.5;
  EXPECT_EQ(r.NumberOfTypes(), 2);
  EXPECT_EQ(r.NumberofHapax(), 4);
}

TEST(TPositionResults, AllToLineWritesEachMemberInOrder) {
  TPositionResults r = Record(200, 143, 1, 1, 0);
  EXPECT_EQ(r.AllToLine(u",", u"\"", {}, {}), u"");
  EXPECT_EQ(r.AllToLine(u",", u"\"", {M::vTypes, M::vTokens}, {S::vTTR}),
            u",\"200\",\"143\",\"0.715\"");
  r.Measures[M::vRRR] = std::numeric_limits<double>::infinity();
  EXPECT_EQ(r.AllToLine(u";", u"", {M::vRRR}, {}), u";Inf");
}

TEST(TAverages, NoWindowGivesZerosWithTheTableDigits) {
  TAverages a;
  EXPECT_EQ(a.BasicMetricsToString(M::vTypes), u"0.0");
  EXPECT_EQ(a.BasicMetricsToString(M::vLength), u"0.0000");
  EXPECT_EQ(a.SecondaryMetricsToString(S::vTTR), u"0.000");
  EXPECT_EQ(a.AllToLine(u",", u"\"", {M::vHillsContinuum}, {S::vEntropy}),
            u",\"0.0000\",\"0.00\"");
}

TEST(TAverages, AddsReportedValuesAndMeansThem) {
  TAverages a;
  const TMeasureSet basic = {M::vTokens, M::vTypes, M::vHillsContinuum};
  const tMeasureSecondarySet secondary = {S::vTTR, S::vLogLogTTR};
  // Hill's numbers, not raw sums, are averaged: Q = 2 with sums 0.5 and 0.25.
  a.Add(Record(200, 142, 1, 0.5, 2), basic, secondary);
  a.Add(Record(200, 143, 1, 0.25, 2), basic, secondary);
  a.Add(Record(200, 143, 1, 0.25, 2), basic, secondary);
  a.Add(Record(200, 142, 1, 0.25, 2), basic, secondary);
  a.Add(Record(200, 143, 1, 0.25, 2), basic, secondary);
  EXPECT_EQ(a.NumberOfWindowsInText, 5u);
  EXPECT_EQ(a.BasicMetricsToString(M::vTypes), u"142.6");
  EXPECT_DOUBLE_EQ(a.BasicMetrics(M::vHillsContinuum), (2 + 4 * 4) / 5.0);
  EXPECT_DOUBLE_EQ(a.SecondaryMetrics(S::vTTR), (2 * 0.71 + 3 * 0.715) / 5);
  EXPECT_EQ(a.SecondaryMetricsToString(S::vLogLogTTR).size(), 6u);  // 0.xxxx
  EXPECT_EQ(a.BasicMetrics(M::vPerplexity), 0);  // not in the set
}

}  // namespace
}  // namespace tavora
