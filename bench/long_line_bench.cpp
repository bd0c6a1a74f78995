// One line of N MiB without any break, read as one item in each line-based format. Time per
// byte must stay flat as N grows (linear reading; no rescan of the growing item).
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "input/TTokenizationStream.h"

namespace {

void ReadOneLongLine(benchmark::State& state, tavora::THow how) {
  const std::string text(static_cast<std::size_t>(state.range(0)) << 20, 'a');
  for (auto _ : state) {
    std::istringstream in(text, std::ios::binary);
    tavora::TTokenizationStream stream(how);
    stream.LoadFromStream(in);
    std::size_t units = 0;
    while (tavora::TToken* token = stream.ReadToken()) units += token->GetWord().size();
    benchmark::DoNotOptimize(units);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.SetComplexityN(state.range(0));
}

BENCHMARK_CAPTURE(ReadOneLongLine, Lines, tavora::THow::JLines)
    ->RangeMultiplier(4)
    ->Range(4, 64)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(ReadOneLongLine, Words, tavora::THow::JStandard)
    ->RangeMultiplier(4)
    ->Range(4, 64)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(ReadOneLongLine, Bnc, tavora::THow::jBNC)
    ->RangeMultiplier(4)
    ->Range(4, 64)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
