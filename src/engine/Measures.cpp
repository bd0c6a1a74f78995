#include "engine/Measures.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "base/NumberFormat.h"
#include "engine/Power.h"

namespace tavora {

namespace {

constexpr std::array<std::u16string_view, kMeasureCount> kMeasureCaptions = {
    u"Tokens",
    u"Types",
    u"Hapax",
    u"Perplexity",
    u"Reverse Repeat Rate",
    u"Hills Continuum",
    u"Cross Types",
    u"Cross Perplexity",
    u"Cross Reverse Repeat Rate",
    u"Cross Hills Continuum",
    u"Token Length",
    u"Differrence",
    u"Autosemantics",
};

constexpr std::array<std::u16string_view, kMeasureSecondaryCount> kMeasureSecondaryCaptions = {
    u"TTR",
    u"LogTTR",
    u"RootTTR",
    u"Entropy",
    u"Cross Entropy",
    u"Relative Entropy",
    u"Repeat Rate",
    u"Cross Repeat Rate",
    u"LogLogTTR",
    u"LogLogLogTTR",
    u"Relative Perplexity",
    u"Relative Types",
    u"Log Types",
    u"Log Relative Types",
    u"R\u00E9nyi Entropy",
    u"R\u00E9nyi Cross Entropy",
    u"R\u00E9nyi Relative Entropy",
};

constexpr std::array<std::string_view, kMeasureCount> kMeasureNames = {
    "tokens",        "types",      "hapax",       "perplexity",
    "rrr",           "hill",       "cross-types", "cross-perplexity",
    "cross-rrr",     "cross-hill", "length",      "difference",
    "autosemantics",
};

constexpr std::array<std::string_view, kMeasureSecondaryCount> kMeasureSecondaryNames = {
    "ttr",
    "log-ttr",
    "root-ttr",
    "entropy",
    "cross-entropy",
    "relative-entropy",
    "repeat-rate",
    "cross-repeat-rate",
    "loglog-ttr",
    "logloglog-ttr",
    "relative-perplexity",
    "relative-types",
    "log-types",
    "log-relative-types",
    "renyi-entropy",
    "renyi-cross-entropy",
    "renyi-relative-entropy",
};

constexpr std::array<int, kMeasureCount> kPositionDigits = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 4, 4, 4};
constexpr std::array<int, kMeasureCount> kAverageDigits = {1, 1, 1, 1, 1, 4, 1, 1, 1, 1, 4, 4, 4};
constexpr std::array<int, kMeasureSecondaryCount> kSecondaryDigits = {3, 3, 3, 2, 2, 2, 4, 4, 4,
                                                                      4, 2, 2, 2, 2, 2, 2, 2};

double Log2(double x) { return std::log(x) / std::log(2.0); }

// Hill's number from a raw sum times e^scale, with the stored values that stand in at Q
// 0 and 1.
double HillsNumber(double sum, double scale, double q, double atZero, double atOne) {
  if (sum <= 0) return 0;
  if (q == 0) return atZero;
  if (q == 1) return atOne;
  if (scale == 0) return Power(sum, 1.0 / (1.0 - q));
  return std::exp((std::log(sum) + scale) / (1.0 - q));
}

std::int64_t RoundToEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

template <typename TRecord>
void AppendRow(const TRecord& r, std::u16string& out, std::u16string_view sep,
               std::u16string_view uv, TMeasureSet basic, tMeasureSecondarySet secondary,
               bool average, TPrecision precision) {
  for (tMeasure m : basic) {
    out.append(sep);
    out.append(uv);
    AppendNumber(out, r.BasicMetrics(m),
                 average ? MeasureAverageDigits(m) : MeasurePositionDigits(m), precision);
    out.append(uv);
  }
  for (tMeasureSecondary s : secondary) {
    out.append(sep);
    out.append(uv);
    AppendNumber(out, r.SecondaryMetrics(s), MeasureSecondaryDigits(s), precision);
    out.append(uv);
  }
}

}  // namespace

std::u16string_view MeasureCaption(tMeasure m) {
  return kMeasureCaptions[static_cast<std::size_t>(m)];
}
std::u16string_view MeasureSecondaryCaption(tMeasureSecondary m) {
  return kMeasureSecondaryCaptions[static_cast<std::size_t>(m)];
}
std::string_view MeasureName(tMeasure m) { return kMeasureNames[static_cast<std::size_t>(m)]; }
std::string_view MeasureSecondaryName(tMeasureSecondary m) {
  return kMeasureSecondaryNames[static_cast<std::size_t>(m)];
}
int MeasurePositionDigits(tMeasure m) { return kPositionDigits[static_cast<std::size_t>(m)]; }
int MeasureAverageDigits(tMeasure m) { return kAverageDigits[static_cast<std::size_t>(m)]; }
int MeasureSecondaryDigits(tMeasureSecondary m) {
  return kSecondaryDigits[static_cast<std::size_t>(m)];
}

