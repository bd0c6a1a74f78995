#include "engine/Measures.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
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
  struct Row {
    double q, sum, expected;
  };
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

// A text shorter than the window has no average: every mean is NaN, not 0.
TEST(TAverages, NoWindowGivesNaN) {
  TAverages a;
  EXPECT_EQ(a.BasicMetricsToString(M::vTokens), u"NaN");
  EXPECT_EQ(a.BasicMetricsToString(M::vLength), u"NaN");
  EXPECT_EQ(a.SecondaryMetricsToString(S::vTTR), u"NaN");
  EXPECT_EQ(a.AllToLine(u",", u"\"", {M::vHillsContinuum}, {S::vEntropy}), u",\"NaN\",\"NaN\"");
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
  EXPECT_EQ(a.BasicMetrics(M::vPerplexity), 0);                     // not in the set
}

}  // namespace
}  // namespace tavora

namespace tavora {
namespace {

// The secondary measures of one position, straight from the formulas.
double PlainSecondary(const TPositionResults& r, tMeasureSecondary s) {
  const auto& m = r.Measures;
  const double tok = m[M::vTokens], typ = m[M::vTypes], perp = m[M::vPerplexity];
  const double ctyp = m[M::vCrossTypes], cperp = m[M::vCrossPerplexity];
  const double hill = m[M::vHillsContinuum], chill = m[M::vCrossHillsContinuum];
  auto log2 = [](double x) { return std::log(x) / std::log(2.0); };
  switch (s) {
    case S::vTTR:
      return typ / tok;
    case S::vLogTTR:
      return tok > 1 && typ > 1 ? std::log(typ) / std::log(tok) : 0;
    case S::vRootTTR:
      return tok != 0 ? typ / std::sqrt(tok) : 0;
    case S::vEntropy:
      return perp != 0 ? log2(perp) : 0;
    case S::vCrossEntropy:
      return cperp != 0 ? log2(cperp) : 0;
    case S::vRelativeEntropy:
      return perp != 0 ? log2(cperp) - log2(perp) : 0;
    case S::vRepeatRate:
      return m[M::vRRR] != 0 ? 1 / m[M::vRRR] : 0;
    case S::vCrossRepeatRate:
      return m[M::vCrossRRR] != 0 ? 1 / m[M::vCrossRRR] : 0;
    case S::vLogLogTTR:
      return tok > 1 && typ > 1 ? std::log(std::log(typ)) / std::log(std::log(tok)) : 0;
    case S::vLogLogLogTTR:
      return tok > 2.8 && typ > 2.8
                 ? std::log(std::log(std::log(typ))) / std::log(std::log(std::log(tok)))
                 : 0;
    case S::vRelativePerplexity:
      return perp != 0 ? cperp / perp : 0;
    case S::vRelativeTypes:
      return typ > 0 ? ctyp / typ : 0;
    case S::vLogTypes:
      return typ > 0 ? log2(typ) : 0;
    case S::vLogRelativeTypes:
      return typ > 0 && ctyp > 0 ? log2(ctyp) - log2(typ) : 0;
    case S::vRenyiEntropy:
      return hill > 0 ? log2(hill) / (1 - r.Q) : 0;
    case S::vRenyiCrossEntropy:
      return chill > 0 ? log2(chill) / (1 - r.Q) : 0;
    case S::vRenyiRelativeEntropy:
      return chill > 0 && hill > 0 ? log2(chill) / (1 - r.Q) - log2(hill) / (1 - r.Q) : 0;
  }
  return 0;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Counts inside and outside the table of logarithms of whole numbers, and
// fractional ones: every secondary value, alone or summed by Add, is the very
// double the formula gives.
TEST(SecondaryMetrics, EqualThePlainFormulasBitForBit) {
  const std::vector<std::pair<double, double>> counts = {
      {0, 0},       {1, 1},       {2, 1},       {2, 2},     {3, 3},     {10, 7},      {200, 143},
      {4095, 4000}, {4096, 4095}, {5000, 4096}, {1e7, 3e5}, {2.5, 2.9}, {200, 142.5}, {-3, 2}};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> value(0, 50);
  for (const auto& [tok, typ] : counts) {
    for (double q : {0.0, 1.0, 2.0, 0.5}) {
      TPositionResults r;
      r.Q = q;
      for (M m : TMeasureSet::All()) r.Measures[m] = value(rng);
      r.Measures[M::vTokens] = tok;
      r.Measures[M::vTypes] = typ;
      if (rng() % 3 == 0) r.Measures[M::vCrossPerplexity] = 0;
      if (rng() % 3 == 0) r.Measures[M::vPerplexity] = 0;
      TAverages sums;
      sums.Add(r, {}, tMeasureSecondarySet::All());
      TMeasureSecondaryValues all{};
      r.SecondaryMetricsOf(tMeasureSecondarySet::All(), all);
      for (S s : tMeasureSecondarySet::All()) {
        const double want = PlainSecondary(r, s);
        EXPECT_TRUE(SameBits(all[s], want)) << static_cast<int>(s);
        EXPECT_TRUE(SameBits(r.SecondaryMetrics(s), want))
            << static_cast<int>(s) << " tok " << tok << " typ " << typ << " Q " << q;
        EXPECT_TRUE(SameBits(sums.MeasuresSecondary[s], 0.0 + want))
            << static_cast<int>(s) << " tok " << tok << " typ " << typ << " Q " << q;
      }
    }
  }
}

}  // namespace
}  // namespace tavora
