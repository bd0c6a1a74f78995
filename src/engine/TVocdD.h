#pragma once

// vocd-D of one text (Malvern & Richards): for every sample size N from 35 to 50 tokens,
// the mean TTR of 100 random samples drawn without replacement; then the D whose curve
// TTR = (D / N) (sqrt(1 + 2 N / D) - 1) fits these 16 means best by least squares. The
// samples come from TRandom, so a text and a seed always give the same D.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/TRandom.h"

namespace tavora {

class TVocdD {
 public:
  static constexpr std::uint32_t kSmallestSample = 35;
  static constexpr std::uint32_t kLargestSample = 50;
  static constexpr std::uint32_t kSamplesPerSize = 100;
  static constexpr std::size_t kSizes = kLargestSample - kSmallestSample + 1;

  // Population: the text's tokens as type ids below TypeCount, in any order (it is
  // reordered as samples are drawn). Seed: where the random sampling starts.
  TVocdD(std::vector<std::uint32_t> Population, std::size_t TypeCount, std::uint64_t Seed);

  // D of the next trial; trials drawn one after the other differ. NaN when the text has
  // fewer tokens than the largest sample.
  [[nodiscard]] double NextTrial();

  // The least-squares D for the mean TTRs of the sample sizes 35 to 50 (each in (0, 1]).
  // +Inf when every mean is 1: a larger D always fits better.
  [[nodiscard]] static double FitD(const std::array<double, kSizes>& MeanTtr);

 private:
  // Types in a sample of Size tokens drawn without replacement (a partial shuffle).
  std::uint32_t SampleTypes(std::uint32_t Size);

  std::vector<std::uint32_t> population_;
  std::vector<std::uint32_t> mark_;  // per type id: the last sample that held it
  std::uint32_t sample_ = 0;
  TRandom random_;
};

}  // namespace tavora
