#include "cli/CliNames.h"

#include <algorithm>
#include <stdexcept>

#include "base/Trim.h"
#include "base/Utf8.h"
#include "engine/TEditDistance.h"

namespace tavora {

namespace {

// Each measure under its short name (engine/Measures.h).
TCliMeasure Basic(tMeasure m) { return {MeasureName(m), false, static_cast<std::uint8_t>(m)}; }

TCliMeasure Secondary(tMeasureSecondary m) {
  return {MeasureSecondaryName(m), true, static_cast<std::uint8_t>(m)};
}

// Letters A to Z lowered; names are ASCII.
std::string Lowered(std::string_view name) {
  std::string lowered(name);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

}  // namespace

const std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> kCliMeasures = [] {
  std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> all{};
  std::size_t i = 0;
  for (const tMeasure m : TMeasureSet::All()) all[i++] = Basic(m);
  for (const tMeasureSecondary m : tMeasureSecondarySet::All()) all[i++] = Secondary(m);
  return all;
}();

std::optional<TCliMeasure> FindCliMeasure(std::string_view Name) {
  std::string name = Lowered(Name);
  for (const auto& alias : kMeasureAliases)
    if (alias[0] == name) name = alias[1];
  const auto it = std::find_if(kCliMeasures.begin(), kCliMeasures.end(),
                               [&name](const TCliMeasure& m) { return m.Name == name; });
  if (it == kCliMeasures.end()) return std::nullopt;
  return *it;
}

std::optional<tIndex> FindIndex(std::string_view Name) {
  const std::string name = Lowered(Name);
  for (const tIndex i : TIndexSet::All())
    if (IndexName(i) == name) return i;
  return std::nullopt;
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
              TIndexSet::All(), [](tIndex i) { return std::string(IndexName(i)); }, ", ") +
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
