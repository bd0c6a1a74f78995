#include "engine/TIndices.h"

#include <gmock/gmock.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/NumberFormat.h"

namespace tavora::testing {
namespace {

// Values of every index for a text of one-letter tokens ("abacba").
TIndexValues ValuesOf(std::string_view letters, std::uint32_t lag = 3,
                      TIndexSet which = TIndexSet::All()) {
  TIndices indices(which, lag);
  for (const char c : letters) indices.AddToken(std::u16string(1, static_cast<char16_t>(c)));
  return indices.Values();
}

// The values as the indices file writes them, one text per index in column order.
std::vector<std::string> Written(const TIndexValues& v) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < kIndexCount; ++i)
    texts.push_back(FormatFixed(v[i], IndexDigits(static_cast<tIndex>(i))));
  return texts;
}

// a b a c b a: N = 6, V = 3, frequencies 3, 2, 1, sum of squares 14.
TEST(TIndices, HandComputedSmallText) {
  const TIndexValues v = ValuesOf("abacba");
  // MTLD: forward "aba" is one factor, "cba" a rest of TTR 1; backward "abcab" and "a".
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLD], 6.0);
  // MTLD-MA: forward factors of 3 and 5 tokens; backward 5, 5 and 3.
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLDMA], (4.0 + 13.0 / 3) / 2);
  EXPECT_TRUE(std::isnan(v[tIndex::ixHDD]));
  EXPECT_DOUBLE_EQ(v[tIndex::ixMSTTR], (2.0 / 3 + 1.0) / 2);
  EXPECT_DOUBLE_EQ(v[tIndex::ixYuleK], 1e4 * 8 / 36);
  EXPECT_DOUBLE_EQ(v[tIndex::ixYuleI], 9.0 / 11);
  EXPECT_DOUBLE_EQ(v[tIndex::ixSimpsonD], 8.0 / 30);
  EXPECT_NEAR(v[tIndex::ixHerdanVm], std::sqrt(14.0 / 36 - 1.0 / 3), 1e-15);
  EXPECT_DOUBLE_EQ(v[tIndex::ixMaas], std::log(2.0) / (std::log(6.0) * std::log(6.0)));
  EXPECT_DOUBLE_EQ(v[tIndex::ixDugast], std::log(6.0) * std::log(6.0) / std::log(2.0));
  EXPECT_DOUBLE_EQ(v[tIndex::ixSummer], std::log(std::log(3.0)) / std::log(std::log(6.0)));
  EXPECT_DOUBLE_EQ(v[tIndex::ixCTTR], 3 / std::sqrt(12.0));
  EXPECT_THAT(Written(v),
              ::testing::ElementsAre("6.00", "4.1667", "NaN", "0.8333", "2222.22", "0.8182",
                                     "0.2667", "0.2357", "0.2159", "4.63", "0.1613", "0.87"));
  // MSTTR leaves out the last partial segment.
  EXPECT_DOUBLE_EQ(ValuesOf("abacba", 4)[tIndex::ixMSTTR], 0.75);
}

TEST(TIndices, OneRepeatedType) {
  EXPECT_THAT(Written(ValuesOf("aaaa", 2)),
              ::testing::ElementsAre("2.00", "2.0000", "NaN", "0.5000", "7500.00", "0.0667",
                                     "1.0000", "0.0000", "0.7213", "1.39", "-Inf", "0.35"));
  // One token: every ratio of logarithms is 0/0.
  EXPECT_THAT(Written(ValuesOf("a", 1)),
              ::testing::ElementsAre("NaN", "NaN", "NaN", "1.0000", "0.00", "Inf", "NaN", "0.0000",
                                     "NaN", "NaN", "NaN", "0.71"));
}

TEST(TIndices, EmptyTextIsUndefinedEverywhere) {
  for (const std::string& text : Written(ValuesOf(""))) EXPECT_EQ(text, "NaN");
}

// Texts shorter than the sample of HD-D or than the window; texts whose TTR never falls.
TEST(TIndices, ShortAndAllDistinctTexts) {
  const TIndexValues distinct = ValuesOf("abcdef", 10);
  EXPECT_TRUE(std::isnan(distinct[tIndex::ixMTLD]));    // no factor in either direction
  EXPECT_TRUE(std::isnan(distinct[tIndex::ixMTLDMA]));  // no factor completes
  EXPECT_TRUE(std::isnan(distinct[tIndex::ixMSTTR]));   // N < L
  EXPECT_TRUE(std::isnan(distinct[tIndex::ixHDD]));     // N < 42
  EXPECT_EQ(FormatFixed(distinct[tIndex::ixYuleI], 4), "Inf");
  EXPECT_EQ(FormatFixed(distinct[tIndex::ixDugast], 2), "Inf");
  EXPECT_DOUBLE_EQ(distinct[tIndex::ixMaas], 0.0);
  EXPECT_DOUBLE_EQ(ValuesOf("abcdef", 6)[tIndex::ixMSTTR], 1.0);
}

