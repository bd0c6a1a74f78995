#pragma once

// The texts both front ends show about a run: its closing summary, durations, counts and the
// time left while it goes. UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "processing/RunReport.h"

namespace tavora {

// The summary of a finished run, one line each: files read, documents, tokens and time; for
// a measurement run (Window > 0) the documents shorter than the window; every entry skipped,
// by name; every warning, a warning repeated shown once with its count.
[[nodiscard]] std::vector<std::string> RunSummaryLines(const TRunReport& Report,
                                                       std::uint32_t Window);

// 1234567 as "1,234,567".
[[nodiscard]] std::string GroupedNumber(std::uint64_t Number);

// "0.4 s", "12 s", "3 min 5 s", "2 h 10 min".
[[nodiscard]] std::string FormatDuration(double Seconds);

// The seconds a run still takes, from the share of its input done (0 to 1) and the seconds
// it has taken; nullopt while it is too early to tell (under a second or under 1 % done).
[[nodiscard]] std::optional<double> EstimateSecondsLeft(double Share, double Seconds);

// "about 3 min left", "less than 5 s left".
[[nodiscard]] std::string FormatTimeLeft(double Seconds);

// The warning that the first words of File went on with document Document (named Name,
// with id Id when not empty): the file has no document marker before them.
[[nodiscard]] std::string ContinuationWarning(std::u16string_view File, std::uint64_t Document,
                                              std::u16string_view Name, std::u16string_view Id);

// The message of a run that ran out of memory, naming the document it was reading (Name),
// or else the input when it is one file (Input), or else "the input".
[[nodiscard]] std::string OutOfMemoryMessage(const std::string& Name, const std::string& Input);

}  // namespace tavora
