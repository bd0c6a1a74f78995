#include "engine/TVocdD.h"

#include <gmock/gmock.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/NumberFormat.h"
#include "engine/TIndices.h"

namespace tavora::testing {
namespace {

constexpr TIndexSet kVocd = {tIndex::ixVocdD, tIndex::ixVocdD3};

// The curve of the model: TTR of a sample of n tokens for a given D.
double ModelTtr(double n, double d) { return d / n * (std::sqrt(1 + 2 * n / d) - 1); }

std::vector<std::u16string> Words(std::size_t n, auto type) {
  std::vector<std::u16string> words;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string digits = std::to_string(type(i));
    words.emplace_back(digits.begin(), digits.end());
  }
  return words;
}

TIndexValues VocdOf(const std::vector<std::u16string>& words, std::uint64_t seed = 42) {
  TIndexVariants variants;
  variants.Seed = seed;
  return TIndices::Compute(words, kVocd, 10, variants);
}

TEST(TVocdD, FitRecoversTheDOfTheModelCurve) {
  for (const double d : {0.5, 5.0, 61.25, 800.0, 1e5}) {
    std::array<double, TVocdD::kSizes> ttr{};
    for (std::size_t k = 0; k < ttr.size(); ++k) ttr[k] = ModelTtr(35.0 + k, d);
    EXPECT_NEAR(TVocdD::FitD(ttr), d, d * 1e-9) << d;
  }
  std::array<double, TVocdD::kSizes> ones{};
  ones.fill(1.0);
  EXPECT_EQ(TVocdD::FitD(ones), std::numeric_limits<double>::infinity());
}

TEST(TVocdD, ExtremeAndShortTexts) {
  // Every sample of distinct tokens has TTR 1: no finite D fits as well as a larger one.
  const TIndexValues distinct = VocdOf(Words(300, [](std::size_t i) { return i; }));
  EXPECT_EQ(distinct[tIndex::ixVocdD], std::numeric_limits<double>::infinity());
  EXPECT_EQ(FormatFixed(distinct[tIndex::ixVocdD3], 2), "Inf");
  // One type: every sample has TTR 1 / N, fitted by D of about 1 / (2 N).
  const TIndexValues same = VocdOf(Words(80, [](std::size_t) { return 7; }));
  EXPECT_GT(same[tIndex::ixVocdD], 0.0);
  EXPECT_LT(same[tIndex::ixVocdD], 0.02);
  // Fewer tokens than the largest sample.
  const TIndexValues shortText = VocdOf(Words(49, [](std::size_t i) { return i % 5; }));
  EXPECT_TRUE(std::isnan(shortText[tIndex::ixVocdD]));
  EXPECT_TRUE(std::isnan(shortText[tIndex::ixVocdD3]));
}

// A text and a seed give one value on every platform: the generator and the sampling are
// Tavora's own, the fit uses only correctly rounded operations.
TEST(TVocdD, TheSeedFixesTheValue) {
  const auto words = Words(400, [](std::size_t i) { return (i * i + 3 * i) % 97 % 61; });
  const TIndexValues first = VocdOf(words), again = VocdOf(words);
  EXPECT_EQ(first[tIndex::ixVocdD], again[tIndex::ixVocdD]);
  EXPECT_EQ(first[tIndex::ixVocdD3], again[tIndex::ixVocdD3]);
  EXPECT_EQ(FormatFixed(first[tIndex::ixVocdD], 6), "19.522446");
  EXPECT_EQ(FormatFixed(first[tIndex::ixVocdD3], 6), "19.640486");
  // The first of the three trials is vocd-D alone; another seed draws other samples.
  EXPECT_EQ(TIndices::Compute(words, TIndexSet{tIndex::ixVocdD}, 10)[tIndex::ixVocdD],
            first[tIndex::ixVocdD]);
  const double other = VocdOf(words, 43)[tIndex::ixVocdD];
  EXPECT_NE(other, first[tIndex::ixVocdD]);
  EXPECT_NEAR(other, first[tIndex::ixVocdD], first[tIndex::ixVocdD] * 0.1);
}

}  // namespace
}  // namespace tavora::testing
