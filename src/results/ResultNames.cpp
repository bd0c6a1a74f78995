#include "results/ResultNames.h"

#include <array>
#include <charconv>

#include "base/Utf8.h"

namespace tavora {

namespace {

// By TOutputType.
constexpr std::array<std::string_view, kOutputTypeCount> kFamilyNames = {
    "Averages", "Distribution", "Serie", "WholeTexts", "Indices"};
// By tWordOrLemma.
constexpr std::array<std::string_view, kWordOrLemmaCount> kKindFileNames = {"Word", "Lemma"};
constexpr std::string_view kExtension = ".csv";

constexpr bool HasLag(TOutputType f) {
  return f == TOutputType::outSerie || f == TOutputType::outAverage ||
         f == TOutputType::outDistribution;
}

void AppendAscii(std::u16string& out, std::string_view text) {
  out.append(text.begin(), text.end());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Removes prefix from the front of s; false when s does not begin with it.
bool Take(std::string_view& s, std::string_view prefix) {
  if (!s.starts_with(prefix)) return false;
  s.remove_prefix(prefix.size());
  return true;
}

// Removes one or more digits from the front of s and reads them; nullopt when there are none
// or the number does not fit.
std::optional<std::int64_t> TakeNumber(std::string_view& s) {
  std::size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) ++n;
  std::int64_t value = 0;
  if (n == 0 || std::from_chars(s.data(), s.data() + n, value).ec != std::errc()) {
    return std::nullopt;
  }
  s.remove_prefix(n);
  return value;
}

std::optional<tWordOrLemma> TakeKind(std::string_view& s) {
  for (std::size_t k = 0; k < kKindFileNames.size(); ++k) {
    if (Take(s, kKindFileNames[k])) return static_cast<tWordOrLemma>(k);
  }
  return std::nullopt;
}

// The rest of a distribution's name: "<Caption><Lag>", the caption not empty, not ending in a
// digit and without line breaks.
bool TakeCaptionAndLag(std::string_view s, TResultName& name) {
  std::size_t digits = s.size();
  while (digits > 0 && IsDigit(s[digits - 1])) --digits;
  std::string_view lag = s.substr(digits);
  const std::string_view caption = s.substr(0, digits);
  if (caption.empty() || caption.find_first_of("\r\n") != std::string_view::npos) return false;
  const auto value = TakeNumber(lag);
  if (!value) return false;
  name.Caption = Utf8ToUtf16(caption);
  name.Lag = *value;
  return true;
}

}  // namespace

std::u16string_view TMeasureRef::Caption() const {
  return IsSecondary ? MeasureSecondaryCaption(static_cast<tMeasureSecondary>(Ordinal))
                     : MeasureCaption(static_cast<tMeasure>(Ordinal));
}

std::string_view TMeasureRef::Name() const {
  return IsSecondary ? MeasureSecondaryName(static_cast<tMeasureSecondary>(Ordinal))
                     : MeasureName(static_cast<tMeasure>(Ordinal));
}

std::uint32_t TMeasureRef::Granularity() const {
  if (IsSecondary) return 100;
  const auto m = static_cast<tMeasure>(Ordinal);
  return m == tMeasure::vLength || m == tMeasure::vDifference || m == tMeasure::vAutosemantics ? 100
                                                                                               : 1;
}

std::vector<TMeasureRef> MeasureRefs(TMeasureSet Measures, tMeasureSecondarySet MeasuresSecondary) {
  std::vector<TMeasureRef> refs;
  refs.reserve(Measures.Count() + MeasuresSecondary.Count());
  for (const tMeasure m : Measures) refs.push_back({false, static_cast<std::uint8_t>(m)});
  for (const tMeasureSecondary m : MeasuresSecondary)
    refs.push_back({true, static_cast<std::uint8_t>(m)});
  return refs;
}

std::u16string ResultFileName(const TResultName& Name) {
  std::u16string text;
  AppendAscii(text, kFamilyNames[static_cast<std::size_t>(Name.Family)]);
  if (Name.Family == TOutputType::outSerie) AppendAscii(text, std::to_string(Name.Doc));
  AppendAscii(text, kKindFileNames[static_cast<std::size_t>(Name.Kind)]);
  if (Name.Family == TOutputType::outDistribution) {
    text += u'_';
    text += Name.Caption;
  }
  if (HasLag(Name.Family)) AppendAscii(text, std::to_string(Name.Lag));
  AppendAscii(text, kExtension);
  return text;
}

std::optional<TResultName> ParseResultFileName(std::string_view FileName) {
  if (!FileName.ends_with(kExtension)) return std::nullopt;
  std::string_view s = FileName.substr(0, FileName.size() - kExtension.size());
  for (std::size_t f = 0; f < kFamilyNames.size(); ++f) {
    std::string_view rest = s;
    if (!Take(rest, kFamilyNames[f])) continue;
    TResultName name;
    name.Family = static_cast<TOutputType>(f);
    if (name.Family == TOutputType::outSerie) {
      const auto doc = TakeNumber(rest);
      if (!doc) return std::nullopt;
      name.Doc = *doc;
    }
    const auto kind = TakeKind(rest);
    if (!kind) return std::nullopt;
    name.Kind = *kind;
    if (name.Family == TOutputType::outDistribution) {
      if (!Take(rest, "_") || !TakeCaptionAndLag(rest, name)) return std::nullopt;
      return name;
    }
    if (HasLag(name.Family)) {
      const auto lag = TakeNumber(rest);
      if (!lag) return std::nullopt;
      name.Lag = *lag;
    }
    if (!rest.empty()) return std::nullopt;
    return name;
  }
  return std::nullopt;
}

}  // namespace tavora
