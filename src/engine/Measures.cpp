#include "engine/Measures.h"

#include <cmath>

#include "engine/NumberFormat.h"
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

constexpr std::array<std::u16string_view, kMeasureSecondaryCount>
    kMeasureSecondaryCaptions = {
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

constexpr std::array<int, kMeasureCount> kPositionDigits = {0, 0, 0, 1, 1, 1, 1,
                                                            1, 1, 1, 4, 4, 4};
constexpr std::array<int, kMeasureCount> kAverageDigits = {1, 1, 1, 1, 1, 4, 1,
                                                           1, 1, 1, 4, 4, 4};
constexpr std::array<int, kMeasureSecondaryCount> kSecondaryDigits = {
    3, 3, 3, 2, 2, 2, 4, 4, 4, 4, 2, 2, 2, 2, 2, 2, 2};

double Log2(double x) { return std::log(x) / std::log(2.0); }

// Hill's number from a raw sum, with the stored values that stand in at Q 0 and 1.
double HillsNumber(double sum, double q, double atZero, double atOne) {
  if (sum <= 0) return 0;
  if (q == 0) return atZero;
  if (q == 1) return atOne;
  return Power(sum, 1.0 / (1.0 - q));
}

std::int64_t RoundToEven(double v) {
  return static_cast<std::int64_t>(std::nearbyint(v));
}

template <typename TRecord>
void AppendRow(const TRecord& r, std::u16string& out, std::u16string_view sep,
               std::u16string_view uv, TMeasureSet basic,
               tMeasureSecondarySet secondary, bool average) {
  for (tMeasure m : basic) {
    out.append(sep);
    out.append(uv);
    AppendFixed(out, r.BasicMetrics(m),
                average ? MeasureAverageDigits(m) : MeasurePositionDigits(m));
    out.append(uv);
  }
  for (tMeasureSecondary s : secondary) {
    out.append(sep);
    out.append(uv);
    AppendFixed(out, r.SecondaryMetrics(s), MeasureSecondaryDigits(s));
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
int MeasurePositionDigits(tMeasure m) {
  return kPositionDigits[static_cast<std::size_t>(m)];
}
int MeasureAverageDigits(tMeasure m) {
  return kAverageDigits[static_cast<std::size_t>(m)];
}
int MeasureSecondaryDigits(tMeasureSecondary m) {
  return kSecondaryDigits[static_cast<std::size_t>(m)];
}

// ---- TPositionResults

double TPositionResults::HillsContinuum() const {
  return HillsNumber(Measures[tMeasure::vHillsContinuum], Q,
                     Measures[tMeasure::vTypes], Measures[tMeasure::vPerplexity]);
}

double TPositionResults::CrossHillsContinuum() const {
  return HillsNumber(Measures[tMeasure::vCrossHillsContinuum], Q,
                     Measures[tMeasure::vCrossTypes],
                     Measures[tMeasure::vCrossPerplexity]);
}

double TPositionResults::Entropy() const {
  return Log2(Measures[tMeasure::vPerplexity]);
}

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

// The logarithms the secondary measures share, each taken at most once per
// record: a row of all seventeen measures needs eight logarithms, not twenty.
class TLogs {
 public:
  explicit TLogs(const TMeasureValues& m) : m_(m) {}
  double LnTok() { return Get(0, [&] { return std::log(m_[tMeasure::vTokens]); }); }
  double LnTyp() { return Get(1, [&] { return std::log(m_[tMeasure::vTypes]); }); }
  double Log2Perp() { return Get(2, [&] { return Log2(m_[tMeasure::vPerplexity]); }); }
  double Log2CPerp() { return Get(3, [&] { return Log2(m_[tMeasure::vCrossPerplexity]); }); }
  double Log2Typ() { return Get(4, [&] { return Log2(m_[tMeasure::vTypes]); }); }
  double Log2CTyp() { return Get(5, [&] { return Log2(m_[tMeasure::vCrossTypes]); }); }
  double Log2Hill() { return Get(6, [&] { return Log2(m_[tMeasure::vHillsContinuum]); }); }
  double Log2CHill() {
    return Get(7, [&] { return Log2(m_[tMeasure::vCrossHillsContinuum]); });
  }

 private:
  template <typename F>
  double Get(int i, F f) {
    if (!(have_ & (1u << i))) {
      v_[i] = f();
      have_ |= 1u << i;
    }
    return v_[i];
  }
  const TMeasureValues& m_;
  double v_[8] = {};
  unsigned have_ = 0;
};

double Secondary(const TMeasureValues& m, double Q, TLogs& logs, tMeasureSecondary which) {
  using enum tMeasure;
  const double tok = m[vTokens];
  const double typ = m[vTypes];
  const double perp = m[vPerplexity];
  const double rrr = m[vRRR];
  const double hill = m[vHillsContinuum];
  const double ctyp = m[vCrossTypes];
  const double cperp = m[vCrossPerplexity];
  const double crrr = m[vCrossRRR];
  const double chill = m[vCrossHillsContinuum];
  switch (which) {
    case tMeasureSecondary::vTTR:
      return typ / tok;
    case tMeasureSecondary::vLogTTR:
      return tok > 1 && typ > 1 ? logs.LnTyp() / logs.LnTok() : 0;
    case tMeasureSecondary::vRootTTR:
      return tok != 0 ? typ / std::sqrt(tok) : 0;
    case tMeasureSecondary::vEntropy:
      return perp != 0 ? logs.Log2Perp() : 0;
    case tMeasureSecondary::vCrossEntropy:
      return cperp != 0 ? logs.Log2CPerp() : 0;
    case tMeasureSecondary::vRelativeEntropy:
      return perp != 0 ? logs.Log2CPerp() - logs.Log2Perp() : 0;
    case tMeasureSecondary::vRepeatRate:
      return rrr != 0 ? 1 / rrr : 0;
    case tMeasureSecondary::vCrossRepeatRate:
      return crrr != 0 ? 1 / crrr : 0;
    case tMeasureSecondary::vLogLogTTR:
      return tok > 1 && typ > 1 ? std::log(logs.LnTyp()) / std::log(logs.LnTok()) : 0;
    case tMeasureSecondary::vLogLogLogTTR:
      return tok > 2.8 && typ > 2.8
                 ? std::log(std::log(logs.LnTyp())) / std::log(std::log(logs.LnTok()))
                 : 0;
    case tMeasureSecondary::vRelativePerplexity:
      return perp != 0 ? cperp / perp : 0;
    case tMeasureSecondary::vRelativeTypes:
      return typ > 0 ? ctyp / typ : 0;
    case tMeasureSecondary::vLogTypes:
      return typ > 0 ? logs.Log2Typ() : 0;
    case tMeasureSecondary::vLogRelativeTypes:
      return typ > 0 && ctyp > 0 ? logs.Log2CTyp() - logs.Log2Typ() : 0;
    case tMeasureSecondary::vRenyiEntropy:
      return hill > 0 ? logs.Log2Hill() / (1 - Q) : 0;
    case tMeasureSecondary::vRenyiCrossEntropy:
      return chill > 0 ? logs.Log2CHill() / (1 - Q) : 0;
    case tMeasureSecondary::vRenyiRelativeEntropy:
      return chill > 0 && hill > 0 ? logs.Log2CHill() / (1 - Q) - logs.Log2Hill() / (1 - Q)
                                   : 0;
  }
  return 0;
}

}  // namespace

double TPositionResults::SecondaryMetrics(tMeasureSecondary WhichMetric) const {
  TLogs logs(Measures);
  return Secondary(Measures, Q, logs, WhichMetric);
}

std::u16string TPositionResults::BasicMetricsToString(tMeasure WhichMetric) const {
  std::u16string out;
  AppendFixed(out, BasicMetrics(WhichMetric), MeasurePositionDigits(WhichMetric));
  return out;
}

std::u16string TPositionResults::SecondaryMetricsToString(
    tMeasureSecondary WhichMetric) const {
  std::u16string out;
  AppendFixed(out, SecondaryMetrics(WhichMetric), MeasureSecondaryDigits(WhichMetric));
  return out;
}

void TPositionResults::AppendToLine(std::u16string& out, std::u16string_view sep,
                                    std::u16string_view uv, TMeasureSet SetOfMeasures,
                                    tMeasureSecondarySet SetOfMeasuresSecondary) const {
  AppendRow(*this, out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary, false);
}

std::u16string TPositionResults::AllToLine(
    std::u16string_view sep, std::u16string_view uv, TMeasureSet SetOfMeasures,
    tMeasureSecondarySet SetOfMeasuresSecondary) const {
  std::u16string out;
  AppendToLine(out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary);
  return out;
}

// ---- TAverages

void TAverages::Add(const TPositionResults& a, TMeasureSet SetOfMeasures,
                    tMeasureSecondarySet SetOfMeasuresSecondary) {
  ++NumberOfWindowsInText;
  for (tMeasure m : SetOfMeasures) Measures[m] += a.BasicMetrics(m);
  TLogs logs(a.Measures);
  for (tMeasureSecondary s : SetOfMeasuresSecondary)
    MeasuresSecondary[s] += Secondary(a.Measures, a.Q, logs, s);
}

double TAverages::BasicMetrics(tMeasure WhichMetric) const {
  if (NumberOfWindowsInText == 0) return 0;
  return Measures[WhichMetric] / static_cast<double>(NumberOfWindowsInText);
}

double TAverages::SecondaryMetrics(tMeasureSecondary WhichMetric) const {
  if (NumberOfWindowsInText == 0) return 0;
  return MeasuresSecondary[WhichMetric] / static_cast<double>(NumberOfWindowsInText);
}

std::u16string TAverages::BasicMetricsToString(tMeasure WhichMetric) const {
  std::u16string out;
  AppendFixed(out, BasicMetrics(WhichMetric), MeasureAverageDigits(WhichMetric));
  return out;
}

std::u16string TAverages::SecondaryMetricsToString(
    tMeasureSecondary WhichMetric) const {
  std::u16string out;
  AppendFixed(out, SecondaryMetrics(WhichMetric), MeasureSecondaryDigits(WhichMetric));
  return out;
}

void TAverages::AppendToLine(std::u16string& out, std::u16string_view sep,
                             std::u16string_view uv, TMeasureSet SetOfMeasures,
                             tMeasureSecondarySet SetOfMeasuresSecondary) const {
  AppendRow(*this, out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary, true);
}

std::u16string TAverages::AllToLine(std::u16string_view sep, std::u16string_view uv,
                                    TMeasureSet SetOfMeasures,
                                    tMeasureSecondarySet SetOfMeasuresSecondary) const {
  std::u16string out;
  AppendToLine(out, sep, uv, SetOfMeasures, SetOfMeasuresSecondary);
  return out;
}

}  // namespace tavora
