// tavora-cli: the command-line front end. Parses the arguments (TCommandLine), turns them
// into run parameters through the window's option model (TCliOptionMapper) and runs
// TProcessTexts (TCliRunner). The code is the library tavora_cli; this file only turns an
// exception into a message and an exit status.

#include <exception>
#include <iostream>
#include <string>

#include "cli/TCancelSignals.h"
#include "cli/TCliRunner.h"
#include "cli/TCommandLine.h"
#include "cli/TUsageError.h"
#include "options/TOptionsModel.h"
#include "processing/RunProgress.h"

namespace {

// The message on one line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    // One option model for the whole program, as the window has: its start values are the
    // defaults of the options, and the command's choices are set on it.
    tavora::TOptionsModel model;
    tavora::TCommandLine commandLine(model);
    if (const auto status = commandLine.Parse(argc, argv)) return *status;
    return tavora::TCliRunner(commandLine.Choices(), model).Run();
  } catch (const tavora::TRunCancelled&) {
    std::cout.flush();
    std::cerr << "tavora-cli: " << tavora::TCancelSignals::kMessage << "\n";
    return 1;
  } catch (const std::exception& e) {
    const bool usage = dynamic_cast<const tavora::TUsageError*>(&e) != nullptr;
    std::cout.flush();
    std::cerr << "tavora-cli: " << (usage ? "error: " : "") << OneLine(e.what())
              << (usage ? " (run tavora-cli --help)" : "") << "\n";
    return usage ? 2 : 1;
  }
}
