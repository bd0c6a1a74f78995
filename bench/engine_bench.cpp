// Throughput of the moving-window engine on a seeded Zipf-distributed stream.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/TReferenceDictionary.h"
#include "engine/TSimpleTTR.h"

namespace {

using tavora::tMeasure;
using tavora::tMeasureSecondary;
using tavora::tMeasureSecondarySet;
using tavora::TMeasureSet;
using tavora::TReferenceDictionary;
using tavora::TSimpleTTR;

constexpr std::size_t kVocabulary = 50000;
constexpr std::size_t kTokens = 1000000;
constexpr std::uint32_t kWindow = 200;

// Word-like strings of 2 to 9 letters, distinct per rank.
std::vector<std::u16string> MakeVocabulary() {
  std::vector<std::u16string> words;
  words.reserve(kVocabulary);
  std::mt19937 rng(11);
  for (std::size_t i = 0; i < kVocabulary; ++i) {
    std::u16string w;
    for (std::size_t n = i;; n /= 20) {
      w.push_back(static_cast<char16_t>(u'a' + n % 20));
      if (n < 20) break;
    }
    while (w.size() < 2 + rng() % 8) w.push_back(static_cast<char16_t>(u'a' + rng() % 26));
    w.push_back(u'0' + static_cast<char16_t>(i % 10));  // keeps padded words distinct
    words.push_back(std::move(w));
  }
  return words;
}

// Ranks drawn with probability proportional to 1 / rank.
std::vector<std::u16string_view> ZipfStream(const std::vector<std::u16string>& words,
                                            std::size_t count, unsigned seed) {
  std::vector<double> cdf(words.size());
  double sum = 0;
  for (std::size_t r = 0; r < words.size(); ++r) cdf[r] = sum += 1.0 / static_cast<double>(r + 1);
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0, sum);
  std::vector<std::u16string_view> stream;
  stream.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    auto it = std::upper_bound(cdf.begin(), cdf.end(), u(rng));
    stream.push_back(words[std::min<std::size_t>(it - cdf.begin(), words.size() - 1)]);
  }
  return stream;
}

// The stream as a reader hands it over: token texts back to back in one
// buffer, read in order (views into it), not scattered over the vocabulary.
std::vector<std::u16string_view> Contiguous(const std::vector<std::u16string_view>& tokens,
                                            std::u16string& buffer) {
  std::size_t total = 0;
  for (auto t : tokens) total += t.size();
  buffer.reserve(total);
  for (auto t : tokens) buffer.append(t);
  std::vector<std::u16string_view> views;
  views.reserve(tokens.size());
  std::size_t offset = 0;
  for (auto t : tokens) {
    views.push_back(std::u16string_view(buffer).substr(offset, t.size()));
    offset += t.size();
  }
  return views;
}

struct Data {
  std::vector<std::u16string> words = MakeVocabulary();
  std::u16string text;
  std::vector<std::u16string_view> stream = Contiguous(ZipfStream(words, kTokens, 42), text);
  TReferenceDictionary reference;
  Data() {
    for (auto t : ZipfStream(words, 2 * kTokens, 7)) reference.AddToken(t);
  }
};

const Data& Shared() {
  static const Data data;
  return data;
}

void Run(benchmark::State& state, TMeasureSet measures, tMeasureSecondarySet secondary,
         bool withReference, std::size_t tokens, double q = 2) {
  const Data& data = Shared();
  TSimpleTTR engine(kWindow, measures, secondary, q, false, 0.5);
  if (withReference) engine.SetReferenceDictionary(&data.reference);
  tokens = std::min(tokens, data.stream.size());
  for (auto _ : state) {
    engine.Clear();
    for (std::size_t k = 0; k < tokens; ++k) engine.AddToken(data.stream[k], (k & 3) == 0);
    benchmark::DoNotOptimize(engine.Total());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * tokens));
}

void BM_TypesPerplexityTTR(benchmark::State& state) {
  Run(state, {tMeasure::vTypes, tMeasure::vPerplexity}, {tMeasureSecondary::vTTR}, false, kTokens);
}

void BM_AllButDifferenceWithReference(benchmark::State& state) {
  Run(state, TMeasureSet::All().Exclude(tMeasure::vDifference), tMeasureSecondarySet::All(), true,
      kTokens);
}

void BM_AllBasicButDifferenceWithReference(benchmark::State& state) {
  Run(state, TMeasureSet::All().Exclude(tMeasure::vDifference), {}, true, kTokens);
}

// Hill's sums kept scaled (orders above 10), against their plain form at Q = 2.
void BM_HillsAtQ(benchmark::State& state) {
  Run(state, {tMeasure::vHillsContinuum, tMeasure::vCrossHillsContinuum}, {}, true, kTokens,
      static_cast<double>(state.range(0)));
}

void BM_DifferenceOnly(benchmark::State& state) {
  Run(state, {tMeasure::vDifference}, {}, false, 50000);
}

BENCHMARK(BM_TypesPerplexityTTR)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllButDifferenceWithReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllBasicButDifferenceWithReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HillsAtQ)->Arg(2)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferenceOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
