#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/TCliChoices.h"

namespace CLI {
class App;
}

namespace tavora {

class TOptionsModel;

// The command line's grammar: the commands "measure" and "freqlist", their options and
// the input arguments, and, in builds with the window, "plot". Every start value is the main
// window's, read from a fresh option model, so that --help shows what a run without the option
// does.
class TCommandLine {
 public:
  // Model: a fresh option model, read for the start values only.
  explicit TCommandLine(const TOptionsModel& Model);
  ~TCommandLine();
  TCommandLine(const TCommandLine&) = delete;
  TCommandLine& operator=(const TCommandLine&) = delete;

  // Parses the arguments into Choices(). Returns 0 when the program has nothing more to
  // do (--help, --version or measure --help-measures printed); nullopt when Choices() is to
  // be run. Throws TUsageError with a one-line message for arguments that cannot be parsed,
  // an unknown command among them.
  std::optional<int> Parse(int argc, const char* const* argv);

  [[nodiscard]] const TCliChoices& Choices() const noexcept { return choices_; }

 private:
  void AddSharedOptions(CLI::App& command);
  void TakeStartValues();
  void AddMeasureOptions(CLI::App& command);
  void AddIndexOptions(CLI::App& command);
  void AddReferenceAndCorpusOptions(CLI::App& command);
  void AddFreqListOptions(CLI::App& command);
  // --database and --replace; where: the default folder of the database.
  void AddDatabaseOptions(CLI::App& command, const std::string& where);
  void AddPlotOptions(CLI::App& command);

  const TOptionsModel& model_;
  TCliChoices choices_;
  std::unique_ptr<CLI::App> app_;
  CLI::App* measure_ = nullptr;
  CLI::App* freqList_ = nullptr;
  CLI::App* plot_ = nullptr;  // null in builds without the window
};

}  // namespace tavora
