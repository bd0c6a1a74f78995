// The window shift must reproduce a plain recomputation of every window.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/TSimpleTTR.h"

namespace tavora {
namespace {

using M = tMeasure;

double PlainLevenshteinRelative(const std::u16string& a, const std::u16string& b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j)
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
  const double longer = static_cast<double>(std::max(a.size(), b.size()));
  return longer == 0 ? 0 : d[a.size()][b.size()] / longer;
}

struct Window {
  std::vector<std::u16string> tokens;
  std::vector<bool> autosemantic;
};

// What a recount of one window gives beside the reported values: the raw Hill's
// sum, and the values that are ratios of integer sums as one division of the
// exact sums (N^2 / sum of c^2, N T / sum of c ref, sum of lengths / N,
// autosemantic tokens / N), which the engine must match bit for bit.
struct Recount {
  double rawHill = 0;
  std::map<M, double> exact;
};

// Reported values of all thirteen measures over one window, from the formulas.
std::map<M, double> Fresh(const Window& w, const TReferenceDictionary* list, double q, double s,
                          Recount* recount = nullptr) {
  std::map<std::u16string, int> counts;
  for (const auto& t : w.tokens) ++counts[t];
  const double n = static_cast<double>(w.tokens.size());
  double types = 0, hapax = 0, perp = 1, sumSq = 0, hill = 0, length = 0;
  double crossTypes = 0, crossPerp = 1, crossX = 0, crossHill = 0, difference = 0;
  std::int64_t squares = 0, lengths = 0, crossK = 0;
  const bool cross = list != nullptr && list->TotalTokens > 0;
  const double T = cross ? static_cast<double>(list->TotalTokens) : 0;
  const double V = cross ? static_cast<double>(list->Size()) : 0;
  for (const auto& [type, c] : counts) {
    const double p = c / n;
    types += 1;
    if (c == 1) hapax += 1;
    perp *= std::pow(p, -p);
    sumSq += p * p;
    hill += std::pow(p, q);
    const TCount* listed = list != nullptr ? list->Find(type) : nullptr;
    length +=
        c * (listed ? static_cast<double>(listed->TokLength) : static_cast<double>(type.size()));
    squares += std::int64_t{c} * c;
    lengths += c * (listed ? static_cast<std::int64_t>(listed->TokLength)
                           : static_cast<std::int64_t>(type.size()));
    if (listed) crossK += c * static_cast<std::int64_t>(listed->Count);
    if (cross) {
      const double ref = listed ? listed->Count : 0;
      const double rhat = (ref + s) / (T + V * s);
      crossTypes += p / rhat;
      crossPerp *= std::pow(rhat, -p);
      crossX += p * ref / T;
      crossHill += p * std::pow(rhat, q - 1);
    }
    for (const auto& [other, c2] : counts)
      difference += p * (c2 / n) * PlainLevenshteinRelative(type, other);
  }
  auto hillsNumber = [&](double sum, double atZero, double atOne) {
    if (q == 0) return atZero;
    if (q == 1) return atOne;
    return std::pow(sum, 1 / (1 - q));
  };
  const double autos =
      static_cast<double>(std::count(w.autosemantic.begin(), w.autosemantic.end(), true));
  if (recount != nullptr) {
    recount->rawHill = hill;
    recount->exact[M::vRRR] = n * n / static_cast<double>(squares);
    recount->exact[M::vLength] = static_cast<double>(lengths) / n;
    recount->exact[M::vAutosemantics] = autos / n;
    if (cross) recount->exact[M::vCrossRRR] = crossK == 0 ? INFINITY : n * T / crossK;
  }
  std::map<M, double> r;
  r[M::vTokens] = n;
  r[M::vTypes] = types;
  r[M::vHapax] = hapax;
  r[M::vPerplexity] = perp;
  r[M::vRRR] = 1 / sumSq;
  r[M::vHillsContinuum] = hillsNumber(hill, types, perp);
  r[M::vCrossTypes] = cross ? crossTypes : 0;
  r[M::vCrossPerplexity] = cross ? crossPerp : 0;
  r[M::vCrossRRR] = cross ? 1 / crossX : 0;
  r[M::vCrossHillsContinuum] = cross ? hillsNumber(crossHill, crossTypes, crossPerp) : 0;
  r[M::vLength] = length / n;
  r[M::vDifference] = difference;
  r[M::vAutosemantics] = autos / n;
  return r;
}

bool Close(double got, double want) {
  if (std::isinf(want) || std::isinf(got)) return got == want;
  if (std::fabs(want) < 1e-9) return std::fabs(got - want) <= 1e-12;
  return std::fabs(got - want) <= 1e-9 * std::fabs(want);
}

TEST(TSimpleTTRProperty, ShiftEqualsAFreshComputationAtEveryPosition) {
  const std::vector<std::u16string> vocabulary = {
      u"a", u"ab", u"house", u"mouse", u"m\u00FCller", u"x", u"xyzzy", u"b", u"hous", u"q"};
  std::mt19937 rng(20240601);
  int checked = 0;
  for (int round = 0; round < 160; ++round) {
    const std::uint32_t L = 2 + rng() % 29;  // 2 .. 30
    const double q = static_cast<double>(round % 4);
    const bool withList = (round / 4) % 2 == 1;
    const std::size_t vocabSize = 2 + rng() % (vocabulary.size() - 1);
    TReferenceDictionary list;
    if (withList) {
      // Only some types are listed, so windows pass between listed and unlisted ones.
      for (std::size_t i = 0; i < vocabSize; ++i)
        if (rng() % 3 != 0) list.Set(vocabulary[i], TCount(rng() % 40, 1 + rng() % 6));
      list.Set(u"unused", TCount(5, 6));
      for (const auto& [type, c] : list) list.TotalTokens += c.Count;
    }
    const TMeasureSet all = TMeasureSet::All();
    TSimpleTTR engine(L, all, {}, q, false, 0.5);
    engine.SetReferenceDictionary(&list);

    // A skewed stream so that types repeat and hapaxes come and go.
    std::geometric_distribution<std::size_t> pick(0.35);
    Window window;
    Window text;
    const std::size_t length = L + 60 + rng() % 60;
    for (std::size_t k = 0; k < length; ++k) {
      const std::u16string& token = vocabulary[std::min(pick(rng), vocabSize - 1)];
      const bool autosemantic = rng() % 2 == 0;
      engine.AddToken(token, autosemantic);
      window.tokens.push_back(token);
      window.autosemantic.push_back(autosemantic);
      text.tokens.push_back(token);
      text.autosemantic.push_back(autosemantic);
      if (window.tokens.size() > L) {
        window.tokens.erase(window.tokens.begin());
        window.autosemantic.erase(window.autosemantic.begin());
      }
      if (window.tokens.size() < L) continue;
      Recount recount;
      const auto fresh = Fresh(window, withList ? &list : nullptr, q, 0.5, &recount);
      for (const auto& [m, want] : fresh) {
        const double got = engine.Actual().BasicMetrics(m);
        ASSERT_TRUE(Close(got, want))
            << "measure " << static_cast<int>(m) << " L " << L << " Q " << q << " list " << withList
            << " token " << k << ": got " << got << " want " << want;
        ++checked;
      }
      // The raw sum, which the Renyi entropies read; at Q = 0 it is the type count.
      const double rawHill = engine.Actual().Measures[M::vHillsContinuum];
      ASSERT_TRUE(Close(rawHill, recount.rawHill))
          << "raw Hill's sum L " << L << " Q " << q << " token " << k << ": got " << rawHill
          << " want " << recount.rawHill;
      if (q == 0) {
        ASSERT_EQ(rawHill, engine.Actual().Measures[M::vTypes]) << "token " << k;
      }
      for (const auto& [m, want] : recount.exact)
        ASSERT_EQ(engine.Actual().Measures[m], want) << "measure " << static_cast<int>(m) << " L "
                                                     << L << " list " << withList << " token " << k;
    }
    // The whole text: the same exact ratios over all its tokens.
    Recount whole;
    Fresh(text, withList ? &list : nullptr, q, 0.5, &whole);
    const TPositionResults wholeText = engine.WholeText();
    for (const auto& [m, want] : whole.exact)
      ASSERT_EQ(wholeText.Measures[m], want) << "whole text, measure " << static_cast<int>(m);
  }
  EXPECT_GT(checked, 100000);
}

// vDifference keeps a table of pairwise distances for windows of up to 1024
// tokens and compares with the whole window beyond that; both must follow a
// plain recomputation, also across Clear and when a type enters as it leaves.
TEST(TSimpleTTRProperty, DifferenceFollowsAFreshComputationForShortAndLongWindows) {
  const std::vector<std::u16string> vocabulary = {u"a",    u"ab",          u"house", u"mouse",
                                                  u"hous", u"m\u00FCller", u"xyzzy", u"b"};
  std::mt19937 rng(77);
  for (std::uint32_t L : {1u, 2u, 7u, 1024u, 1025u, 1100u}) {
    TSimpleTTR engine(L, {M::vDifference, M::vTypes}, {}, 2, false, 0.5);
    for (int text = 0; text < 2; ++text) {
      engine.Clear();
      std::geometric_distribution<std::size_t> pick(L < 10 ? 0.6 : 0.3);
      Window window;
      const std::size_t length = L + 40;
      for (std::size_t k = 0; k < length; ++k) {
        const std::u16string& token = vocabulary[std::min(pick(rng), vocabulary.size() - 1)];
        engine.AddToken(token, false);
        window.tokens.push_back(token);
        window.autosemantic.push_back(false);
        if (window.tokens.size() > L) {
          window.tokens.erase(window.tokens.begin());
          window.autosemantic.erase(window.autosemantic.begin());
        }
        if (window.tokens.size() < L) continue;
        const double want = Fresh(window, nullptr, 2, 0.5).at(M::vDifference);
        ASSERT_TRUE(Close(engine.Actual().Measures[M::vDifference], want))
            << "L " << L << " text " << text << " token " << k << ": got "
            << engine.Actual().Measures[M::vDifference] << " want " << want;
      }
    }
  }
}

// The whole-text vDifference shares its rows out to threads: the value is the same bit for
// bit on any number of them and follows a plain recomputation. A progress hook that throws
// stops it part-way, and the engine computes the same value afterwards.
TEST(TSimpleTTRProperty, WholeTextDifferenceIsTheSameOnAnyThreadsAndStopsWhenAsked) {
  std::mt19937 rng(5);
  std::vector<std::u16string> vocabulary(600);
  for (std::u16string& word : vocabulary)
    for (std::size_t k = 0, n = 1 + rng() % 9; k < n; ++k)
      word += static_cast<char16_t>(k % 3 == 2 ? u'\u00E9' + rng() % 3 : u'a' + rng() % 5);
  Window text;
  for (int k = 0; k < 1500; ++k) {
    text.tokens.push_back(vocabulary[rng() % vocabulary.size()]);
    text.autosemantic.push_back(false);
  }
  const double want = Fresh(text, nullptr, 2, 0.5).at(M::vDifference);
  std::vector<double> got;
  for (const unsigned threads : {1u, 2u, 7u}) {
    TSimpleTTR engine(40, {M::vDifference}, {}, 2, false, 0.5);
    engine.SetPairThreads(threads);
    for (const std::u16string& token : text.tokens) engine.AddToken(token, false);
    got.push_back(engine.WholeText().Measures[M::vDifference]);
    EXPECT_EQ(got.back(), got.front()) << threads << " threads";

    // Reports after every row of the calling thread; alone, it is stopped after two rows.
    // With helpers, which may take every row, it is stopped at the report that starts it.
    const int stopAt = threads == 1 ? 3 : 1;
    int calls = 0;
    std::uint64_t done = 0, total = 0;
    engine.SetPairProgress(
        [&](std::uint64_t d, std::uint64_t t) {
          done = d;
          total = t;
          if (++calls == stopAt) throw std::runtime_error("stop");
        },
        std::chrono::milliseconds(0));
    EXPECT_THROW((void)engine.WholeText(), std::runtime_error);
    EXPECT_EQ(calls, stopAt);
    if (threads == 1) {
      EXPECT_GT(done, 0u);
      EXPECT_LT(done, total);
    }
    engine.SetPairProgress({});
    EXPECT_EQ(engine.WholeText().Measures[M::vDifference], got.front());
  }
  EXPECT_TRUE(Close(got.front(), want)) << got.front() << " want " << want;
}

}  // namespace
}  // namespace tavora
