#include "engine/TIndices.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "base/NumberFormat.h"

namespace tavora {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A factor of MTLD ends when its TTR falls to 0.72 or below: types / tokens <= 18 / 25,
// tested on integers so that no rounding decides it.
constexpr bool FactorEnds(std::uint64_t types, std::uint64_t tokens) {
  return 25 * types <= 18 * tokens;
}

// The text forward or backward: element k of the walk.
struct TWalk {
  const std::vector<std::uint32_t>& ids;
  bool backward;
  [[nodiscard]] std::uint32_t operator[](std::size_t k) const {
    return backward ? ids[ids.size() - 1 - k] : ids[k];
  }
};

// N / factors in one direction; a last, incomplete factor counts as its share
// (1 - TTR) / (1 - 0.72). NaN when nothing was counted.
double MtldDirection(const TWalk& walk, std::vector<std::uint64_t>& mark) {
  const std::size_t n = walk.ids.size();
  std::fill(mark.begin(), mark.end(), 0);
  std::uint64_t factor = 1;  // marks types seen in the current factor
  std::uint64_t tokens = 0, types = 0;
  double factors = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint32_t id = walk[k];
    ++tokens;
    if (mark[id] != factor) {
      mark[id] = factor;
      ++types;
    }
    if (FactorEnds(types, tokens)) {
      factors += 1;
      ++factor;
      tokens = types = 0;
    }
  }
  if (tokens > 0) {
    const double ttr = static_cast<double>(types) / static_cast<double>(tokens);
    factors += (1 - ttr) / (1 - 0.72);
  }
  if (factors == 0) return kNaN;
  return static_cast<double>(n) / factors;
}

// Mean length of the factors that complete from every start position in one direction;
// NaN when none completes. A walk stops early once its factor cannot complete any more:
// even if every remaining token repeated a type, the TTR would stay above 0.72.
double MtldMaDirection(const TWalk& walk, std::vector<std::uint64_t>& mark) {
  const std::size_t n = walk.ids.size();
  std::fill(mark.begin(), mark.end(), 0);
  double lengths = 0;
  std::uint64_t completed = 0;
  for (std::size_t start = 0; start < n; ++start) {
    const auto stamp = static_cast<std::uint64_t>(start + 1);
    const std::uint64_t room = n - start;  // tokens from start to the end
    std::uint64_t types = 0;
    for (std::size_t k = start; k < n; ++k) {
      const std::uint32_t id = walk[k];
      if (mark[id] != stamp) {
        mark[id] = stamp;
        ++types;
      }
      const std::uint64_t tokens = k - start + 1;
      if (FactorEnds(types, tokens)) {
        lengths += static_cast<double>(tokens);
        ++completed;
        break;
      }
      if (!FactorEnds(types, room)) break;
    }
  }
  return lengths / static_cast<double>(completed);
}

// Mean TTR of the consecutive segments of length L; a last partial segment is left out.
double Msttr(const std::vector<std::uint32_t>& ids, std::uint32_t L,
             std::vector<std::uint64_t>& mark) {
  const std::size_t segments = ids.size() / L;
  if (segments == 0) return kNaN;
  std::fill(mark.begin(), mark.end(), 0);
  double sum = 0;
  for (std::size_t s = 0; s < segments; ++s) {
    const auto stamp = static_cast<std::uint64_t>(s + 1);
    std::uint64_t types = 0;
    for (std::size_t k = s * L; k < (s + 1) * L; ++k) {
      if (mark[ids[k]] != stamp) {
        mark[ids[k]] = stamp;
        ++types;
      }
    }
    sum += static_cast<double>(types) / L;
  }
  return sum / static_cast<double>(segments);
}

// ln C(a, 42) - ln C(n, 42), for a >= 42.
double LogBinomialRatio(double a, double n) {
  return std::lgamma(a + 1) - std::lgamma(a - 41) - std::lgamma(n + 1) + std::lgamma(n - 41);
}