std::string HillsQRangeMessage(double Q) {
  char text[32];
  const auto length =
      static_cast<std::size_t>(std::to_chars(text, text + sizeof text, Q).ptr - text);
  return "Hill's Q must be a number from 0 to 1000000, not " + std::string(text, length) + ".";
}

TMeasureSet WidenMeasureSet(TMeasureSet m, tMeasureSecondarySet s, double q) {
  using enum tMeasure;
  using S = tMeasureSecondary;
  if (s.Contains(S::vTTR) || s.Contains(S::vLogTTR) || s.Contains(S::vRootTTR))
    m.Include(vTokens).Include(vTypes);
  if (s.Contains(S::vEntropy)) m.Include(vPerplexity);
  if (s.Contains(S::vCrossEntropy)) m.Include(vCrossPerplexity);
  if (s.Contains(S::vRelativeEntropy)) m.Include(vPerplexity).Include(vCrossPerplexity);
  if (s.Contains(S::vRelativePerplexity)) m.Include(vPerplexity).Include(vCrossPerplexity);
  if (s.Contains(S::vRepeatRate)) m.Include(vRRR);
  if (s.Contains(S::vCrossRepeatRate)) m.Include(vCrossRRR);
  if (m.Contains(vHillsContinuum)) {
    if (q == 0) {
      m.Include(vTypes);
    } else if (q == 1) {
      m.Include(vPerplexity);
    }
  }
  if (m.Contains(vCrossHillsContinuum)) {
    if (q == 0) {
      m.Include(vCrossTypes);
    } else if (q == 1) {
      m.Include(vCrossPerplexity);
    }
  }
  return m;
}

// ---- TPositionResults

double TPositionResults::HillsContinuum() const {
  return HillsNumber(Measures[tMeasure::vHillsContinuum], HillsScale, Q, Measures[tMeasure::vTypes],
                     Measures[tMeasure::vPerplexity]);
}

double TPositionResults::CrossHillsContinuum() const {
  return HillsNumber(Measures[tMeasure::vCrossHillsContinuum], CrossHillsScale, Q,
                     Measures[tMeasure::vCrossTypes], Measures[tMeasure::vCrossPerplexity]);
}

double TPositionResults::Entropy() const { return Log2(Measures[tMeasure::vPerplexity]); }

std::int64_t TPositionResults::NumberOfTypes() const {
  return RoundToEven(Measures[tMeasure::vTypes]);
}

std::int64_t TPositionResults::NumberofHapax() const {
  return RoundToEven(Measures[tMeasure::vHapax]);
}

double TPositionResults::BasicMetrics(tMeasure WhichMetric) const {
  switch (WhichMetric) {
    case tMeasure::vHillsContinuum:
      return HillsContinuum();
    case tMeasure::vCrossHillsContinuum:
      return CrossHillsContinuum();
    default:
      return Measures[WhichMetric];
  }
}

namespace {

// Logarithms of small whole numbers, computed once with the very expressions
// the formulas use: the token and type counts of a window are whole numbers
// up to L, so most secondary measures need no logarithm of their own.
struct TWholeLogs {
  double ln;      // ln k
  double lnln;    // ln ln k
  double lnlnln;  // ln ln ln k
  double log2;    // log2 k
};
constexpr int kWholeLogCount = 4096;

const std::array<TWholeLogs, kWholeLogCount>& WholeLogTable() {
  static const auto table = [] {
    std::array<TWholeLogs, kWholeLogCount> t{};
    for (int k = 1; k < kWholeLogCount; ++k) {
      const double x = k;
      const double ln = std::log(x);
      t[k] = TWholeLogs{ln, std::log(ln), std::log(std::log(ln)), Log2(x)};
    }
    return t;
  }();
  return table;
}

// The table row of x when x is a whole number in the table, else nullptr.
const TWholeLogs* WholeLogs(double x) {
  if (!(x >= 1.0 && x < kWholeLogCount)) return nullptr;
  const int k = static_cast<int>(x);
  return k == x ? &WholeLogTable()[k] : nullptr;
}

// ln, ln ln, ln ln ln and log2 of a count, from the table where it has the row.
class TCountLogs {
 public:
  explicit TCountLogs(double x) : x_(x) {}
  double Ln() { return Row() ? row_->ln : std::log(x_); }
  double LnLn() { return Row() ? row_->lnln : std::log(std::log(x_)); }
  double LnLnLn() { return Row() ? row_->lnlnln : std::log(std::log(std::log(x_))); }
  double Log2() { return Row() ? row_->log2 : tavora::Log2(x_); }

