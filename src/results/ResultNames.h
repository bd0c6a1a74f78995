#pragma once

// The families of result files and the names of the files: the one place that both the
// writer (TOutputStructures) and the reader (TResultFolder) take them from.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Measures.h"

namespace tavora {

// The families of result files. outIndices, the further indices per text
// ("Indices<Kind>.csv"), is written only when at least one index is chosen as well.
enum class TOutputType : std::uint8_t {
  outAverage,
  outDistribution,
  outSerie,
  outWholeTexts,
  outIndices,
};

inline constexpr std::size_t kOutputTypeCount = 5;

using TOutputTypeSet = EnumSet<TOutputType, kOutputTypeCount, std::uint8_t>;

// Family names on the command line (--outputs), in run records and in the results database,
// in TOutputType order.
inline constexpr std::array<std::string_view, kOutputTypeCount> kOutputTypeNames = {
    "averages", "distributions", "series", "wholetexts", "indices"};
[[nodiscard]] constexpr std::string_view OutputTypeName(TOutputType Type) {
  return kOutputTypeNames[static_cast<std::size_t>(Type)];
}

// Kind names on the command line, in run records and in the results database, in
// tWordOrLemma order.
inline constexpr std::array<std::string_view, kWordOrLemmaCount> kKindNames = {"word", "lemma"};
[[nodiscard]] constexpr std::string_view KindName(tWordOrLemma Kind) {
  return kKindNames[static_cast<std::size_t>(Kind)];
}

// The results database's file name in an output folder.
inline constexpr std::string_view kDatabaseName = "Tavora.sqlite";

// A measure of a run, basic or secondary.
struct TMeasureRef {
  bool IsSecondary = false;
  std::uint8_t Ordinal = 0;  // of tMeasure, or of tMeasureSecondary

  // The column title of the result files ("Types", "TTR").
  [[nodiscard]] std::u16string_view Caption() const;
  // The name on the command line and in the results database ("types", "ttr").
  [[nodiscard]] std::string_view Name() const;
  // Intervals per unit of the measure's distributions: 100 for token length, difference,
  // autosemantics and every secondary measure, 1 for the others (which count whole things).
  [[nodiscard]] std::uint32_t Granularity() const;

  friend bool operator==(const TMeasureRef&, const TMeasureRef&) = default;
};

// The measures of the sets in column order: the basic ones, then the secondary ones.
[[nodiscard]] std::vector<TMeasureRef> MeasureRefs(TMeasureSet Measures,
                                                   tMeasureSecondarySet MeasuresSecondary);

// What the name of one result file says.
struct TResultName {
  TOutputType Family = TOutputType::outSerie;
  tWordOrLemma Kind = tWordOrLemma::tokWord;
  std::int64_t Lag = 0;    // window length of series, averages and distributions; 0 otherwise
  std::int64_t Doc = 0;    // document number of a series, from 1; 0 otherwise
  std::u16string Caption;  // measure caption of a distribution; empty otherwise

  friend bool operator==(const TResultName&, const TResultName&) = default;
};

// The file name of a result file, Kind written "Word" or "Lemma":
// "Serie<Doc><Kind><Lag>.csv", "Averages<Kind><Lag>.csv", "WholeTexts<Kind>.csv",
// "Indices<Kind>.csv", "Distribution<Kind>_<Caption><Lag>.csv".
[[nodiscard]] std::u16string ResultFileName(const TResultName& Name);

// What a file name (UTF-8, without its folder) says; nullopt for a name that no result file
// has. A distribution's caption is what lies between "_" and the digits that end the name.
[[nodiscard]] std::optional<TResultName> ParseResultFileName(std::string_view FileName);

}  // namespace tavora
