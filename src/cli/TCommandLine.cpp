#include "cli/TCommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "base/Version.h"
#include "cli/CliNames.h"
#include "cli/TUsageError.h"
#include "engine/Indices.h"
#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {

namespace {

std::vector<std::string> Strings(const auto& names) {
  return std::vector<std::string>(names.begin(), names.end());
}

std::string MeasureNames(bool secondary) {
  std::string names;
  for (const TCliMeasure& m : kCliMeasures) {
    if (m.IsSecondary != secondary) continue;
    if (!names.empty()) names += ", ";
    names += m.Name;
  }
  return names;
}

void AppendEntry(std::string& text, std::string_view name, const std::vector<std::string>& lines) {
  text += "\n";
  text += name;
  text += "\n";
  for (const std::string& line : lines) text += "  " + line + "\n";
}

// What every measure and index says, as the window's tooltips say it.
std::string HelpMeasuresText(const TOptionsModel& model) {
  std::string text = "Measures of -m, --measures (in result files in this order).\n";
  for (const std::string& line : HelpNotation()) text += "  " + line + "\n";
  for (const TCliMeasure& m : kCliMeasures) {
    const std::string_view box = m.Box();
    const std::u16string caption = box.empty() ? std::u16string() : model.GetCaption(box);
    AppendEntry(text, m.Name,
                m.IsSecondary ? MeasureHelpLines(static_cast<tMeasureSecondary>(m.Ordinal), caption)
                              : MeasureHelpLines(static_cast<tMeasure>(m.Ordinal), caption));
  }
  text += "\nFurther indices of --indices (with --outputs indices), one value per text.\n";
  for (const tIndex i : TIndexSet::All()) AppendEntry(text, IndexName(i), IndexHelpLines(i));
  return text;
}

bool Contains(int argc, const char* const* argv, std::string_view arg) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] == arg) return true;
  return false;
}

}  // namespace

TCommandLine::TCommandLine(const TOptionsModel& model)
    : model_(model),
      app_(std::make_unique<CLI::App>(
          "Tavora measures lexical diversity over a moving window and builds frequency lists.",
          "tavora-cli")) {
  TakeStartValues();

  app_->set_version_flag("--version", "tavora-cli " + std::string(TavoraVersion()));
  app_->set_help_flag();
  app_->set_help_all_flag("-h,--help", "Print this help (every command and option) and exit");
  app_->require_subcommand(1);
  app_->footer("Exit status: 0 success, 1 failed run, 2 usage error.");

  measure_ = app_->add_subcommand("measure", "Measure lexical diversity and write result files");
  AddSharedOptions(*measure_);
  AddMeasureOptions(*measure_);
  freqList_ =
      app_->add_subcommand("freqlist", "Build frequency lists of word forms and/or lemmata");
  AddSharedOptions(*freqList_);
  AddFreqListOptions(*freqList_);
#ifdef TAVORA_WITH_PLOT
  plot_ = app_->add_subcommand(
      "plot", "Draw the series of a measure from an output folder into a PNG or SVG file");
  AddPlotOptions(*plot_);
#endif
}

TCommandLine::~TCommandLine() = default;

