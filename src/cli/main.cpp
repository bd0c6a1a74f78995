// tavora-cli: the command-line front end. Parses the arguments (TCommandLine), turns them
// into run parameters through the window's option model (TCliOptionMapper) and runs
// TProcessTexts (TCliRunner).

#include <exception>
#include <iostream>
#include <string>

#include "cli/TCliRunner.h"
#include "cli/TCommandLine.h"
#include "cli/TUsageError.h"

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
    tavora::TCommandLine commandLine;
    if (const auto status = commandLine.Parse(argc, argv)) return *status;
    return tavora::TCliRunner(commandLine.Choices()).Run();
  } catch (const std::exception& e) {
    const bool usage = dynamic_cast<const tavora::TUsageError*>(&e) != nullptr;
    std::cout.flush();
    std::cerr << "tavora-cli: " << (usage ? "error: " : "") << OneLine(e.what())
              << (usage ? " (run tavora-cli --help)" : "") << "\n";
    return usage ? 2 : 1;
  }
}