 private:
  const TWholeLogs* Row() {
    if (!looked_) {
      row_ = WholeLogs(x_);
      looked_ = true;
    }
    return row_;
  }
  double x_;
  const TWholeLogs* row_ = nullptr;
  bool looked_ = false;
};

constexpr std::uint32_t Bits(std::initializer_list<tMeasureSecondary> members) {
  return tMeasureSecondarySet(members).Mask();
}

// The secondary measures of set from the stored values of r, each handed to
// sink(measure, value). Each logarithm is taken at most once; groups of
// measures the set lacks are skipped with one test.
template <typename TSink>
void ComputeSecondary(const TPositionResults& r, tMeasureSecondarySet set, TSink&& sink) {
  using enum tMeasure;
  const TMeasureValues& m = r.Measures;
  const double Q = r.Q;
  using S = tMeasureSecondary;
  const std::uint32_t bits = set.Mask();
  const double tok = m[vTokens];
  const double typ = m[vTypes];
  if (bits & Bits({S::vTTR})) sink(S::vTTR, typ / tok);
  if (bits & Bits({S::vRootTTR})) sink(S::vRootTTR, tok != 0 ? typ / std::sqrt(tok) : 0);
  if (bits &
      Bits({S::vLogTTR, S::vLogLogTTR, S::vLogLogLogTTR, S::vLogTypes, S::vLogRelativeTypes})) {
    TCountLogs tokLogs(tok);
    TCountLogs typLogs(typ);
    const bool logsOfCounts = tok > 1 && typ > 1;
    if (set.Contains(S::vLogTTR)) sink(S::vLogTTR, logsOfCounts ? typLogs.Ln() / tokLogs.Ln() : 0);
    if (set.Contains(S::vLogLogTTR))
      sink(S::vLogLogTTR, logsOfCounts ? typLogs.LnLn() / tokLogs.LnLn() : 0);
    if (set.Contains(S::vLogLogLogTTR))
      sink(S::vLogLogLogTTR, tok > 2.8 && typ > 2.8 ? typLogs.LnLnLn() / tokLogs.LnLnLn() : 0);
    if (set.Contains(S::vLogTypes)) sink(S::vLogTypes, typ > 0 ? typLogs.Log2() : 0);
    if (set.Contains(S::vLogRelativeTypes)) {
      const double ctyp = m[vCrossTypes];
      sink(S::vLogRelativeTypes, typ > 0 && ctyp > 0 ? Log2(ctyp) - typLogs.Log2() : 0);
    }
  }
  if (bits & Bits({S::vEntropy, S::vCrossEntropy, S::vRelativeEntropy, S::vRelativePerplexity})) {
    const double perp = m[vPerplexity];
    const double cperp = m[vCrossPerplexity];
    const bool needCPerp = set.Contains(S::vCrossEntropy) || set.Contains(S::vRelativeEntropy);
    const double log2Perp = perp != 0 ? Log2(perp) : 0;
    const double log2CPerp = needCPerp && (cperp != 0 || perp != 0) ? Log2(cperp) : 0;
    if (set.Contains(S::vEntropy)) sink(S::vEntropy, perp != 0 ? log2Perp : 0);
    if (set.Contains(S::vCrossEntropy)) sink(S::vCrossEntropy, cperp != 0 ? log2CPerp : 0);
    if (set.Contains(S::vRelativeEntropy))
      sink(S::vRelativeEntropy, perp != 0 ? log2CPerp - log2Perp : 0);
    if (set.Contains(S::vRelativePerplexity))
      sink(S::vRelativePerplexity, perp != 0 ? cperp / perp : 0);
  }
  if (bits & Bits({S::vRepeatRate})) {
    const double rrr = m[vRRR];
    sink(S::vRepeatRate, rrr != 0 ? 1 / rrr : 0);
  }
  if (bits & Bits({S::vCrossRepeatRate})) {
    const double crrr = m[vCrossRRR];
    sink(S::vCrossRepeatRate, crrr != 0 ? 1 / crrr : 0);
  }
  if (bits & Bits({S::vRelativeTypes})) {
    const double ctyp = m[vCrossTypes];
    sink(S::vRelativeTypes, typ > 0 ? ctyp / typ : 0);
  }
  if (bits & Bits({S::vRenyiEntropy, S::vRenyiCrossEntropy, S::vRenyiRelativeEntropy})) {
    const double hill = m[vHillsContinuum];
    const double chill = m[vCrossHillsContinuum];
    const bool needHill = set.Contains(S::vRenyiEntropy) || set.Contains(S::vRenyiRelativeEntropy);
    const bool needCHill =
        set.Contains(S::vRenyiCrossEntropy) || set.Contains(S::vRenyiRelativeEntropy);
    // A scale of 0 adds nothing: the orders up to kPlainHillsQ keep their digits.
    const double log2Hill = needHill && hill > 0 ? Log2(hill) + r.HillsScale / std::log(2.0) : 0;
    const double log2CHill =
        needCHill && chill > 0 ? Log2(chill) + r.CrossHillsScale / std::log(2.0) : 0;
    if (set.Contains(S::vRenyiEntropy)) sink(S::vRenyiEntropy, hill > 0 ? log2Hill / (1 - Q) : 0);
    if (set.Contains(S::vRenyiCrossEntropy))
      sink(S::vRenyiCrossEntropy, chill > 0 ? log2CHill / (1 - Q) : 0);
    if (set.Contains(S::vRenyiRelativeEntropy))
      sink(S::vRenyiRelativeEntropy,
           chill > 0 && hill > 0 ? log2CHill / (1 - Q) - log2Hill / (1 - Q) : 0);
  }
}

}  // namespace

