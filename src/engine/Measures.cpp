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

double TPositionResults::SecondaryMetrics(tMeasureSecondary WhichMetric) const {
  using enum tMeasure;
  const double tok = Measures[vTokens];
  const double typ = Measures[vTypes];
  const double perp = Measures[vPerplexity];
  const double rrr = Measures[vRRR];
  const double hill = Measures[vHillsContinuum];
  const double ctyp = Measures[vCrossTypes];
  const double cperp = Measures[vCrossPerplexity];
  const double crrr = Measures[vCrossRRR];
  const double chill = Measures[vCrossHillsContinuum];
  switch (WhichMetric) {
    case tMeasureSecondary::vTTR:
      return typ / tok;
    case tMeasureSecondary::vLogTTR:
      return tok > 1 && typ > 1 ? std::log(typ) / std::log(tok) : 0;
    case tMeasureSecondary::vRootTTR:
      return tok != 0 ? typ / std::sqrt(tok) : 0;
    case tMeasureSecondary::vEntropy:
      return perp != 0 ? Log2(perp) : 0;
    case tMeasureSecondary::vCrossEntropy:
      return cperp != 0 ? Log2(cperp) : 0;
    case tMeasureSecondary::vRelativeEntropy:
      return perp != 0 ? Log2(cperp) - Log2(perp) : 0;
    case tMeasureSecondary::vRepeatRate:
      return rrr != 0 ? 1 / rrr : 0;
    case tMeasureSecondary::vCrossRepeatRate:
      return crrr != 0 ? 1 / crrr : 0;
    case tMeasureSecondary::vLogLogTTR:
      return tok > 1 && typ > 1 ? std::log(std::log(typ)) / std::log(std::log(tok))
                                : 0;
    case tMeasureSecondary::vLogLogLogTTR:
      return tok > 2.8 && typ > 2.8 ? std::log(std::log(std::log(typ))) /
                                          std::log(std::log(std::log(tok)))
                                    : 0;
    case tMeasureSecondary::vRelativePerplexity:
      return perp != 0 ? cperp / perp : 0;
    case tMeasureSecondary::vRelativeTypes:
      return typ > 0 ? ctyp / typ : 0;
    case tMeasureSecondary::vLogTypes:
      return typ > 0 ? Log2(typ) : 0;
    case tMeasureSecondary::vLogRelativeTypes:
      return typ > 0 && ctyp > 0 ? Log2(ctyp) - Log2(typ) : 0;
    case tMeasureSecondary::vRenyiEntropy:
      return hill > 0 ? Log2(hill) / (1 - Q) : 0;
    case tMeasureSecondary::vRenyiCrossEntropy:
      return chill > 0 ? Log2(chill) / (1 - Q) : 0;
    case tMeasureSecondary::vRenyiRelativeEntropy:
      return chill > 0 && hill > 0 ? Log2(chill) / (1 - Q) - Log2(hill) / (1 - Q)
                                   : 0;
  }
  return 0;
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
  for (tMeasureSecondary s : SetOfMeasuresSecondary)
    MeasuresSecondary[s] += a.SecondaryMetrics(s);
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
