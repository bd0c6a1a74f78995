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

// The values as the indices file writes them, one text per index of the default set in
// column order.
std::vector<std::string> Written(const TIndexValues& v) {
  std::vector<std::string> texts;
  for (const tIndex i : kDefaultIndices) texts.push_back(FormatFixed(v[i], IndexDigits(i)));
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

// ---- Variants of the definitions, each against a value worked out by hand ----

TIndexValues VariantValues(std::string_view letters, const TIndexVariants& variants,
                           TIndexSet which = TIndexSet::All() -
                                             TIndexSet{tIndex::ixVocdD, tIndex::ixVocdD3}) {
  std::vector<std::u16string> tokens;
  for (const char c : letters) tokens.emplace_back(1, static_cast<char16_t>(c));
  return TIndices::Compute(tokens, which, 3, variants);
}

TEST(TIndexVariants, DefaultsGiveTodaysValues) {
  EXPECT_EQ(Written(VariantValues("abacba", {})), Written(ValuesOf("abacba")));
  EXPECT_EQ(TIndices(kDefaultIndices, 3).GetVariants(), TIndexVariants{});
}

TEST(TIndexVariants, MtldThreshold) {
  // "a a" ends a factor at TTR 0.5, "b" is a rest of TTR 1; backward "b a a" never falls to
  // 0.5 and is a rest of TTR 2/3, which counts (1 - 2/3) / (1 - 0.5) of a factor.
  TIndexVariants half;
  half.MtldThreshold = 0.5;
  EXPECT_DOUBLE_EQ(VariantValues("aab", half)[tIndex::ixMTLD], (3.0 + 3 / (2.0 / 3)) / 2);
  EXPECT_DOUBLE_EQ(VariantValues("aab", {})[tIndex::ixMTLD], 3.0);  // "b a a" ends at 2/3
  half.MtldThreshold = 0;
  EXPECT_THROW(TIndices(kDefaultIndices, 3, half), std::invalid_argument);
}

TEST(TIndexVariants, MtldRuleBelowWithTenTokens) {
  // Eleven a's and a b. Forward the factor ends at 10 tokens (not at "a a"), the rest
  // "a b" has TTR 1; backward "b a...a" ends at 10 tokens too, the rest "a a" has TTR 1/2.
  TIndexVariants ten;
  ten.MtldRule = TMtldRule::mrBelowMinTen;
  const TIndexValues v = VariantValues("aaaaaaaaaaab", ten);
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLD], (12.0 + 12 / (1 + 0.5 / 0.28)) / 2);
  // Under the default rule "a a" is a factor: five forward, then the rest "a b"; backward
  // "b a a" and four "a a", then the rest "a".
  EXPECT_DOUBLE_EQ(VariantValues("aaaaaaaaaaab", {})[tIndex::ixMTLD], 12.0 / 5);
  // MTLD-MA under this rule is the bidirectional MTLD-MA of the lexical_diversity package.
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLDMA], v[tIndex::ixMTLDMABid]);
}

TEST(TIndexVariants, HddSample) {
  // Two of "a a b": "a a" with probability 1/3 (TTR 1/2), else TTR 1.
  TIndexVariants two;
  two.HddSample = 2;
  EXPECT_DOUBLE_EQ(VariantValues("aab", two)[tIndex::ixHDD], 1.0 / 6 + 2.0 / 3);
  two.HddSample = 4;
  EXPECT_TRUE(std::isnan(VariantValues("aab", two)[tIndex::ixHDD]));
  two.HddSample = 0;
  EXPECT_THROW(TIndices(kDefaultIndices, 3, two), std::invalid_argument);
}

TEST(TIndexVariants, DecimalLogarithms) {
  // N = 6, V = 3; Herdan's Vm has no logarithm.
  TIndexVariants decimal;
  decimal.LogBase = TLogBase::lbDecimal;
  const TIndexValues v = VariantValues("abacba", decimal);
  const double lgN = std::log10(6.0), lgV = std::log10(3.0);
  EXPECT_DOUBLE_EQ(v[tIndex::ixMaas], std::log10(2.0) / (lgN * lgN));
  EXPECT_DOUBLE_EQ(v[tIndex::ixDugast], lgN * lgN / std::log10(2.0));
  EXPECT_DOUBLE_EQ(v[tIndex::ixSummer], std::log10(lgV) / std::log10(lgN));
  EXPECT_EQ(Written(v)[8], "0.4971");  // ln 10 times the natural Maas a² (0.2159)
  EXPECT_EQ(Written(v)[10], "2.9501");
  EXPECT_DOUBLE_EQ(v[tIndex::ixHerdanVm], ValuesOf("abacba")[tIndex::ixHerdanVm]);
}

// ---- The later indices ----

