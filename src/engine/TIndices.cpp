#include "engine/TIndices.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "base/NumberFormat.h"
#include "engine/TVocdD.h"

namespace tavora {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where a factor of MTLD ends, decided on integers so that no rounding decides it: the
// threshold is the fraction numerator / denominator in lowest terms, from its value to 6
// decimals (0.72 is 18 / 25).
class TFactorRule {
 public:
  TFactorRule(double threshold, TMtldRule rule)
      : minTokens_(rule == TMtldRule::mrBelowMinTen ? 10 : 0),
        slack_(rule == TMtldRule::mrBelowMinTen ? 0 : 1) {
    constexpr std::uint64_t kMillion = 1000000;
    const double millionths = std::round(threshold * static_cast<double>(kMillion));
    if (!(millionths >= 1 && millionths < static_cast<double>(kMillion)))
      throw std::invalid_argument("The MTLD threshold must lie between 0 and 1.");
    const auto n = static_cast<std::uint64_t>(millionths);
    const std::uint64_t common = std::gcd(n, kMillion);
    numerator_ = n / common;
    denominator_ = kMillion / common;
    threshold_ = static_cast<double>(numerator_) / static_cast<double>(denominator_);
  }
  // Whether a factor of this many types and tokens ends here: types / tokens <= or < the
  // threshold, the first as "< ... + 1" on integers.
  [[nodiscard]] bool Ends(std::uint64_t types, std::uint64_t tokens) const {
    return tokens >= minTokens_ && denominator_ * types < numerator_ * tokens + slack_;
  }
  // The same as a bound: a factor of this many tokens ends when its types are fewer.
  [[nodiscard]] std::uint64_t TypesBelow(std::uint64_t tokens) const {
    if (tokens < minTokens_) return 0;
    return (numerator_ * tokens + slack_ + denominator_ - 1) / denominator_;
  }
  [[nodiscard]] double Threshold() const { return threshold_; }

 private:
  std::uint64_t minTokens_, slack_;
  std::uint64_t numerator_ = 0, denominator_ = 1;
  double threshold_ = 0;
};

// The text forward or backward: element k of the walk.
struct TWalk {
  const std::vector<std::uint32_t>& ids;
  bool backward;
  [[nodiscard]] std::uint32_t operator[](std::size_t k) const {
    return backward ? ids[ids.size() - 1 - k] : ids[k];
  }
};

// N / factors in one direction; a last, incomplete factor counts as its share
// (1 - TTR) / (1 - threshold). NaN when nothing was counted.
double MtldDirection(const TWalk& walk, const TFactorRule& rule, std::vector<std::uint64_t>& mark) {
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
    if (rule.Ends(types, tokens)) {
      factors += 1;
      ++factor;
      tokens = types = 0;
    }
  }
  if (tokens > 0) {
    const double ttr = static_cast<double>(types) / static_cast<double>(tokens);
    factors += (1 - ttr) / (1 - rule.Threshold());
  }
  if (factors == 0) return kNaN;
  return static_cast<double>(n) / factors;
}

