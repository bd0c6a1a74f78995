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

}  // namespace

const std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> kCliMeasures = [] {
  std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> all{};
  std::size_t i = 0;
  for (const tMeasure m : TMeasureSet::All()) all[i++] = Basic(MeasureName(m), m);
  for (const tMeasureSecondary m : tMeasureSecondarySet::All())
    all[i++] = Secondary(MeasureSecondaryName(m), m);
  return all;
}();

std::optional<TCliMeasure> FindCliMeasure(std::string_view Name) {
  const auto it = std::find_if(kCliMeasures.begin(), kCliMeasures.end(),
                               [Name](const TCliMeasure& m) { return m.Name == Name; });
  if (it == kCliMeasures.end()) return std::nullopt;
  return *it;
}

std::optional<tIndex> FindIndex(std::string_view Name) {
  for (const tIndex i : TIndexSet::All())
    if (IndexName(i) == Name) return i;
  return std::nullopt;
}

TIndexSet ParseIndexList(std::string_view List) {
  TIndexSet set;
  for (std::size_t start = 0;;) {
    const std::size_t comma = List.find(',', start);
    const std::string_view name =
        TrimBlanks(List.substr(start, comma == std::string_view::npos ? comma : comma - start));
    const std::optional<tIndex> index = FindIndex(name);
    if (!index) {
      throw std::invalid_argument(
          "Unknown index '" + std::string(name) + "' (known indices: " +
          JoinNames(
              TIndexSet::All(), [](tIndex i) { return std::string(IndexName(i)); }, ", ") +
          ")");
    }
    set.Include(*index);
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
