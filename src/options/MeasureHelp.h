#pragma once

// What each measure, index and option means, in the words both front ends show: the
// window's tooltips and the command line's `measure --help-measures` print the same lines.
// Also the short name of every measure, which the command line takes (`-m`) and charts are
// saved under.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Indices.h"
#include "engine/Measures.h"

namespace tavora {

struct TControl;

// Further names a measure is known by (the name, then the measure's own short name).
inline constexpr std::array<std::array<std::string_view, 2>, 1> kMeasureAliases = {{
    {"mattr", "ttr"},  // the average of the window TTRs is the moving-average TTR
}};

// One measure explained: what it says about a text (one sentence), its formula in plain
// notation, its range and where it comes from. Empty fields for a measure not described.
struct TMeasureHelp {
  std::string_view Says;
  std::string_view Formula;
  std::string_view Range;
  std::string_view Source;
};

[[nodiscard]] const TMeasureHelp& MeasureHelp(tMeasure m);
[[nodiscard]] const TMeasureHelp& MeasureHelp(tMeasureSecondary m);
[[nodiscard]] const TMeasureHelp& IndexHelp(tIndex i);

// The symbols the formulas use, one per line.
[[nodiscard]] std::vector<std::string> HelpNotation();

// The lines shown for a measure (UTF-8): what it says, "Formula: ...", "Range: ...",
// "Source: ...", and "Names: ..." with its caption in the window (BoxCaption, empty when
// no box chooses it), its command-line name and its column in the result files.
[[nodiscard]] std::vector<std::string> MeasureHelpLines(tMeasure m, std::u16string_view BoxCaption);
[[nodiscard]] std::vector<std::string> MeasureHelpLines(tMeasureSecondary m,
                                                        std::u16string_view BoxCaption);
// The same for a further index, whose caption is the same in the window and the indices file.
[[nodiscard]] std::vector<std::string> IndexHelpLines(tIndex i);

// The tooltip of an option control: the lines of its measure or index for their boxes, a
// sentence of its own for the other options; empty for panels and free labels.
[[nodiscard]] std::u16string ControlHelp(const TControl& Control);

}  // namespace tavora
