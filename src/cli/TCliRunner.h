#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/TCliChoices.h"
#include "options/TReferenceCache.h"
#include "processing/RunOptions.h"
#include "processing/RunReport.h"

namespace tavora {

class TOptionsModel;

// Carries out the command: sets the option model from the choices (TCliOptionMapper),
// loads the reference lists through the same cache as the window (a named list must
// exist), checks the inputs, runs TProcessTexts over them or standard input (Measure or
// PrepareDictionary) and reports the end on standard output: "Complete!" and a summary of
// what the run did. A measurement run whose series files promise to be huge (over a
// gigabyte, estimated from the input's size) is announced first. Errors pass on as
// exceptions: TUsageError for the command line, std::runtime_error naming the file for
// everything that fails on disk.
class TCliRunner {
 public:
  // Model: the program's option model, fresh, kept alive by the caller.
  TCliRunner(const TCliChoices& Choices, TOptionsModel& Model) : choices_(Choices), model_(Model) {}

  // Returns the exit status of a successful run (0).
  int Run();

 private:
  int Measure();
  int FreqList();
  // Draws a series chart from an output folder (builds with the window only).
  int Plot();
  // Each line on standard error as "tavora-cli: warning: LINE".
  static void PrintWarnings(const std::vector<std::string>& Warnings);
  // Every input argument exists; none holds a line break (the input list has one a line).
  void CheckInputs() const;
  // The input list, one argument a line (empty for standard input).
  [[nodiscard]] std::u16string InputText() const;
  // The closing lines of a run on standard output (Window 0 for a frequency-list run).
  static void PrintSummary(const TRunReport& Report, std::uint32_t Window);

  const TCliChoices& choices_;
  TOptionsModel& model_;
  TReferenceCache lists_;
};

}  // namespace tavora
