#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "cli/TCliChoices.h"
#include "engine/TReferenceDictionary.h"
#include "processing/RunOptions.h"

namespace tavora {

// Carries out the command: checks the inputs and reference lists, reads standard input
// when asked, runs TProcessTexts (Measure or PrepareDictionary) and reports the end on
// standard output. Errors pass on as exceptions: TUsageError for the command line,
// std::runtime_error naming the file for everything that fails on disk.
class TCliRunner {
 public:
  explicit TCliRunner(const TCliChoices& Choices) : choices_(Choices) {}

  // Returns the exit status of a successful run (0).
  int Run();

 private:
  int Measure();
  int FreqList();
  // Draws a series chart from an output folder (builds with the window only).
  int Plot();
  // Every input argument exists; none holds a line break (the input list has one a line).
  void CheckInputs() const;
  // The input list, one argument a line, or the text of standard input.
  [[nodiscard]] std::u16string InputText() const;
  // A named list that does not exist is an error (the window would measure against an
  // empty list without a word).
  void CheckReferenceLists(const TWordOrLemmaNames& Names) const;
  // Loads the named reference lists.
  [[nodiscard]] TReferenceDictionaryPair LoadReferenceLists(const TWordOrLemmaNames& Names);

  const TCliChoices& choices_;
  std::array<std::unique_ptr<TReferenceDictionary>, kWordOrLemmaCount> lists_;
};

}  // namespace tavora