// The start values of the window.
void TCommandLine::TakeStartValues() {
  choices_.Format = kCliFormatNames[0];
  choices_.Case =
      kCaseNames[static_cast<std::size_t>(model_.GetItemIndex(ctl::RadioGroupCaseSensitivity))];
  choices_.KeepPunctuation = !model_.IsChecked(ctl::CheckBoxOmitPunctuation);
  choices_.KeepDigits = !model_.IsChecked(ctl::CheckBoxOmitDigits);
  std::vector<std::string> kinds;
  for (const TCliKind& k : kCliKinds)
    if (model_.IsChecked(k.Box())) kinds.emplace_back(k.Name);
  choices_.Kinds = JoinNames(
      kinds, [](const std::string& s) { return s; }, ",");
  choices_.WordColumn = model_.GetValue(ctl::SpinEditWord);
  choices_.LemmaColumn = choices_.WordColumn;
  choices_.TagColumn = choices_.WordColumn;
  choices_.DocMarker = Utf16ToUtf8(model_.GetText(ctl::EditTextBegin));
  choices_.Window = model_.GetValue(ctl::SpinEditWindowLength);
  std::vector<std::string> measures;
  for (const TCliMeasure& m : kCliMeasures)
    if (!m.Box().empty() && model_.IsChecked(m.Box())) measures.emplace_back(m.Name);
  choices_.Measures = JoinNames(
      measures, [](const std::string& s) { return s; }, ",");
  std::vector<std::string> outputs;
  for (const TCliOutput& o : kCliOutputs)
    if (model_.IsChecked(o.Box())) outputs.emplace_back(o.Name);
  choices_.Outputs = JoinNames(
      outputs, [](const std::string& s) { return s; }, ",");
  choices_.HillsQ = Utf16ToUtf8(model_.GetText(ctl::EditHillsQ));
  choices_.ReferenceContainsTexts = model_.IsChecked(ctl::CheckBoxReferenceContains);
  choices_.AutosemanticTags = Utf16ToUtf8(model_.GetText(ctl::EditTagsForAutosemantics));
  choices_.MtldThreshold = Utf16ToUtf8(model_.GetText(ctl::EditMtldThreshold));
  choices_.MtldRule =
      kCliMtldRuleNames[static_cast<std::size_t>(model_.GetItemIndex(ctl::RadioGroupMtldRule))];
  choices_.HddSample = model_.GetValue(ctl::SpinEditHddSample);
  choices_.LogBase =
      kCliLogBaseNames[static_cast<std::size_t>(model_.GetItemIndex(ctl::RadioGroupLogBase))];
  choices_.Seed = model_.GetValue(ctl::SpinEditSeed);
}

void TCommandLine::AddSharedOptions(CLI::App& command) {
  command
      .add_option("INPUT", choices_.Inputs,
                  "Input files and folders (folders are read recursively, entries in name "
                  "order); a single - reads the text from standard input")
      ->required();
  command.add_option("-f,--format", choices_.Format, "Input format (any letter case)")
      ->transform(CLI::IsMember(Strings(kCliFormatNames), CLI::ignore_case))
      ->capture_default_str();
  command
      .add_option("--case", choices_.Case,
                  "Case of word forms: sensitive (never lowered), lemma (lowered unless the "
                  "lemma has a capital), insensitive (always lowered)")
      ->check(CLI::IsMember(Strings(kCaseNames)))
      ->capture_default_str();
  command.add_flag("--keep-punctuation", choices_.KeepPunctuation,
                   "Keep punctuation tokens (default: omitted)");
  command.add_flag("--keep-digits", choices_.KeepDigits, "Keep digit tokens (default: omitted)");
  command.add_option("--kinds", choices_.Kinds, "What is measured: word, lemma or word,lemma")
      ->capture_default_str();
  command
      .add_option("--word-column", choices_.WordColumn,
                  "Custom vertical: column of the word form, counted from 1")
      ->check(CLI::Range(1, 128))
      ->capture_default_str();
  command
      .add_option("--lemma-column", choices_.LemmaColumn,
                  "Custom vertical: column of the lemma (default: the word column)")
      ->check(CLI::Range(1, 128));
  command
      .add_option("--tag-column", choices_.TagColumn,
                  "Custom vertical: column of the tag (default: the word column)")
      ->check(CLI::Range(1, 128));
  command
      .add_option("--doc-marker", choices_.DocMarker,
                  "Custom vertical: text that begins a line opening a new document")
      ->capture_default_str();
  command.add_flag("--ud", choices_.UniversalDependencies,
                   "CoNLL-U: Universal Dependencies conventions (multiword-token ranges and "
                   "empty nodes are not words; content words by UPOS unless "
                   "--autosemantic-rule says otherwise)");
  command.add_option("--encoding", choices_.Encoding,
                     "Encoding of the input files and standard input, any name ICU knows "
                     "(windows-1250, windows-1252, ISO-8859-2, KOI8-R, UTF-16LE, ...); default "
                     "UTF-8, or UTF-16 when a file starts with a byte-order mark");
  command
      .add_option("--threads", choices_.Threads,
                  "Threads of the run (default: one per core): with 2 or more, one reads the "
                  "input while another measures, and the whole-text difference shares its "
                  "pairs of types out to all; the results are the same with any number")
      ->check(CLI::Range(1u, 1024u));
}