// Mean length of the factors that complete from every start position in one direction;
// NaN when none completes. Without wrap a factor ends with the text; with wrap it goes on
// from the text's start, up to N tokens. A walk stops early once its factor cannot
// complete any more: even if every remaining token repeated a type, the TTR would stay
// above the threshold.
template <bool wrap>
double MtldMaDirection(const TWalk& walk, const TFactorRule& rule,
                       std::vector<std::uint64_t>& mark) {
  const std::size_t n = walk.ids.size();
  std::fill(mark.begin(), mark.end(), 0);
  // A factor of t tokens ends with fewer than below[t] types.
  std::vector<std::uint64_t> below(n + 1);
  for (std::size_t t = 0; t <= n; ++t) below[t] = rule.TypesBelow(t);
  // Plain pointers: the stores to the marks cannot change them, so the loop keeps them in
  // registers.
  const std::uint32_t* const ids = walk.ids.data();
  const bool backward = walk.backward;
  std::uint64_t* const marks = mark.data();
  const std::uint64_t* const ends = below.data();
  double lengths = 0;
  std::uint64_t completed = 0;
  for (std::size_t start = 0; start < n; ++start) {
    const auto stamp = static_cast<std::uint64_t>(start + 1);
    const std::uint64_t room = wrap ? n : n - start;  // tokens the walk may take
    const std::uint64_t belowAtRoom = ends[room];
    std::uint64_t types = 0;
    for (std::size_t k = 0; k < room; ++k) {
      const std::size_t at = !wrap || start + k < n ? start + k : start + k - n;
      const std::uint32_t id = ids[backward ? n - 1 - at : at];
      if (marks[id] != stamp) {
        marks[id] = stamp;
        ++types;
      }
      if (types < ends[k + 1]) {
        lengths += static_cast<double>(k + 1);
        ++completed;
        break;
      }
      if (types >= belowAtRoom) break;
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

// The frequency spectrum: (i, V(i)) for every frequency i that occurs, rarest first.
using TSpectrum = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// ln C(a, k) - ln C(n, k), for a >= k.
double LogBinomialRatio(double a, double n, double k) {
  return std::lgamma(a + 1) - std::lgamma(a - (k - 1)) - std::lgamma(n + 1) +
         std::lgamma(n - (k - 1));
}

// Expected TTR of a random sample of `sample` tokens, from the frequency spectrum: the sum
// over types of the probability that the type occurs in the sample, divided by the sample.
double Hdd(const TSpectrum& spectrum, std::uint64_t n, std::uint64_t sample) {
  if (n < sample) return kNaN;
  const auto k = static_cast<double>(sample);
  double sum = 0;
  for (const auto& [f, typesWithF] : spectrum) {
    const std::uint64_t rest = n - f;
    const double absent =
        rest < sample
            ? 0.0
            : std::exp(LogBinomialRatio(static_cast<double>(rest), static_cast<double>(n), k));
    sum += static_cast<double>(typesWithF) * (1 - absent);
  }
  return sum / k;
}

double Log(double x, TLogBase base) {
  return base == TLogBase::lbDecimal ? std::log10(x) : std::log(x);
}

// What the count-based indices read: N, V, their logarithms in the chosen base, the
// spectrum and the sum of i^2 V(i).
struct TCounts {
  std::uint64_t tokens = 0;
  double N = 0, V = 0, logN = 0, logV = 0, squares = 0;
  TSpectrum spectrum;
};

TCounts CountsOf(const std::vector<std::uint64_t>& counts, std::uint64_t tokens, TLogBase base) {
  TCounts c;
  c.tokens = tokens;
  c.N = static_cast<double>(tokens);
  c.V = static_cast<double>(counts.size());
  c.logN = Log(c.N, base);
  c.logV = Log(c.V, base);
  std::vector<std::uint64_t> sorted(counts);
  std::sort(sorted.begin(), sorted.end());
  for (const std::uint64_t f : sorted) {
    if (c.spectrum.empty() || c.spectrum.back().first != f)
      c.spectrum.emplace_back(f, 1);
    else
      ++c.spectrum.back().second;
  }
  for (const auto& [f, typesWithF] : c.spectrum)
    c.squares += static_cast<double>(f) * static_cast<double>(f) * static_cast<double>(typesWithF);
  return c;
}

// Maas's log V0 in the given base: log V / sqrt(1 - (log V / log N)^2).
double LogV0(double N, double V, TLogBase base) {
  const double logV = Log(V, base), ratio = logV / Log(N, base);
  return logV / std::sqrt(1 - ratio * ratio);
}

// An index read from the counts alone.
double CountIndex(tIndex i, const TCounts& c, const TIndexVariants& variants) {
  const double N = c.N, V = c.V, logN = c.logN, logV = c.logV, squares = c.squares;
  switch (i) {
    case tIndex::ixHDD:
      return Hdd(c.spectrum, c.tokens, variants.HddSample);
    case tIndex::ixYuleK:
      return 1e4 * (squares - N) / (N * N);
    case tIndex::ixYuleI:
      return V * V / (squares - V);
    case tIndex::ixSimpsonD:
      return (squares - N) / (N * (N - 1));
    case tIndex::ixHerdanVm:
      return std::sqrt(squares / (N * N) - 1 / V);
    case tIndex::ixMaas:
      return (logN - logV) / (logN * logN);
    case tIndex::ixDugast:
      return logN * logN / (logN - logV);
    case tIndex::ixSummer:
      return Log(logV, variants.LogBase) / Log(logN, variants.LogBase);
    case tIndex::ixCTTR:
      return V / std::sqrt(2 * N);
    case tIndex::ixLgV0:
      return LogV0(N, V, TLogBase::lbDecimal);
    case tIndex::ixLgeV0:
      return LogV0(N, V, TLogBase::lbNatural);
    case tIndex::ixUber: {
      const double log10N = std::log10(N);
      return log10N * log10N / (log10N - std::log10(V));
    }
    default:
      return kNaN;
  }
}

// An index that walks the token sequence ids; mark holds one slot per type. rule is the
// chosen factor rule, belowMinTen the lexical_diversity package's.
double SequenceIndex(tIndex i, const std::vector<std::uint32_t>& ids, std::uint32_t lag,
                     const TFactorRule& rule, const TFactorRule& belowMinTen,
                     std::vector<std::uint64_t>& mark) {
  const TWalk forward{ids, false}, backward{ids, true};
  switch (i) {
    case tIndex::ixMTLD:
      if (ids.empty()) return kNaN;
      return (MtldDirection(forward, rule, mark) + MtldDirection(backward, rule, mark)) / 2;
    case tIndex::ixMTLDMA:
      return (MtldMaDirection<false>(forward, rule, mark) +
              MtldMaDirection<false>(backward, rule, mark)) /
             2;
    case tIndex::ixMTLDMABid:
      return (MtldMaDirection<false>(forward, belowMinTen, mark) +
              MtldMaDirection<false>(backward, belowMinTen, mark)) /
             2;
    case tIndex::ixMTLDMAWrap:
      return MtldMaDirection<true>(forward, belowMinTen, mark);
    case tIndex::ixMSTTR:
      return Msttr(ids, lag, mark);
    default:
      return kNaN;
  }
}

// The indices that walk the token sequence.
constexpr TIndexSet kSequenceIndices = {tIndex::ixMTLD, tIndex::ixMTLDMA, tIndex::ixMSTTR,
                                        tIndex::ixMTLDMAWrap, tIndex::ixMTLDMABid};
constexpr TIndexSet kVocdIndices = {tIndex::ixVocdD, tIndex::ixVocdD3};

}  // namespace

TIndices::TIndices(TIndexSet Indices, std::uint32_t LagLength, const TIndexVariants& Variants)
    : aIndices(Indices),
      aLagLength(LagLength),
      variants_(Variants),
      keepSequence_(!(Indices & kSequenceIndices).Empty()) {
  if (aLagLength == 0) throw std::invalid_argument("The window length must be at least 1.");
  if (variants_.HddSample == 0)
    throw std::invalid_argument("The sample of HD-D must hold at least 1 token.");
  (void)TFactorRule(variants_.MtldThreshold, variants_.MtldRule);  // checks the threshold
}

TIndexValues TIndices::Compute(const std::vector<std::u16string>& Tokens, TIndexSet Indices,
                               std::uint32_t LagLength, const TIndexVariants& Variants) {
  TIndices indices(Indices, LagLength, Variants);
  for (const std::u16string& token : Tokens) indices.AddToken(token);
  return indices.Values();
}

void TIndices::AddToken(std::u16string_view Token) { AddToken(Token, nullptr); }

void TIndices::AddToken(std::u16string_view Token, const TTypeIndex::THashed* Hashed) {
  if (Token.empty()) return;
  bool inserted = false;
  const std::uint32_t id =
      Hashed ? types_.FindOrInsert(Token, *Hashed, inserted) : types_.FindOrInsert(Token, inserted);
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

void TIndices::VocdValues(TIndexValues& v) const {
  // The tokens as type ids, grouped by type: the samples ignore the order of the text.
  std::vector<std::uint32_t> population;
  population.reserve(tokens_);
  for (std::uint32_t id = 0; id < counts_.size(); ++id)
    population.insert(population.end(), counts_[id], id);
  TVocdD vocd(std::move(population), counts_.size(), variants_.Seed);
  const int trials = aIndices.Contains(tIndex::ixVocdD3) ? 3 : 1;
  double sum = 0;
  for (int t = 0; t < trials; ++t) {
    const double d = vocd.NextTrial();
    if (t == 0) v[tIndex::ixVocdD] = d;
    sum += d;
  }
  if (aIndices.Contains(tIndex::ixVocdD3)) v[tIndex::ixVocdD3] = sum / trials;
  if (!aIndices.Contains(tIndex::ixVocdD)) v[tIndex::ixVocdD] = kNaN;
}

TIndexValues TIndices::Values() const {
  TIndexValues v;
  v.fill(kNaN);
  if (aIndices.Empty()) return v;

  const TCounts counts = CountsOf(counts_, tokens_, variants_.LogBase);
  std::vector<std::uint64_t> mark;
  if (keepSequence_) mark.resize(counts_.size());
  const TFactorRule rule(variants_.MtldThreshold, variants_.MtldRule);
  const TFactorRule belowMinTen(variants_.MtldThreshold, TMtldRule::mrBelowMinTen);
  for (const tIndex i : aIndices) {
    if (kSequenceIndices.Contains(i)) {
      v[i] = SequenceIndex(i, ids_, aLagLength, rule, belowMinTen, mark);
    } else if (!kVocdIndices.Contains(i)) {
      v[i] = CountIndex(i, counts, variants_);
    }
  }
  if (!(aIndices & kVocdIndices).Empty()) VocdValues(v);
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