// Factors counted by hand in both directions.
TEST(TIndices, MtldCountsFactorsBothWays) {
  struct Case {
    std::string_view text;
    double forward, backward;
  };
  const Case cases[] = {
      // "aa" | "bcdb" rest of TTR 3/4; backward "bdcbaa" is one factor.
      {"aabcdb", 6 / (1 + 0.25 / 0.28), 6.0},
      // "aa" | "bcd" rest of TTR 1; backward "dcbaa" rest of TTR 4/5.
      {"aabcd", 5.0, 5 / (0.2 / 0.28)},
      // "aba" | "bcdcd" | "e"; backward "edcdc" | "bab" | "a".
      {"ababcdcde", 4.5, 4.5},
      {"aaaa", 2.0, 2.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(ValuesOf(c.text)[tIndex::ixMTLD], (c.forward + c.backward) / 2, 1e-12) << c.text;
  }
  EXPECT_EQ(FormatFixed(ValuesOf("aabcdb")[tIndex::ixMTLD], 2), "4.58");
}

// HD-D: every type of a text of 42 distinct tokens is in the sample; with 42 types of two
// tokens each, a type is missed with probability C(82, 42) / C(84, 42) = 42 * 41 / (84 * 83).
TEST(TIndices, HddFromTheHypergeometricDistribution) {
  TIndices distinct(TIndexSet{tIndex::ixHDD}, 10);
  TIndices doubled(TIndexSet{tIndex::ixHDD}, 10);
  for (int i = 0; i < 42; ++i) {
    const std::u16string word = u"w" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    distinct.AddToken(word);
    doubled.AddToken(word);
    doubled.AddToken(word);
  }
  EXPECT_NEAR(distinct.Values()[tIndex::ixHDD], 1.0, 1e-12);
  EXPECT_NEAR(doubled.Values()[tIndex::ixHDD], 1 - 42.0 * 41 / (84.0 * 83), 1e-12);
  TIndices shortText(TIndexSet{tIndex::ixHDD}, 10);
  for (int i = 0; i < 41; ++i) shortText.AddToken(u"x");
  EXPECT_TRUE(std::isnan(shortText.Values()[tIndex::ixHDD]));
}

TEST(TIndices, EmptyTokensAreIgnoredAndClearStartsAnew) {
  TIndices indices(TIndexSet::All(), 3);
  for (const std::u16string_view t : {u"a", u"", u"b", u"a", u""}) indices.AddToken(t);
  EXPECT_EQ(indices.NumberOfTokens(), 3u);
  EXPECT_EQ(indices.NumberOfTypes(), 2u);
  indices.Clear();
  EXPECT_EQ(indices.NumberOfTokens(), 0u);
  for (const char c : std::string("abacba")) indices.AddToken(std::u16string(1, c));
  EXPECT_EQ(Written(indices.Values()), Written(ValuesOf("abacba")));
}

// Only the chosen indices are computed and written, in column order.
TEST(TIndices, LineHoldsTheChosenIndices) {
  TIndices indices(TIndexSet{tIndex::ixCTTR, tIndex::ixMTLD, tIndex::ixYuleK}, 3);
  for (const char c : std::string("abacba")) indices.AddToken(std::u16string(1, c));
  std::u16string line;
  indices.AppendToLine(line, u",", u"\"");
  EXPECT_EQ(line, u",\"6.00\",\"2222.22\",\"0.87\"");
  EXPECT_TRUE(std::isnan(indices.Values()[tIndex::ixHDD]));
  EXPECT_THROW(TIndices(TIndexSet::All(), 0), std::invalid_argument);
}

TEST(IndexVocabulary, CaptionsAndDigits) {
  const std::vector<std::u16string_view> captions = {
      u"MTLD",        u"MTLD-MA",     u"HD-D",         u"MSTTR",    u"Yule's K", u"Yule's I",
      u"Simpson's D", u"Herdan's Vm", u"Maas a\u00B2", u"Dugast U", u"Summer S", u"CTTR"};
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    const auto index = static_cast<tIndex>(i);
    EXPECT_EQ(IndexCaption(index), captions[i]);
    const bool two = index == tIndex::ixMTLD || index == tIndex::ixDugast ||
                     index == tIndex::ixYuleK || index == tIndex::ixCTTR;
    EXPECT_EQ(IndexDigits(index), two ? 2 : 4) << i;
  }
}

}  // namespace
}  // namespace tavora::testing
