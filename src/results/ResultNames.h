#pragma once

// The families of result files and the names of the files: the one place that both the
// writer (TOutputStructures) and the reader (TResultFolder) take them from.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