// Expected TTR of a random sample of 42 tokens, from the frequency spectrum: the sum over
// types of the probability that the type occurs in the sample, divided by 42.
double Hdd(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& spectrum, std::uint64_t n) {
  constexpr std::uint64_t kSample = 42;
  if (n < kSample) return kNaN;
  double sum = 0;
  for (const auto& [f, typesWithF] : spectrum) {
    const std::uint64_t rest = n - f;
    const double absent =
        rest < kSample
            ? 0.0
            : std::exp(LogBinomialRatio(static_cast<double>(rest), static_cast<double>(n)));
    sum += static_cast<double>(typesWithF) * (1 - absent);
  }
  return sum / static_cast<double>(kSample);
}

}  // namespace

TIndices::TIndices(TIndexSet Indices, std::uint32_t LagLength)
    : aIndices(Indices),
      aLagLength(LagLength),
      keepSequence_(Indices.Contains(tIndex::ixMTLD) || Indices.Contains(tIndex::ixMTLDMA) ||
                    Indices.Contains(tIndex::ixMSTTR)) {
  if (aLagLength == 0) throw std::invalid_argument("The window length must be at least 1.");
}

void TIndices::AddToken(std::u16string_view Token) {
  if (Token.empty()) return;
  bool inserted = false;
  const std::uint32_t id = types_.FindOrInsert(Token, inserted);
  if (inserted) counts_.push_back(0);
  ++counts_[id];
  ++tokens_;
  if (keepSequence_) ids_.push_back(id);
}

void TIndices::Clear() {
  types_.Clear();
  counts_.clear();
  ids_.clear();
  tokens_ = 0;
}

TIndexValues TIndices::Values() const {
  TIndexValues v;
  v.fill(kNaN);
  if (aIndices.Empty()) return v;

  const auto N = static_cast<double>(tokens_);
  const auto V = static_cast<double>(counts_.size());
  // The frequency spectrum: (i, V(i)) for every frequency i that occurs.
  std::vector<std::uint64_t> sorted(counts_);
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::pair<std::uint64_t, std::uint64_t>> spectrum;
  for (const std::uint64_t f : sorted) {
    if (spectrum.empty() || spectrum.back().first != f)
      spectrum.emplace_back(f, 1);
    else
      ++spectrum.back().second;
  }
  // Sum of i^2 V(i), the sum of the squared frequencies.
  double squares = 0;
  for (const auto& [f, typesWithF] : spectrum)
    squares += static_cast<double>(f) * static_cast<double>(f) * static_cast<double>(typesWithF);

  std::vector<std::uint64_t> mark;
  if (keepSequence_) mark.resize(counts_.size());
  const double lnN = std::log(N);
  const double lnV = std::log(V);
  for (const tIndex i : aIndices) {
    double& value = v[i];
    switch (i) {
      case tIndex::ixMTLD:
        value = tokens_ == 0
                    ? kNaN
                    : (MtldDirection({ids_, false}, mark) + MtldDirection({ids_, true}, mark)) / 2;
        break;
      case tIndex::ixMTLDMA:
        value = (MtldMaDirection({ids_, false}, mark) + MtldMaDirection({ids_, true}, mark)) / 2;
        break;
      case tIndex::ixHDD:
        value = Hdd(spectrum, tokens_);
        break;
      case tIndex::ixMSTTR:
        value = Msttr(ids_, aLagLength, mark);
        break;
      case tIndex::ixYuleK:
        value = 1e4 * (squares - N) / (N * N);
        break;
      case tIndex::ixYuleI:
        value = V * V / (squares - V);
        break;
      case tIndex::ixSimpsonD:
        value = (squares - N) / (N * (N - 1));
        break;
      case tIndex::ixHerdanVm:
        value = std::sqrt(squares / (N * N) - 1 / V);
        break;
      case tIndex::ixMaas:
        value = (lnN - lnV) / (lnN * lnN);
        break;
      case tIndex::ixDugast:
        value = lnN * lnN / (lnN - lnV);
        break;
      case tIndex::ixSummer:
        value = std::log(lnV) / std::log(lnN);
        break;
      case tIndex::ixCTTR:
        value = V / std::sqrt(2 * N);
        break;
    }
  }
  return v;
}

void TIndices::AppendToLine(std::u16string& out, std::u16string_view sep,
                            std::u16string_view uv) const {
  const TIndexValues v = Values();
  for (const tIndex i : aIndices) {
    out += sep;
    out += uv;
    AppendFixed(out, v[i], IndexDigits(i));
    out += uv;
  }
}

}  // namespace tavora
