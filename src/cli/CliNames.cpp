#include "cli/CliNames.h"

#include <algorithm>
#include <stdexcept>

#include "base/Trim.h"
#include "base/Utf8.h"
#include "engine/TEditDistance.h"

namespace tavora {

namespace {

// Each measure under its short name (options/MeasureHelp.h).
constexpr TCliMeasure Basic(tMeasure m) {
  return {kMeasureNames[static_cast<std::size_t>(m)], false, static_cast<std::uint8_t>(m)};
}

constexpr TCliMeasure Secondary(tMeasureSecondary m) {
  return {kMeasureSecondaryNames[static_cast<std::size_t>(m)], true, static_cast<std::uint8_t>(m)};
}

// Letters A to Z lowered; names are ASCII.
std::string Lowered(std::string_view name) {
  std::string lowered(name);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

constexpr std::array<std::string_view, kIndexCount> kIndexNames = {
    "mtld",      "mtld-ma",  "hdd",    "msttr",  "yule-k", "yule-i",       "simpson-d",
    "herdan-vm", "maas",     "dugast", "summer", "cttr",   "mtld-ma-wrap", "mtld-ma-bid",
    "vocd-d",    "vocd-d-3", "lgv0",   "lgev0",  "uber",
};

}  // namespace

const std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> kCliMeasures = {{
    Basic(tMeasure::vTokens),
    Basic(tMeasure::vTypes),
    Basic(tMeasure::vHapax),
    Basic(tMeasure::vPerplexity),
    Basic(tMeasure::vRRR),
    Basic(tMeasure::vHillsContinuum),
    Basic(tMeasure::vCrossTypes),
    Basic(tMeasure::vCrossPerplexity),
    Basic(tMeasure::vCrossRRR),
    Basic(tMeasure::vCrossHillsContinuum),
    Basic(tMeasure::vLength),
    Basic(tMeasure::vDifference),
    Basic(tMeasure::vAutosemantics),
    Secondary(tMeasureSecondary::vTTR),
    Secondary(tMeasureSecondary::vLogTTR),
    Secondary(tMeasureSecondary::vRootTTR),
    Secondary(tMeasureSecondary::vEntropy),
    Secondary(tMeasureSecondary::vCrossEntropy),
    Secondary(tMeasureSecondary::vRelativeEntropy),
    Secondary(tMeasureSecondary::vRepeatRate),
    Secondary(tMeasureSecondary::vCrossRepeatRate),
    Secondary(tMeasureSecondary::vLogLogTTR),
    Secondary(tMeasureSecondary::vLogLogLogTTR),
    Secondary(tMeasureSecondary::vRelativePerplexity),
    Secondary(tMeasureSecondary::vRelativeTypes),
    Secondary(tMeasureSecondary::vLogTypes),
    Secondary(tMeasureSecondary::vLogRelativeTypes),
    Secondary(tMeasureSecondary::vRenyiEntropy),
    Secondary(tMeasureSecondary::vRenyiCrossEntropy),
    Secondary(tMeasureSecondary::vRenyiRelativeEntropy),
}};

std::optional<TCliMeasure> FindCliMeasure(std::string_view Name) {
  std::string name = Lowered(Name);
  for (const auto& alias : kMeasureAliases)
    if (alias[0] == name) name = alias[1];
  const auto it = std::find_if(kCliMeasures.begin(), kCliMeasures.end(),
                               [&name](const TCliMeasure& m) { return m.Name == name; });
  if (it == kCliMeasures.end()) return std::nullopt;
  return *it;
}

std::string_view IndexName(tIndex i) { return kIndexNames[static_cast<std::size_t>(i)]; }

std::optional<tIndex> FindIndex(std::string_view Name) {
  const auto it = std::find(kIndexNames.begin(), kIndexNames.end(), Lowered(Name));
  if (it == kIndexNames.end()) return std::nullopt;
  return static_cast<tIndex>(it - kIndexNames.begin());
}

TIndexSet ParseIndexList(std::string_view List) {
  TIndexSet set;
  for (std::size_t start = 0;;) {
    const std::size_t comma = List.find(',', start);
    const std::string_view name =
        TrimBlanks(List.substr(start, comma == std::string_view::npos ? comma : comma - start));
    const std::optional<tIndex> index = FindIndex(name);
    if (name == kAllIndices) {
      set = TIndexSet::All();
    } else if (!index) {
      throw std::invalid_argument(
          "Unknown index '" + std::string(name) + "' (known indices: " +
          JoinNames(
              kIndexNames, [](std::string_view n) { return std::string(n); }, ", ") +
          "; all for every one)");
    } else {
      set.Include(*index);
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return set;
}

std::string ClosestName(std::string_view Name, const std::vector<std::string_view>& Names) {
  const std::u16string name = Utf8ToUtf16(Lowered(Name));
  std::string_view closest;
  std::uint32_t best = 0;
  for (const std::string_view candidate : Names) {
    const std::uint32_t distance = Levenshtein(name, Utf8ToUtf16(candidate));
    if (closest.empty() || distance < best) {
      closest = candidate;
      best = distance;
    }
  }
  return std::string(closest);
}

std::string UnknownMeasureMessage(std::string_view Name) {
  std::vector<std::string_view> names;
  for (const TCliMeasure& m : kCliMeasures) names.push_back(m.Name);
  for (const auto& alias : kMeasureAliases) names.push_back(alias[0]);
  return "Unknown measure '" + std::string(Name) + "'; did you mean '" + ClosestName(Name, names) +
         "'? Measures: " +
         JoinNames(
             names, [](std::string_view n) { return std::string(n); }, ", ");
}

std::vector<std::string> SplitCommaList(std::string_view List) {
  std::vector<std::string> items;
  if (List.empty()) return items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = List.find(',', start);
    items.emplace_back(List.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

}  // namespace tavora
