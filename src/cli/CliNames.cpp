#include "cli/CliNames.h"

#include <algorithm>
#include <stdexcept>

#include "base/Trim.h"

namespace tavora {

namespace {

constexpr TCliMeasure Basic(std::string_view name, tMeasure m) {
  return {name, false, static_cast<std::uint8_t>(m)};
}

constexpr TCliMeasure Secondary(std::string_view name, tMeasureSecondary m) {
  return {name, true, static_cast<std::uint8_t>(m)};
}

constexpr std::array<std::string_view, kIndexCount> kIndexNames = {
    "mtld",      "mtld-ma",  "hdd",    "msttr",  "yule-k", "yule-i",       "simpson-d",
    "herdan-vm", "maas",     "dugast", "summer", "cttr",   "mtld-ma-wrap", "mtld-ma-bid",
    "vocd-d",    "vocd-d-3", "lgv0",   "lgev0",  "uber",
};

}  // namespace

const std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> kCliMeasures = {{
    Basic("tokens", tMeasure::vTokens),
    Basic("types", tMeasure::vTypes),
    Basic("hapax", tMeasure::vHapax),
    Basic("perplexity", tMeasure::vPerplexity),
    Basic("rrr", tMeasure::vRRR),
    Basic("hill", tMeasure::vHillsContinuum),
    Basic("cross-types", tMeasure::vCrossTypes),
    Basic("cross-perplexity", tMeasure::vCrossPerplexity),
    Basic("cross-rrr", tMeasure::vCrossRRR),
    Basic("cross-hill", tMeasure::vCrossHillsContinuum),
    Basic("length", tMeasure::vLength),
    Basic("difference", tMeasure::vDifference),
    Basic("autosemantics", tMeasure::vAutosemantics),
    Secondary("ttr", tMeasureSecondary::vTTR),
    Secondary("log-ttr", tMeasureSecondary::vLogTTR),
    Secondary("root-ttr", tMeasureSecondary::vRootTTR),
    Secondary("entropy", tMeasureSecondary::vEntropy),
    Secondary("cross-entropy", tMeasureSecondary::vCrossEntropy),
    Secondary("relative-entropy", tMeasureSecondary::vRelativeEntropy),
    Secondary("repeat-rate", tMeasureSecondary::vRepeatRate),
    Secondary("cross-repeat-rate", tMeasureSecondary::vCrossRepeatRate),
    Secondary("loglog-ttr", tMeasureSecondary::vLogLogTTR),
    Secondary("logloglog-ttr", tMeasureSecondary::vLogLogLogTTR),
    Secondary("relative-perplexity", tMeasureSecondary::vRelativePerplexity),
    Secondary("relative-types", tMeasureSecondary::vRelativeTypes),
    Secondary("log-types", tMeasureSecondary::vLogTypes),
    Secondary("log-relative-types", tMeasureSecondary::vLogRelativeTypes),
    Secondary("renyi-entropy", tMeasureSecondary::vRenyiEntropy),
    Secondary("renyi-cross-entropy", tMeasureSecondary::vRenyiCrossEntropy),
    Secondary("renyi-relative-entropy", tMeasureSecondary::vRenyiRelativeEntropy),
}};

std::optional<TCliMeasure> FindCliMeasure(std::string_view Name) {
  const auto it = std::find_if(kCliMeasures.begin(), kCliMeasures.end(),
                               [Name](const TCliMeasure& m) { return m.Name == Name; });
  if (it == kCliMeasures.end()) return std::nullopt;
  return *it;
}

std::string_view IndexName(tIndex i) { return kIndexNames[static_cast<std::size_t>(i)]; }

std::optional<tIndex> FindIndex(std::string_view Name) {
  const auto it = std::find(kIndexNames.begin(), kIndexNames.end(), Name);
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