double TPositionResults::SecondaryMetrics(tMeasureSecondary WhichMetric) const {
  double value = 0;
  ComputeSecondary(*this, tMeasureSecondarySet{WhichMetric},
                   [&](tMeasureSecondary, double v) { value = v; });
  return value;
}

void TPositionResults::SecondaryMetricsOf(tMeasureSecondarySet Set,
                                          TMeasureSecondaryValues& Values) const {
  ComputeSecondary(*this, Set, [&](tMeasureSecondary s, double v) { Values[s] = v; });
}

std::u16string TPositionResults::BasicMetricsToString(tMeasure WhichMetric) const {
  std::u16string out;
  AppendFixed(out, BasicMetrics(WhichMetric), MeasurePositionDigits(WhichMetric));
  return out;
}

std::u16string TPositionResults::SecondaryMetricsToString(tMeasureSecondary WhichMetric) const {
  std::u16string out;
  AppendFixed(out, SecondaryMetrics(WhichMetric), MeasureSecondaryDigits(WhichMetric));
  return out;
}

void TPositionResults::AppendToLine(std::u16string& out, std::u16string_view sep,
                                    std::u16string_view uv, TMeasureSet SetOfMeasures,
                                    tMeasureSecondarySet SetOfMeasuresSecondary,
                                    TPrecision Precision) const {
  AppendRow(*this, out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary, false, Precision);
}

std::u16string TPositionResults::AllToLine(std::u16string_view sep, std::u16string_view uv,
                                           TMeasureSet SetOfMeasures,
                                           tMeasureSecondarySet SetOfMeasuresSecondary) const {
  std::u16string out;
  AppendToLine(out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary);
  return out;
}

// ---- TAverages

void TAverages::Add(const TPositionResults& a, TMeasureSet SetOfMeasures,
                    tMeasureSecondarySet SetOfMeasuresSecondary) {
  ++NumberOfWindowsInText;
  for (tMeasure m : SetOfMeasures) {
    if (m == tMeasure::vHillsContinuum || m == tMeasure::vCrossHillsContinuum) {
      Measures[m] += a.BasicMetrics(m);
    } else {
      Measures[m] += a.Measures[m];
    }
  }
  ComputeSecondary(a, SetOfMeasuresSecondary,
                   [this](tMeasureSecondary s, double v) { MeasuresSecondary[s] += v; });
}

double TAverages::BasicMetrics(tMeasure WhichMetric) const {
  if (NumberOfWindowsInText == 0) return std::numeric_limits<double>::quiet_NaN();
  return Measures[WhichMetric] / static_cast<double>(NumberOfWindowsInText);
}

double TAverages::SecondaryMetrics(tMeasureSecondary WhichMetric) const {
  if (NumberOfWindowsInText == 0) return std::numeric_limits<double>::quiet_NaN();
  return MeasuresSecondary[WhichMetric] / static_cast<double>(NumberOfWindowsInText);
}

std::u16string TAverages::BasicMetricsToString(tMeasure WhichMetric) const {
  std::u16string out;
  AppendFixed(out, BasicMetrics(WhichMetric), MeasureAverageDigits(WhichMetric));
  return out;
}

std::u16string TAverages::SecondaryMetricsToString(tMeasureSecondary WhichMetric) const {
  std::u16string out;
  AppendFixed(out, SecondaryMetrics(WhichMetric), MeasureSecondaryDigits(WhichMetric));
  return out;
}

void TAverages::AppendToLine(std::u16string& out, std::u16string_view sep, std::u16string_view uv,
                             TMeasureSet SetOfMeasures, tMeasureSecondarySet SetOfMeasuresSecondary,
                             TPrecision Precision) const {
  AppendRow(*this, out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary, true, Precision);
}

std::u16string TAverages::AllToLine(std::u16string_view sep, std::u16string_view uv,
                                    TMeasureSet SetOfMeasures,
                                    tMeasureSecondarySet SetOfMeasuresSecondary) const {
  std::u16string out;
  AppendToLine(out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary);
  return out;
}

}  // namespace tavora
