#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "processing/RunOptions.h"

namespace tavora {

// What the command line asks for, as typed (names not yet resolved). Start values are the
// main window's, filled in by TCommandLine from the option model.
struct TCliChoices {
  enum class TTask { Measure, FreqList, Plot };

  TTask Task = TTask::Measure;
  std::vector<std::string> Inputs;  // files and folders, or the single "-"

  // Shared options.
  std::string Format;
  std::string Case;
  bool KeepPunctuation = false;
  bool KeepDigits = false;
  std::string Kinds;
  int WordColumn = 1;
  int LemmaColumn = 0;  // used only when given; the word column otherwise
  int TagColumn = 0;    // used only when given; the word column otherwise
  std::string DocMarker;
  bool UniversalDependencies = false;
  std::string Encoding;  // of the input files; empty: UTF-8
  unsigned Threads = 0;  // 0: the run's default, one per core

  // Lists: reference lists to read (measure) or frequency lists to write (freqlist).
  std::string WordList;
  std::string LemmaList;

  // The results database (with "sqlite" in Outputs): another file than the output folder's,
  // and whether the run replaces the database's earlier runs.
  std::string Database;
  bool ReplaceDatabase = false;

  // measure only (and Outputs for freqlist, where only "sqlite" is known).
  std::string OutputFolder;
  std::int64_t Window = 0;
  std::string Measures;
  std::string Outputs;
  std::string Indices;  // further indices of the "indices" family; the default set when not given
  std::string MtldThreshold;
  std::string MtldRule;
  std::int64_t HddSample = 0;
  std::string LogBase;
  std::int64_t Seed = 0;
  std::string HillsQ;
  bool ReferenceContainsTexts = false;
  std::string AutosemanticTags;
  bool SafeCsv = false;  // off on the command line, so that its files stay byte-exact
  std::string AutosemanticRule{AutosemanticRuleName(TAutosemanticChoice::Builtin)};
  bool DocumentPerFile = false;
  bool DocumentIds = false;
  std::string Precision{PrecisionName(TPrecision::Fixed)};

  // plot only.
  std::string PlotMeasure;
  std::string PlotOut;
  std::string PlotFolder;
  std::string PlotDoc = "1";  // a document number, or a document id
  std::string PlotKind{KindName(tWordOrLemma::tokWord)};
  std::int64_t PlotWindow = 0;  // 0: the smallest window length in the folder

  // Long names of the options given on the command line ("lemma-column").
  std::vector<std::string> Given;

  [[nodiscard]] bool IsGiven(std::string_view LongName) const {
    for (const std::string& name : Given)
      if (name == LongName) return true;
    return false;
  }

  // Whether the input is the text on standard input ("-").
  [[nodiscard]] bool ReadsStandardInput() const { return Inputs.size() == 1 && Inputs[0] == "-"; }
};

}  // namespace tavora
