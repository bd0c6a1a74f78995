// The further indices of one 100,000-token document: the default set, every index, MTLD-MA
// alone (which walks from every start), and the count-based indices alone; a document whose
// TTR stays high for long stretches, where MTLD-MA's walks are longest; and a corpus of
// many small documents with and without vocd-D, whose random samples cost the same for
// every document of 50 tokens or more.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/TIndices.h"

namespace {

// Zipf-like words over `ranks` ranks.
std::vector<std::u16string> MakeWords(std::size_t tokens, double ranks) {
  std::mt19937 rng(42);
  std::vector<std::u16string> words;
  words.reserve(tokens);
  for (std::size_t i = 0; i < tokens; ++i) {
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
    auto rank = static_cast<unsigned>(std::exp(u * std::log(ranks)));
    std::u16string word;
    do {
      word += static_cast<char16_t>(u'a' + rank % 26);
      rank /= 26;
    } while (rank != 0);
    words.push_back(std::move(word));
  }
  return words;
}

void RunIndices(benchmark::State& state, tavora::TIndexSet which, double ranks) {
  const std::vector<std::u16string> words =
      MakeWords(static_cast<std::size_t>(state.range(0)), ranks);
  tavora::TIndices indices(which, 200);
  double sink = 0;
  for (auto _ : state) {
    indices.Clear();
    for (const std::u16string& w : words) indices.AddToken(w);
    const tavora::TIndexValues v = indices.Values();
    sink += v[tavora::tIndex::ixCTTR];
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_IndicesDefault(benchmark::State& state) {
  RunIndices(state, tavora::kDefaultIndices, 20000);
}
BENCHMARK(BM_IndicesDefault)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IndicesAll(benchmark::State& state) { RunIndices(state, tavora::TIndexSet::All(), 20000); }
BENCHMARK(BM_IndicesAll)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IndicesMtldMa(benchmark::State& state) {
  RunIndices(state, tavora::TIndexSet{tavora::tIndex::ixMTLDMA}, 20000);
}
BENCHMARK(BM_IndicesMtldMa)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IndicesCountsOnly(benchmark::State& state) {
  RunIndices(
      state,
      tavora::kDefaultIndices - tavora::TIndexSet{tavora::tIndex::ixMTLD, tavora::tIndex::ixMTLDMA,
                                                  tavora::tIndex::ixMSTTR},
      20000);
}
BENCHMARK(BM_IndicesCountsOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

// 100,000 tokens as 1,000 documents of 100 tokens, each cleared, fed and valued in turn.
void RunSmallDocuments(benchmark::State& state, tavora::TIndexSet which) {
  constexpr std::size_t kDocument = 100;
  const std::vector<std::u16string> words =
      MakeWords(static_cast<std::size_t>(state.range(0)), 20000);
  tavora::TIndices indices(which, 50);
  double sink = 0;
  for (auto _ : state) {
    for (std::size_t start = 0; start + kDocument <= words.size(); start += kDocument) {
      indices.Clear();
      for (std::size_t i = start; i < start + kDocument; ++i) indices.AddToken(words[i]);
      sink += indices.Values()[tavora::tIndex::ixCTTR];
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_IndicesSmallDocumentsDefault(benchmark::State& state) {
  RunSmallDocuments(state, tavora::kDefaultIndices);
}
BENCHMARK(BM_IndicesSmallDocumentsDefault)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IndicesSmallDocumentsWithVocd(benchmark::State& state) {
  RunSmallDocuments(state, tavora::kDefaultIndices | tavora::TIndexSet{tavora::tIndex::ixVocdD,
                                                                       tavora::tIndex::ixVocdD3});
}
BENCHMARK(BM_IndicesSmallDocumentsWithVocd)->Arg(100000)->Unit(benchmark::kMillisecond);

// A vocabulary of two million ranks keeps the TTR high, so factors are long.
void BM_IndicesMtldMaDiverse(benchmark::State& state) {
  RunIndices(state, tavora::TIndexSet{tavora::tIndex::ixMTLDMA}, 2e6);
}
BENCHMARK(BM_IndicesMtldMaDiverse)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
