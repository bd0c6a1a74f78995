// Values that do not fit where small corpora never look: counts beyond 2^31, Hill's orders
// whose sums underflow, distributions of far-off values, and memory that runs out.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#define TAVORA_HAS_RLIMIT 1
#endif

#include "engine/TReferenceDictionary.h"
#include "engine/TSimpleTTR.h"
#include "processing/RunFixture.h"
#include "processing/TTypeCounter.h"
#include "results/TIntervals.h"

namespace tavora {

// Sets whole-text counts that no test could feed token by token.
class TSimpleTTRTestAccess {
 public:
  static void SetCountInWholeText(TSimpleTTR& engine, std::u16string_view type, std::int64_t c) {
    const std::uint32_t id = engine.typeIndex_.Find(type);
    engine.aTotal.NumberOfTokens +=
        static_cast<std::uint64_t>(c - engine.counts_[id].CountInWholeText);
    engine.counts_[id].CountInWholeText = c;
  }
};

namespace testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using M = tMeasure;
using S = tMeasureSecondary;

constexpr std::uint64_t kBig = 3'000'000'000;  // over 2^31 and 2^32 - 2^30

class LargeValues : public RunFixture {};

// A list with a count over 2^31, as freqlist writes one: it loads, a run measures against
// it, and the counter of freqlist carries it through Save and Load.
TEST_F(LargeValues, ListCountsOverThirtyOneBitsLoadMeasureAndRoundTrip) {
  TReferenceDictionary list;
  list.Load(WriteInput("list.tsv", "\xEF\xBB\xBFthe\t3000000000\r\na\t5\r\n"));
  ASSERT_NE(list.Find(u"the"), nullptr);
  EXPECT_EQ(list.Find(u"the")->Count, kBig);
  EXPECT_EQ(list.TotalTokens, kBig + 5);

  TSimpleTTR engine(10, {M::vCrossRRR, M::vCrossPerplexity}, {}, 2, false, 0.5);
  engine.SetReferenceDictionary(&list);
  engine.AddToken(u"the", false);
  const TPositionResults whole = engine.WholeText();
  const double T = static_cast<double>(kBig + 5);
  EXPECT_DOUBLE_EQ(whole.Measures[M::vCrossRRR], T / static_cast<double>(kBig));
  EXPECT_DOUBLE_EQ(whole.Measures[M::vCrossPerplexity],
                   (T + 1) / (static_cast<double>(kBig) + 0.5));

  TTypeCounter counter;
  counter.Add(u"the", kBig);
  counter.Add(u"a");
  TReferenceDictionary made;
  counter.MoveInto(made);
  const fs::path saved = dir_ / "made.tsv";
  made.Save(saved);
  EXPECT_EQ(Read(saved), "\xEF\xBB\xBFthe\t3000000000\r\na\t1\r\n");
  TReferenceDictionary again;
  again.Load(saved);
  EXPECT_EQ(again.Find(u"the")->Count, kBig);
  EXPECT_EQ(again.TotalTokens, kBig + 1);
}

// A text with more than 2^31 tokens of one type: tokens, types and the ratios stay right
// (a 32-bit count wrapped to Tokens 1.8e19 and TTR 0.000).
TEST_F(LargeValues, WholeTextCountsOverThirtyOneBits) {
  TSimpleTTR engine(1000, {M::vTokens, M::vTypes, M::vHapax, M::vRRR, M::vLength},
                    {S::vTTR, S::vLogTTR}, 2, false, 0.5);
  engine.AddToken(u"the", false);
  engine.AddToken(u"cat", false);
  TSimpleTTRTestAccess::SetCountInWholeText(engine, u"the", static_cast<std::int64_t>(kBig));
  const TPositionResults r = engine.WholeText();
  const double N = static_cast<double>(kBig + 1);
  EXPECT_EQ(r.NumberOfTokens, kBig + 1);
  EXPECT_EQ(r.Measures[M::vTokens], N);
  EXPECT_EQ(r.Measures[M::vTypes], 2);
  EXPECT_EQ(r.Measures[M::vHapax], 1);
  EXPECT_DOUBLE_EQ(r.Measures[M::vRRR], N * N / (static_cast<double>(kBig) * kBig + 1));
  EXPECT_DOUBLE_EQ(r.Measures[M::vLength], 3);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vTTR), 2 / N);
  EXPECT_DOUBLE_EQ(r.SecondaryMetrics(S::vLogTTR), std::log(2.0) / std::log(N));
}

