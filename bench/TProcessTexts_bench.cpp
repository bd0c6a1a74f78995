// Throughput of a whole measurement run and of frequency-list preparation over a
// generated plain text (Zipf-like vocabulary), every result family written.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "processing/TProcessTexts.h"

namespace {

namespace fs = std::filesystem;

std::u16string MakeText(std::size_t tokens) {
  std::mt19937 rng(42);
  std::u16string text;
  for (std::size_t i = 0; i < tokens; ++i) {
    // Rank r with probability about 1/r over 20000 ranks.
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
    auto rank = static_cast<unsigned>(std::exp(u * std::log(20000.0)));
    std::u16string word;
    do {
      word += static_cast<char16_t>(u'a' + rank % 26);
      rank /= 26;
    } while (rank != 0);
    if (i % 17 == 0) word[0] = static_cast<char16_t>(word[0] - u'a' + u'A');
    text += word;
    text += i % 12 == 11 ? u". " : u" ";
  }
  return text;
}

void BM_Measure(benchmark::State& state) {
  const std::u16string text = MakeText(static_cast<std::size_t>(state.range(0)));
  const fs::path out = fs::temp_directory_path() / "tavora_bench_measure";
  tavora::TProcessTexts process;
  for (auto _ : state) {
    process.Measure(tavora::THow::JStandard, text, out, true, true, true,
                    tavora::TCasesensitiveness::csCaseInsensitive,
                    tavora::TWordOrLemmaSet{tavora::tWordOrLemma::tokWord},
                    tavora::TMeasureSet{tavora::tMeasure::vTypes, tavora::tMeasure::vHapax,
                                        tavora::tMeasure::vPerplexity, tavora::tMeasure::vLength},
                    tavora::tMeasureSecondarySet{tavora::tMeasureSecondary::vTTR,
                                                 tavora::tMeasureSecondary::vEntropy},
                    {}, 200, {}, tavora::TOutputTypeSet::All(), 2.0, false);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  fs::remove_all(out);
}
BENCHMARK(BM_Measure)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_PrepareDictionary(benchmark::State& state) {
  const std::u16string text = MakeText(static_cast<std::size_t>(state.range(0)));
  const fs::path out = fs::temp_directory_path() / "tavora_bench_list.tsv";
  tavora::TProcessTexts process;
  for (auto _ : state) {
    auto lists =
        process.PrepareDictionary(tavora::THow::JStandard, text, out, out, true, true, true,
                                  tavora::TCasesensitiveness::csCaseInsensitive,
                                  tavora::TWordOrLemmaSet{tavora::tWordOrLemma::tokWord}, {});
    benchmark::DoNotOptimize(lists);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  fs::remove(out);
}
BENCHMARK(BM_PrepareDictionary)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
