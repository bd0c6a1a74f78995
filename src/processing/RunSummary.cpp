#include "processing/RunSummary.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "base/Paths.h"
#include "base/Utf8.h"

namespace tavora {

namespace {

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The warnings in the order first met, each with the number of times it was given.
std::vector<std::pair<std::string, std::uint64_t>> Counted(const std::vector<std::string>& all) {
  std::vector<std::pair<std::string, std::uint64_t>> counted;
  for (const std::string& warning : all) {
    bool found = false;
    for (auto& [text, count] : counted) {
      if (text == warning) {
        ++count;
        found = true;
        break;
      }
    }
    if (!found) counted.emplace_back(warning, 1);
  }
  return counted;
}

}  // namespace

std::vector<std::string> RunSummaryLines(const TRunReport& Report, std::uint32_t Window) {
  std::vector<std::string> lines;
  lines.push_back("Files read: " + GroupedNumber(Report.FilesRead) + ". Documents: " +
                  GroupedNumber(Report.Documents) + ". Tokens: " + GroupedNumber(Report.Tokens) +
                  ". Time: " + FormatDuration(Report.Seconds) + ".");
  if (Window > 0) {
    lines.push_back("Documents shorter than the window of " + GroupedNumber(Window) +
                    " tokens: " + GroupedNumber(Report.ShortDocuments) + ".");
  }
  for (const auto& entry : Report.SkippedEntries)
    lines.push_back("Skipped, does not exist: " + QuotedPath(entry) + ".");
  for (const auto& [text, count] : Counted(Report.Warnings)) {
    lines.push_back(count == 1 ? "Warning: " + text
                               : "Warning (" + GroupedNumber(count) + " times): " + text);
  }
  return lines;
}

std::string GroupedNumber(std::uint64_t Number) {
  std::string digits = std::to_string(Number);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

std::string FormatDuration(double Seconds) {
  if (!(Seconds >= 0)) Seconds = 0;
  if (Seconds < 10) return Fixed(Seconds, 1) + " s";
  const auto whole = static_cast<std::uint64_t>(std::llround(Seconds));
  if (whole < 60) return std::to_string(whole) + " s";
  if (whole < 3600) return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
  return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

std::optional<double> EstimateSecondsLeft(double Share, double Seconds) {
  if (!(Share >= 0.01) || !(Seconds >= 1.0)) return std::nullopt;
  if (Share >= 1.0) return 0.0;
  return Seconds * (1.0 - Share) / Share;
}

std::string FormatTimeLeft(double Seconds) {
  if (!(Seconds >= 5)) return "less than 5 s left";
  if (Seconds < 60) return "about " + std::to_string(std::llround(Seconds / 5) * 5) + " s left";
  if (Seconds < 3600) return "about " + std::to_string(std::llround(Seconds / 60)) + " min left";
  const auto minutes = std::llround(Seconds / 60);
  return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) +
         " min left";
}

std::string ContinuationWarning(std::u16string_view File, std::uint64_t Document,
                                std::u16string_view Name, std::u16string_view Id) {
  std::string text = "File " + QuotedPath(std::filesystem::path(std::u16string(File))) +
                     " has no document marker before its first word: its words were added to "
                     "document " +
                     std::to_string(Document) + " (" +
                     QuotedPath(std::filesystem::path(std::u16string(Name)));
  if (!Id.empty()) text += ", id \"" + Utf16ToUtf8(Id) + "\"";
  return text + ").";
}

std::string OutOfMemoryMessage(const std::string& Name, const std::string& Input) {
  const std::string& named = !Name.empty() ? Name : Input;
  return "Not enough memory to go on reading " +
         (named.empty() ? std::string("the input") : '"' + named + '"') + ".";
}

}  // namespace tavora