// ln of the sum of exp(keys), in long double.
long double LogSumExp(const std::vector<long double>& keys) {
  long double top = keys.front();
  for (const long double k : keys) top = std::max(top, k);
  long double sum = 0;
  for (const long double k : keys) sum += std::exp(k - top);
  return top + std::log(sum);
}

// Hill's numbers and Renyi entropies of every window and of the whole text at orders whose
// plain sums underflow (0.4^1000 is below the smallest double), against long double
// log-sum-exp over a fresh count of each window; with the reference list both when it does
// and when it does not contain the text.
TEST_F(LargeValues, HillsOrdersAboveTenMatchAHighPrecisionValue) {
  const std::u16string vocabulary[] = {u"a", u"b", u"c", u"d", u"e", u"f"};
  std::vector<std::u16string> tokens;
  for (std::uint32_t k = 0, x = 7; k < 80; ++k, x = x * 1103515245u + 12345u)
    tokens.push_back(vocabulary[((x >> 16) % 21) < 9 ? 0 : ((x >> 16) % 21) % 6]);
  TReferenceDictionary list;
  for (const auto& [type, count] : std::map<std::u16string, std::uint64_t>{
           {u"a", 900}, {u"b", 400}, {u"c", 300}, {u"d", 200}, {u"e", 100}, {u"f", 90}})
    list.Set(type, TCount(count, 1));
  list.TotalTokens = 1990;
  const long double T = 1990, V = 6, s = 0.5;
  constexpr std::uint32_t L = 12;

  for (const double q : {1000.0, 37.5}) {
    for (const bool rct : {false, true}) {
      TSimpleTTR engine(L, {M::vHillsContinuum, M::vCrossHillsContinuum},
                        {S::vRenyiEntropy, S::vRenyiCrossEntropy}, q, rct, 0.5);
      engine.SetReferenceDictionary(&list);
      auto check = [&](const TPositionResults& r, std::size_t first, std::size_t last) {
        std::map<std::u16string, long double> counts;
        for (std::size_t k = first; k < last; ++k) counts[tokens[k]] += 1;
        const long double n = static_cast<long double>(last - first);
        std::vector<long double> basic, cross;
        for (const auto& [type, c] : counts) {
          const TCount* listed = list.Find(type);
          const long double ref = (listed ? listed->Count : 0) - (rct ? c : 0);
          basic.push_back(q * std::log(c / n));
          cross.push_back(std::log(c / n) + (q - 1) * std::log((ref + s) / (T + V * s)));
        }
        const long double lnHill = LogSumExp(basic), lnCross = LogSumExp(cross);
        const double hill = static_cast<double>(std::exp(lnHill / (1 - q)));
        const double chill = static_cast<double>(std::exp(lnCross / (1 - q)));
        EXPECT_NEAR(r.BasicMetrics(M::vHillsContinuum), hill, hill * 1e-12) << q << " " << last;
        EXPECT_NEAR(r.BasicMetrics(M::vCrossHillsContinuum), chill, chill * 1e-12) << q << last;
        EXPECT_NEAR(r.SecondaryMetrics(S::vRenyiEntropy),
                    static_cast<double>(lnHill / std::log(2.0L) / (1 - q)), 1e-12);
        EXPECT_NEAR(r.SecondaryMetrics(S::vRenyiCrossEntropy),
                    static_cast<double>(lnCross / std::log(2.0L) / (1 - q)), 1e-12);
      };
      // Twice: the second text after Clear must find the cross sum empty again.
      for (int text = 0; text < 2; ++text) {
        if (text == 1) engine.Clear();
        for (std::size_t k = 0; k < tokens.size(); ++k) {
          engine.AddToken(tokens[k], false);
          if (k + 1 >= L) check(engine.Actual(), k + 1 - L, k + 1);
        }
        check(engine.WholeText(), 0, tokens.size());
      }
    }
  }
}

