#include "engine/TRandom.h"

namespace tavora {

namespace {

constexpr std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// The 128-bit product a * b as its high and low halves, from 32-bit pieces.
void Multiply(std::uint64_t a, std::uint64_t b, std::uint64_t& high, std::uint64_t& low) {
  const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
  const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
  const std::uint64_t ll = aLow * bLow, lh = aLow * bHigh, hl = aHigh * bLow, hh = aHigh * bHigh;
  const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
  low = (middle << 32) | (ll & 0xFFFFFFFFu);
  high = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
}

}  // namespace

TRandom::TRandom(std::uint64_t Seed) {
  for (std::uint64_t& word : s_) word = SplitMix64(Seed);
}

std::uint64_t TRandom::Next() {
  const std::uint64_t result = RotateLeft(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = RotateLeft(s_[3], 45);
  return result;
}

std::uint64_t TRandom::Below(std::uint64_t Bound) {
  // The high half of Next() * Bound is uniform once the low halves below 2^64 mod Bound
  // are rejected.
  std::uint64_t high = 0, low = 0;
  Multiply(Next(), Bound, high, low);
  if (low < Bound) {
    const std::uint64_t threshold = (0 - Bound) % Bound;
    while (low < threshold) Multiply(Next(), Bound, high, low);
  }
  return high;
}

}  // namespace tavora
