#pragma once

// The names the command line uses for formats, case handling, kinds, result families and
// measures, each tied to the option of the window that it stands for.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Indices.h"
#include "engine/Measures.h"
#include "options/ControlNames.h"
#include "options/MeasureHelp.h"
#include "processing/RunOptions.h"

namespace tavora {

// Input formats, in THow order (the index is the item of ctl::RGInputType).
inline constexpr std::array<std::string_view, 8> kCliFormatNames = {
    "plain", "lines", "whitespace", "vertical", "coca", "custom", "conllu", "bnc"};

// Case handling, rules of content words and precision go by the names of their enumerations
// (kCaseNames, kAutosemanticRuleNames, kPrecisionNames), which are also the item orders of
// ctl::RadioGroupCaseSensitivity and ctl::ComboBoxAutosemanticRule.

// Kinds of tokens measured.
struct TCliKind {
  std::string_view Name;
  tWordOrLemma Kind;
  // The window's check box that chooses the kind.
  [[nodiscard]] constexpr std::string_view Box() const {
    return kKindBoxes[static_cast<std::size_t>(Kind)];
  }
};
inline constexpr std::array<TCliKind, kWordOrLemmaCount> kCliKinds = {{
    {KindName(tWordOrLemma::tokWord), tWordOrLemma::tokWord},
    {KindName(tWordOrLemma::tokLemma), tWordOrLemma::tokLemma},
}};

// Families of result files.
struct TCliOutput {
  std::string_view Name;
  TOutputType Type;
  // The window's check box that chooses the family.
  [[nodiscard]] constexpr std::string_view Box() const {
    return kOutputBoxes[static_cast<std::size_t>(Type)];
  }
};
inline constexpr std::array<TCliOutput, kOutputTypeCount> kCliOutputs = [] {
  std::array<TCliOutput, kOutputTypeCount> all{};
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto type = static_cast<TOutputType>(i);
    all[i] = {OutputTypeName(type), type};
  }
  return all;
}();

// Where results go, named in --outputs beside the families: the CSV files and the results
// database, each tied to its check box.
inline constexpr std::string_view kCliCsv = "csv";
inline constexpr std::string_view kCliSqlite = "sqlite";

// A measure by name: basic (tMeasure ordinal) or secondary (tMeasureSecondary ordinal).
struct TCliMeasure {
  std::string_view Name;
  bool IsSecondary;
  std::uint8_t Ordinal;
  // The window's check box that chooses the measure; empty when no check box does
  // ("tokens" is always measured, the others are set in the measure masks directly).
  [[nodiscard]] constexpr std::string_view Box() const {
    return IsSecondary ? kMeasureSecondaryBoxes[Ordinal] : kMeasureBoxes[Ordinal];
  }
};

// Every measure, basic ones in tMeasure order, then secondary ones in tMeasureSecondary
// order, named by MeasureName and MeasureSecondaryName.
extern const std::array<TCliMeasure, kMeasureCount + kMeasureSecondaryCount> kCliMeasures;

// A measure by its name or alias, in any letter case.
[[nodiscard]] std::optional<TCliMeasure> FindCliMeasure(std::string_view Name);
// "Unknown measure '<Name>'; did you mean '<closest>'? Measures: <every name>".
[[nodiscard]] std::string UnknownMeasureMessage(std::string_view Name);
// The name of Names closest to Name in spelling (fewest edits, in any letter case); the first
// of equally close ones.
[[nodiscard]] std::string ClosestName(std::string_view Name,
                                      const std::vector<std::string_view>& Names);

// Where an MTLD factor ends, in TMtldRule order (the items of ctl::RadioGroupMtldRule).
inline constexpr std::array<std::string_view, 2> kCliMtldRuleNames = {"le", "lt-min10"};
// The logarithm of Maas, Dugast and Summer, in TLogBase order (ctl::RadioGroupLogBase).
inline constexpr std::array<std::string_view, 2> kCliLogBaseNames = {"e", "10"};

// The index of a name as IndexName (engine/Indices.h) gives it, in any letter case.
[[nodiscard]] std::optional<tIndex> FindIndex(std::string_view Name);
// The name that stands for every index in a list.
inline constexpr std::string_view kAllIndices = "all";
// A comma-separated list of names ("mtld,hdd") or "all"; spaces around a name are ignored.
// Throws std::invalid_argument naming an unknown or empty name and listing the known ones.
[[nodiscard]] TIndexSet ParseIndexList(std::string_view List);

// Splits a comma-separated list; "" gives no item, every other text gives its pieces
// as they stand (empty pieces included).
[[nodiscard]] std::vector<std::string> SplitCommaList(std::string_view List);

// Names joined with a separator ("a, b, c").
template <typename TRange, typename TName>
[[nodiscard]] std::string JoinNames(const TRange& Range, TName Name, std::string_view Separator) {
  std::string joined;
  for (const auto& item : Range) {
    if (!joined.empty()) joined += Separator;
    joined += Name(item);
  }
  return joined;
}

}  // namespace tavora