void TCommandLine::AddMeasureOptions(CLI::App& command) {
  command
      .add_option("-o,--output", choices_.OutputFolder,
                  "Folder for the result files (created with missing parents)")
      ->required();
  command.add_option("-w,--window", choices_.Window, "Window length in tokens")
      ->check(CLI::Range(std::int64_t{1}, std::int64_t{1000000}))
      ->capture_default_str();
  command
      .add_option("-m,--measures", choices_.Measures,
                  "Comma-separated measures, in any letter case (tokens is always included). "
                  "Basic: " +
                      MeasureNames(false) + ". Secondary: " + MeasureNames(true) +
                      " (mattr is another name of ttr)")
      ->capture_default_str();
  command.add_flag("--help-measures")
      ->description(
          "Print what every measure and index says, with its formula, range and source, and exit");
  command
      .add_option(
          "--outputs", choices_.Outputs,
          "Comma-separated result families: " +
              JoinNames(
                  kCliOutputs, [](const TCliOutput& o) { return std::string(o.Name); }, ", ") +
              "; and where they go: csv (the CSV files, the default), sqlite (the results "
              "database; with csv too for both)")
      ->capture_default_str();
  AddIndexOptions(command);
  AddReferenceAndCorpusOptions(command);
}

// The further indices and the variants of their definitions.
void TCommandLine::AddIndexOptions(CLI::App& command) {
  command.add_option(
      "--indices", choices_.Indices,
      "Comma-separated further indices of the indices family: " +
          JoinNames(
              TIndexSet::All(), [](tIndex i) { return std::string(IndexName(i)); }, ", ") +
          ", or all (default: " +
          JoinNames(
              kDefaultIndices, [](tIndex i) { return std::string(IndexName(i)); }, ", ") +
          ")");
  command
      .add_option("--mtld-threshold", choices_.MtldThreshold,
                  "TTR at which a factor of MTLD and MTLD-MA ends, between 0 and 1")
      ->capture_default_str();
  command
      .add_option("--mtld-rule", choices_.MtldRule,
                  "When an MTLD factor ends: le (TTR <= threshold) or lt-min10 (TTR < "
                  "threshold with at least 10 tokens in the factor)")
      ->check(CLI::IsMember(Strings(kCliMtldRuleNames)))
      ->capture_default_str();
  command.add_option("--hdd-sample", choices_.HddSample, "Sample size of HD-D in tokens")
      ->check(CLI::Range(std::int64_t{1}, std::int64_t{1000000}))
      ->capture_default_str();
  command
      .add_option("--log-base", choices_.LogBase,
                  "Logarithm of Maas, Dugast and Summer: e (natural) or 10 (decimal)")
      ->check(CLI::IsMember(Strings(kCliLogBaseNames)))
      ->capture_default_str();
  command
      .add_option("--seed", choices_.Seed,
                  "Seed of vocd-D's random samples; the same seed gives the same values")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{2147483647}))
      ->capture_default_str();
}

// Hill's q, the reference lists, content words, documents and how values are written.
void TCommandLine::AddReferenceAndCorpusOptions(CLI::App& command) {
  command
      .add_option("--hill-q", choices_.HillsQ,
                  "Order q of Hill's continuum, a decimal number with \".\"")
      ->capture_default_str();
  command.add_option(
      "--word-list", choices_.WordList,
      "Reference frequency list of word forms (for the cross and relative measures)");
  command.add_option("--lemma-list", choices_.LemmaList, "Reference frequency list of lemmata");
  command.add_flag("--reference-contains-texts", choices_.ReferenceContainsTexts,
                   "The reference corpus contains the measured texts (default: it does not)");
  command
      .add_option("--autosemantic-tags", choices_.AutosemanticTags,
                  "Tag prefixes of autosemantic words, separated by | (custom vertical, and "
                  "--autosemantic-rule prefixes)")
      ->capture_default_str();
  command
      .add_option("--autosemantic-rule", choices_.AutosemanticRule,
                  "Rule of autosemantic (content) words: builtin (the format's own), upos "
                  "(CoNLL-U UPOS NOUN, PROPN, VERB, ADJ, ADV), prefixes (--autosemantic-tags)")
      ->check(CLI::IsMember(Strings(kAutosemanticRuleNames)))
      ->capture_default_str();
  command.add_flag("--document-per-file", choices_.DocumentPerFile,
                   "Every input file starts a new document, also in formats with a document "
                   "marker");
  command.add_flag("--doc-ids", choices_.DocumentIds,
                   "Add a \"Document id\" column (the id the input gives) to the averages, "
                   "whole-text and indices files");
  command
      .add_option("--precision", choices_.Precision,
                  "fixed (the measures' digits) or full (the shortest text that reads back "
                  "to the same number)")
      ->check(CLI::IsMember(Strings(kPrecisionNames)))
      ->capture_default_str();
  AddDatabaseOptions(command, "the output folder");
  command.add_flag("--safe-csv", choices_.SafeCsv,
                   "Write document names that begin with =, +, - or @ with an apostrophe before "
                   "them, so that spreadsheet programs do not run them as formulas (default: "
                   "written as they are)");
}