TEST(TIndices, MaasLogV0AndUber) {
  // N = 6, V = 3: log V / log N = 0.6131 in either base.
  const TIndexValues v = VariantValues("abacba", {});
  const double r = std::log10(3.0) / std::log10(6.0);
  EXPECT_DOUBLE_EQ(v[tIndex::ixLgV0], std::log10(3.0) / std::sqrt(1 - r * r));
  EXPECT_DOUBLE_EQ(v[tIndex::ixLgeV0], std::log(3.0) / std::sqrt(1 - r * r));
  EXPECT_DOUBLE_EQ(v[tIndex::ixUber], std::log10(6.0) * std::log10(6.0) / std::log10(2.0));
  EXPECT_EQ(FormatFixed(v[tIndex::ixLgV0], 4), "0.6040");
  EXPECT_EQ(FormatFixed(v[tIndex::ixLgeV0], 4), "1.3907");
  EXPECT_EQ(FormatFixed(v[tIndex::ixUber], 2), "2.01");
  // Uber is Dugast's U in decimal logarithms.
  TIndexVariants decimal;
  decimal.LogBase = TLogBase::lbDecimal;
  EXPECT_DOUBLE_EQ(VariantValues("abacba", decimal)[tIndex::ixDugast], v[tIndex::ixUber]);
  // All tokens distinct: V = N divides by 0; one token: 0 / 0.
  const TIndexValues distinct = VariantValues("abc", {});
  EXPECT_EQ(FormatFixed(distinct[tIndex::ixUber], 2), "Inf");
  EXPECT_EQ(FormatFixed(distinct[tIndex::ixLgV0], 4), "Inf");
  for (const tIndex i : {tIndex::ixUber, tIndex::ixLgV0, tIndex::ixLgeV0})
    EXPECT_TRUE(std::isnan(VariantValues("a", {})[i]));
  EXPECT_DOUBLE_EQ(VariantValues("aa", {})[tIndex::ixLgV0], 0.0);  // V = 1
}

// Factors of the lexical_diversity package's rule: TTR below 0.72 with 10 tokens or more.
TEST(TIndices, MtldMaBidirectionalAndWrapped) {
  // a b c d e f g h a a b b c c. Forward, the starts 0 to 2 complete at 12 tokens (8 types;
  // 8 / 11 is not below 0.72), start 4 at 10 (7 types), start 3 and the starts past 4 run
  // out of text. Backward (c c b b a a h ...), start 0 completes at 10, starts 1 and 2 at
  // 12, the rest run out.
  const TIndexValues v = VariantValues("abcdefghaabbcc", {});
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLDMABid], (46.0 / 4 + 34.0 / 3) / 2);
  // Wrapped, every start completes: at 12 tokens from the starts 0 to 3, 12 and 13, whose
  // factors hold 8 types, at 10 from the others.
  EXPECT_DOUBLE_EQ(v[tIndex::ixMTLDMAWrap], (6 * 12.0 + 8 * 10.0) / 14);
  // A text of period 9: any 13 tokens hold the 9 types (9 / 13 < 0.72 < 9 / 12).
  const TIndexValues periodic = VariantValues("abcdefghiabcdefghi", {});
  EXPECT_DOUBLE_EQ(periodic[tIndex::ixMTLDMABid], 13.0);
  EXPECT_DOUBLE_EQ(periodic[tIndex::ixMTLDMAWrap], 13.0);
  // Fewer than 10 tokens: no factor completes.
  EXPECT_TRUE(std::isnan(VariantValues("aaaaaaaaa", {})[tIndex::ixMTLDMABid]));
  EXPECT_TRUE(std::isnan(VariantValues("aaaaaaaaa", {})[tIndex::ixMTLDMAWrap]));
  // The threshold applies: at 0.85, 9 types end a factor at 11 tokens (9 / 11 < 0.85).
  TIndexVariants higher;
  higher.MtldThreshold = 0.85;
  EXPECT_DOUBLE_EQ(VariantValues("abcdefghiabcdefghi", higher)[tIndex::ixMTLDMAWrap], 11.0);
}

TEST(IndexVocabulary, CaptionsAndDigits) {
  const std::vector<std::u16string_view> captions = {
      u"MTLD",         u"MTLD-MA",     u"HD-D",        u"MSTTR",
      u"Yule's K",     u"Yule's I",    u"Simpson's D", u"Herdan's Vm",
      u"Maas a\u00B2", u"Dugast U",    u"Summer S",    u"CTTR",
      u"MTLD-MA wrap", u"MTLD-MA bid", u"vocd-D",      u"vocd-D (3 trials)",
      u"Maas lgV0",    u"Maas lgeV0",  u"Uber U"};
  ASSERT_EQ(captions.size(), kIndexCount);
  const TIndexSet two = {tIndex::ixMTLD,  tIndex::ixDugast, tIndex::ixYuleK, tIndex::ixCTTR,
                         tIndex::ixVocdD, tIndex::ixVocdD3, tIndex::ixUber};
  for (std::size_t i = 0; i < kIndexCount; ++i) {
    const auto index = static_cast<tIndex>(i);
    EXPECT_EQ(IndexCaption(index), captions[i]);
    EXPECT_EQ(IndexDigits(index), two.Contains(index) ? 2 : 4) << i;
    EXPECT_EQ(kDefaultIndices.Contains(index), i < 12) << i;
  }
}

}  // namespace
}  // namespace tavora::testing
