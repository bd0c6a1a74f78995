// Series values of degenerate windows checked against a fresh count of each window: the
// sliding update must give what a recount of the same window gives. Cases found by the
// differential check in tests/reference (run_measure_check.sh).

#include <gmock/gmock.h>

#include "engine/TReferenceDictionary.h"
#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAreArray;

class ReferenceSeries : public RunFixture {
 protected:
  // The series lines of one plain one-token-per-line document.
  std::vector<std::string> Series(const std::string& tokens, std::uint32_t lag, double q,
                                  TMeasureSet measures, tMeasureSecondarySet secondary,
                                  const std::string& referenceList = "",
                                  bool refContainsText = false) {
    TRun r;
    r.How = THow::JLines;
    r.CS = TCasesensitiveness::csCaseSensitive;
    r.OmitPunctuation = false;
    r.OmitDigits = false;
    r.Input = Lines({WriteInput("in.txt", tokens)});
    r.Lag = lag;
    r.Q = q;
    r.Measures = measures;
    r.Secondary = secondary;
    r.Outputs = TOutputTypeSet{TOutputType::outSerie};
    TReferenceDictionary list;
    if (!referenceList.empty()) {
      list.Load(WriteInput("list.tsv", referenceList));
      r.Reference[tWordOrLemma::tokWord] = &list;
    }
    TProcessTexts process(r.Locale);
    process.SetAutosemanticTags(r.Tags);
    process.Measure(r.How, r.Input, out_, r.IsWholeText, r.OmitPunctuation, r.OmitDigits, r.CS,
                    r.WoL, r.Measures, r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs, r.Q,
                    refContainsText);
    return ReadLines(out_ / ("Serie1Word" + std::to_string(lag) + ".csv"));
  }
};

// With Q = 0 the raw Hill's sum is the number of types of the window, so the Rényi entropy
// of order 0 is log2 of the window's types; a type absent before or after a step adds
// nothing to the sum (not 0^0 = 1).
TEST_F(ReferenceSeries, RenyiEntropyOfOrderZeroFollowsTheWindow) {
  const auto lines =
      Series("a\na\nb\nc\n", 2, 0.0, TMeasureSet{tMeasure::vTokens, tMeasure::vHillsContinuum},
             tMeasureSecondarySet{tMeasureSecondary::vRenyiEntropy});
  EXPECT_THAT(lines, ElementsAreArray<std::string>({
                         R"("Window id","Tokens","Hills Continuum","Rényi Entropy")",
                         R"("1","2","1.0","0.00")",
                         R"("2","2","2.0","1.00")",
                         R"("3","2","2.0","1.00")",
                     }));
}

// A window of one token has S = 0 in the full computation, so its first position's reverse
// repeat rate is 1/0 = Inf. The sliding update keeps S = 0 and reports 0 for S = 0, so every
// later position whose token differs from the leaving one gets 0.0; a repeated token changes
// nothing and keeps the previous value. This is the accepted behaviour of one-token windows
// (the reference check expects Inf throughout and reports these positions).
TEST_F(ReferenceSeries, ReverseRepeatRateOfOneTokenWindowsIsInfThenZero) {
  const auto lines = Series("a\nb\nb\nc\n", 1, 2.0, TMeasureSet{tMeasure::vTokens, tMeasure::vRRR},
                            tMeasureSecondarySet{});
  EXPECT_THAT(lines, ElementsAreArray<std::string>({
                         R"("Window id","Tokens","Reverse Repeat Rate")",
                         R"("1","1","Inf")",
                         R"("2","1","0.0")",
                         R"("3","1","0.0")",
                         R"("4","1","0.0")",
                     }));
}

// Hill's continuum of order 0 reports the window's types, which order 0 keeps up to date.
TEST_F(ReferenceSeries, HillsContinuumOfOrderZeroIsTheTypeCount) {
  const auto lines =
      Series("a\na\nb\nc\n", 2, 0.0, TMeasureSet{tMeasure::vTokens, tMeasure::vHillsContinuum},
             tMeasureSecondarySet{tMeasureSecondary::vLogTypes});
  EXPECT_THAT(lines, ElementsAreArray<std::string>({
                         R"("Window id","Tokens","Hills Continuum","Log Types")",
                         R"("1","2","1.0","0.00")",
                         R"("2","2","2.0","1.00")",
                         R"("3","2","2.0","1.00")",
                     }));
}

// The cross reverse repeat rate is L·T/K with K the integer sum of the window's reference
// counts: 7·15/4 = 26.25 exactly, written 26.2 (ties to even). Summing p·r in floating
// point gives 26.250000000000004 and so 26.3.
TEST_F(ReferenceSeries, CrossReverseRepeatRateIsExactForAnExactQuotient) {
  const auto lines =
      Series("x\ny\ny\ny\ny\ny\ny\n", 7, 2.0, TMeasureSet{tMeasure::vTokens, tMeasure::vCrossRRR},
             tMeasureSecondarySet{}, "x\t4\ny\t0\nz\t11\n");
  EXPECT_THAT(lines, ElementsAreArray<std::string>({
                         R"("Window id","Tokens","Cross Reverse Repeat Rate")",
                         R"("1","7","26.2")",
                     }));
}

// With the reference counts reduced by the window's own counts, the window below has
// K = -3 + 0 - 4 - 1 + 6 + 2 = 0, so its cross reverse repeat rate is Inf; a floating-point
// sum of p·r leaves a rounding residue and gives about 5.8e+17 instead.
TEST_F(ReferenceSeries, CrossReverseRepeatRateIsInfWhenTheReferenceSumIsZero) {
  const auto lines =
      Series("than\n7\n42\nthan\n7\nthan\n42\nthen\nabc\nabc\nthe\n", 11, 3.0,
             TMeasureSet{tMeasure::vTokens, tMeasure::vCrossRRR}, tMeasureSecondarySet{},
             "nowhere\t0\n7\t2\nthan\t2\nzzz\t0\nthen\t0\nabc\t5\t5\n"
             "the\t3\nAb\t36\t8\n42\t0\n",
             true);
  EXPECT_THAT(lines, ElementsAreArray<std::string>({
                         R"("Window id","Tokens","Cross Reverse Repeat Rate")",
                         R"("1","11","Inf")",
                     }));
}

}  // namespace
}  // namespace tavora::testing
