#pragma once

// A small seeded random generator whose sequence depends on the seed only, on every
// platform and compiler: xoshiro256** (Blackman & Vigna), its state filled by SplitMix64
// from the seed, and uniform integers drawn by multiplication with rejection (Lemire).
// Nothing here uses the standard library's distributions, whose output is not fixed.

#include <cstdint>

namespace tavora {

class TRandom {
 public:
  explicit TRandom(std::uint64_t Seed);

  // The next 64 random bits.
  std::uint64_t Next();
  // A uniform integer in [0, Bound); Bound must be at least 1.
  std::uint64_t Below(std::uint64_t Bound);

 private:
  std::uint64_t s_[4];
};

}  // namespace tavora