void TCommandLine::AddFreqListOptions(CLI::App& command) {
  command.add_option("--word-list", choices_.WordList, "File to write the list of word forms to");
  command.add_option("--lemma-list", choices_.LemmaList, "File to write the list of lemmata to");
  command.add_option("--outputs", choices_.Outputs,
                     "sqlite: write the lists into the results database too");
  AddDatabaseOptions(command, "the folder of the first list");
}

void TCommandLine::AddDatabaseOptions(CLI::App& command, const std::string& where) {
  command.add_option("--database", choices_.Database,
                     "With --outputs sqlite: the results database to write (default: " +
                         std::string(kDatabaseName) + " in " + where + ")");
  command.add_flag("--replace", choices_.ReplaceDatabase,
                   "With --outputs sqlite: the run replaces the database's earlier runs (default: "
                   "it is added to them)");
}

void TCommandLine::AddPlotOptions(CLI::App& command) {
  command
      .add_option("OUTPUT_FOLDER", choices_.PlotFolder,
                  "Folder with the result files of a run, or a results database (.sqlite)")
      ->required();
  command
      .add_option("--measure", choices_.PlotMeasure,
                  "Measure to draw (a name of --measures, e.g. ttr)")
      ->required();
  command
      .add_option("--out", choices_.PlotOut,
                  "Image file to write: .svg for SVG, .png (or any other name) for PNG")
      ->required();
  command
      .add_option("--doc", choices_.PlotDoc,
                  "Document number (from 1) or document id (as in the \"Document id\" column)")
      ->capture_default_str();
  command.add_option("--kind", choices_.PlotKind, "word or lemma")
      ->check(CLI::IsMember(Strings(kKindNames)))
      ->capture_default_str();
  command
      .add_option("-w,--window", choices_.PlotWindow,
                  "Window length of the series (default: the smallest in the folder)")
      ->check(CLI::Range(std::int64_t{1}, std::int64_t{1000000}));
}

std::optional<int> TCommandLine::Parse(int argc, const char* const* argv) {
  // The command is the first argument unless that is an option (--help, --version).
  if (argc >= 2 && argv[1][0] != '-') {
    std::vector<std::string_view> commands{"measure", "freqlist"};
    if (plot_ != nullptr) commands.emplace_back("plot");
    const std::string_view command = argv[1];
    if (std::find(commands.begin(), commands.end(), command) == commands.end()) {
      throw TUsageError("unknown command '" + std::string(command) + "'; did you mean '" +
                        ClosestName(command, commands) + "'? Commands: " +
                        JoinNames(
                            commands, [](std::string_view c) { return std::string(c); }, ", "));
    }
    // Answered before the other options are checked, as --help is.
    if (command == "measure" && Contains(argc, argv, "--help-measures")) {
      std::cout << HelpMeasuresText(model_);
      return 0;
    }
  }
  try {
    app_->parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app_->exit(e);  // --help or --version
  } catch (const CLI::ParseError& e) {
    throw TUsageError(e.what());
  }
  if (plot_ != nullptr && plot_->parsed()) {
    choices_.Task = TCliChoices::TTask::Plot;
    return std::nullopt;
  }
  CLI::App& command = measure_->parsed() ? *measure_ : *freqList_;
  choices_.Task = measure_->parsed() ? TCliChoices::TTask::Measure : TCliChoices::TTask::FreqList;
  for (const CLI::Option* option : command.get_options()) {
    if (option->count() > 0 && !option->get_lnames().empty())
      choices_.Given.push_back(option->get_lnames().front());
  }
  return std::nullopt;
}

}  // namespace tavora