TEST_F(LargeValues, HillsOrdersOutsideTheirRangeAreRefused) {
  for (const double q : {-1.0, 1000000.5, std::nan("")}) {
    EXPECT_THAT([&] { TSimpleTTR engine(10, {M::vHillsContinuum}, {}, q, false, 0.5); },
                ThrowsMessage<std::invalid_argument>(HasSubstr("from 0 to 1000000")));
  }
  EXPECT_NO_THROW(TSimpleTTR(10, {M::vHillsContinuum}, {}, 1000000, false, 0.5));
}

// Far-off values cost no memory for the intervals between, and a distribution that would
// span more than kMaxRange intervals stops the run, naming the measure and the range.
TEST_F(LargeValues, DistributionsAreSparseAndTheirRangeIsBounded) {
  TIntervals d(1);
  d.SetName("\"Types\"");
  d.PridejKDistribuci(-3);
  d.PridejKDistribuci(TIntervals::kMaxRange - 4);
  d.PridejKDistribuci(TIntervals::kMaxRange - 4);
  EXPECT_EQ(d.GetCount(TIntervals::kMaxRange - 4), 2u);
  EXPECT_EQ(d.GetCount(-3), 1u);
  EXPECT_EQ(d.GetCount(1000), 0u);
  EXPECT_THAT([&] { d.PridejKDistribuci(TIntervals::kMaxRange - 3); },
              ThrowsMessage<std::runtime_error>(
                  HasSubstr("of \"Types\" would span 10000001 intervals, from -3 to 9999997")));

  // Cross types against a list of 10^9 tokens reach about 2 * 10^9.
  TReferenceDictionary list;
  list.Load(WriteInput("list.tsv", "the\t1000000000\n"));
  TRun r;
  r.Input = u"the cat sat";
  r.IsWholeText = true;
  r.Lag = 2;
  r.Measures = {M::vTokens, M::vCrossTypes};
  r.Secondary = {};
  r.Reference[tWordOrLemma::tokWord] = &list;
  r.Outputs = {TOutputType::outDistribution};
  EXPECT_THAT([&] { Measure(r); }, ThrowsMessage<std::runtime_error>(AllOf(
                                       HasSubstr("\"Cross Types\" of the word forms would span"),
                                       HasSubstr("Leave this measure out"))));
}

#if defined(TAVORA_HAS_RLIMIT) && !defined(__SANITIZE_ADDRESS__)
// Runs what in a child process whose address space may grow by only a few megabytes.
void WithLittleMemory(const std::function<void()>& what) {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  rlimit limit{};
  if (statm >> pages) {
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(pages) * 4096 + (16 << 20);
  } else {
    limit.rlim_cur = limit.rlim_max = rlim_t{1} << 30;  // no /proc: a gigabyte
  }
  setrlimit(RLIMIT_AS, &limit);
  try {
    what();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    std::exit(0);
  }
  std::exit(1);
}

// Memory that runs out while a list is loaded or a text read ends with a message naming it.
TEST_F(LargeValues, RunningOutOfMemoryNamesTheListOrTheInput) {
  std::string lines;
  for (int i = 0; lines.size() < (64 << 20); ++i) lines += "type" + std::to_string(i) + "\t1\n";
  const fs::path listFile = WriteInput("huge list.tsv", lines);
  EXPECT_EXIT(WithLittleMemory([&] { TReferenceDictionary().Load(listFile); }),
              ::testing::ExitedWithCode(0),
              "Not enough memory to load the frequency list .*huge list.tsv");

  std::string text(64 << 20, 'x');
  const fs::path textFile = WriteInput("one long word.txt", text);
  TRun r;
  r.Input = Lines({textFile});
  EXPECT_EXIT(WithLittleMemory([&] {
                TProcessTexts process;
                process.SetThreads(1);
                process.Measure(r.How, r.Input, out_, false, true, true, r.CS, r.WoL, r.Measures,
                                r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs, r.Q, false);
              }),
              ::testing::ExitedWithCode(0),
              "Not enough memory .*one long word.txt|one long word.txt.*not enough memory");
}
#endif

}  // namespace
}  // namespace testing
}  // namespace tavora
