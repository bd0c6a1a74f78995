#include "cli/TCliRunner.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "base/Paths.h"
#include "base/Platform.h"
#include "base/Utf8.h"
#include "cli/CliNames.h"
#include "cli/TCancelSignals.h"
#include "cli/TCliOptionMapper.h"
#include "cli/TProgressBar.h"
#include "cli/TUsageError.h"
#include "processing/RunSummary.h"
#include "processing/TProcessTexts.h"

#ifdef TAVORA_WITH_PLOT
#include "charts/TChartPlotter.h"
#endif

namespace fs = std::filesystem;

namespace tavora {

namespace {

fs::path PathOf(std::u16string_view text) { return fs::path(std::u16string(text)); }

// Series above this estimated size are announced before the run.
constexpr double kLargeSeriesBytes = 1e9;

// Bytes of input per token, roughly, by input format: a word and a blank in running text, a
// line of columns in the vertical formats, markup around every word in BNC XML.
double BytesPerToken(THow how) {
  switch (how) {
    case THow::jSYN:
    case THow::jCOCA:
    case THow::jCustomVertical:
      return 20;
    case THow::jCONLLU:
      return 50;
    case THow::jBNC:
      return 80;
    default:
      return 6;
  }
}

// The bytes of the series files, estimated from the input's size: one row per token and
// kind, about ten bytes a column.
double EstimatedSeriesBytes(std::uint64_t inputBytes, const TMeasureParameters& p) {
  const double rows =
      static_cast<double>(inputBytes) / BytesPerToken(p.How) * static_cast<double>(p.WoL.Count());
  const double columns =
      1.0 + static_cast<double>(p.measures.Count() + p.MeasuresSecondary.Count());
  return rows * (columns * 10.0 + 2.0);
}

// The size of the files of the input entries, folders with their sub-folders.
std::uint64_t InputBytes(const std::vector<std::string>& inputs) {
  std::uint64_t bytes = 0;
  for (const std::string& input : inputs) {
    const fs::path path = PathOf(Utf8ToUtf16(input));
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
      bytes += fs::file_size(path, ec);
      continue;
    }
    for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code size;
      if (it->is_regular_file(size)) bytes += it->file_size(size);
    }
  }
  return bytes;
}

std::string Gigabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
  return text;
}

}  // namespace

int TCliRunner::Run() {
  switch (choices_.Task) {
    case TCliChoices::TTask::Measure:
      return Measure();
    case TCliChoices::TTask::FreqList:
      return FreqList();
    case TCliChoices::TTask::Plot:
      return Plot();
  }
  return FreqList();
}

int TCliRunner::Plot() {
#ifdef TAVORA_WITH_PLOT
  TPlotRequest request;
  // The measure by its command-line name, or by its caption as the header has it.
  if (const auto m = FindCliMeasure(choices_.PlotMeasure)) {
    request.Caption = m->IsSecondary
                          ? MeasureSecondaryCaption(static_cast<tMeasureSecondary>(m->Ordinal))
                          : MeasureCaption(static_cast<tMeasure>(m->Ordinal));
  } else {
    for (const TCliMeasure& c : kCliMeasures) {
      const std::u16string_view caption =
          c.IsSecondary ? MeasureSecondaryCaption(static_cast<tMeasureSecondary>(c.Ordinal))
                        : MeasureCaption(static_cast<tMeasure>(c.Ordinal));
      if (Utf16ToUtf8(caption) == choices_.PlotMeasure) request.Caption = caption;
    }
    if (request.Caption.empty())
      throw TUsageError("--measure: " + UnknownMeasureMessage(choices_.PlotMeasure));
  }
  request.Folder = PathOf(Utf8ToUtf16(choices_.PlotFolder));
  request.Out = PathOf(Utf8ToUtf16(choices_.PlotOut));
  request.Doc = choices_.PlotDoc;
  request.Kind = choices_.PlotKind == "lemma" ? tWordOrLemma::tokLemma : tWordOrLemma::tokWord;
  request.Lag = choices_.PlotWindow;
  TChartPlotter::Plot(request);
  std::cout << "Chart written to \"" << choices_.PlotOut << "\".\n";
  return 0;
#else
  throw TUsageError("plot is not available in this build");
#endif
}

void TCliRunner::CheckInputs() const {
  if (choices_.ReadsStandardInput()) return;
  std::vector<fs::path> missing;
  for (const std::string& input : choices_.Inputs) {
    if (input == "-") throw TUsageError("- must be the only INPUT");
    if (input.find_first_of("\r\n") != std::string::npos) {
      throw TUsageError("An INPUT name cannot hold a line break");
    }
    std::error_code ec;
    const fs::path path = PathFromCommandLine(input);
    if (!fs::exists(path, ec)) missing.push_back(path);
  }
  // A missing entry adds nothing to the input, as in the window; the run goes on with the
  // others. With none left there is nothing to measure, which is a failure, not a result.
  if (missing.size() == choices_.Inputs.size()) {
    throw std::runtime_error("Cannot open input " + QuotedPath(missing.front()) +
                             ": no such file or folder.");
  }
  for (const fs::path& input : missing) {
    std::cerr << "tavora-cli: warning: input " << QuotedPath(input)
              << " does not exist; skipped.\n";
  }
}

std::u16string TCliRunner::InputText() const {
  // Standard input is read by the run itself, as it arrives.
  if (choices_.ReadsStandardInput()) return {};
  // Names that are not UTF-8 travel escaped (PathToUtf16).
  std::u16string list;
  for (const std::string& input : choices_.Inputs) {
    if (!list.empty()) list += u"\n";
    list += PathToUtf16(PathFromCommandLine(input));
  }
  return list;
}

void TCliRunner::PrintWarnings(const std::vector<std::string>& Warnings) {
  for (const std::string& line : Warnings) std::cerr << "tavora-cli: warning: " << line << "\n";
}

int TCliRunner::Measure() {
  TCancelSignals signals;
  // Every usage error comes out before any file is looked at; the lists before the inputs.
  TCliOptionMapper mapper(choices_, model_);
  TMeasureParameters p = mapper.MeasureParameters();
  PrintWarnings(mapper.Warnings());
  const TReferenceDictionaryPair lists = lists_.Resolve(p.ReferenceDictionary);
  CheckInputs();
  p.InputFile = InputText();

  if (p.OutputTypes.Contains(TOutputType::outSerie) && !choices_.ReadsStandardInput()) {
    const std::uint64_t input = InputBytes(choices_.Inputs);
    const double series = EstimatedSeriesBytes(input, p);
    if (series > kLargeSeriesBytes) {
      std::cerr << "tavora-cli: warning: the series files will take about " << Gigabytes(series)
                << " (estimated from " << Gigabytes(static_cast<double>(input))
                << " of input); leave series out of --outputs to go without them.\n";
    }
  }

  TProgressBar progress(IsStandardErrorTerminal());
  TProcessTexts processor;
  if (choices_.Threads > 0) processor.SetThreads(choices_.Threads);
  processor.SetDiagnosticSink([&progress](std::string_view line) {
    progress.Finish();  // the bar is drawn again at the next report
    std::cerr << "tavora-cli: warning: " << line << "\n";
  });
  processor.SetPhaseCallback(progress.PhaseCallback());
  processor.SetPairProgressCallback(progress.PairCallback());
  signals.Defer();  // the run writes from here on: a signal lets it clean up
  processor.Measure(p, lists, progress.Callback());
  progress.Finish();
  std::cout << "Complete! Results are in " << QuotedPath(PathOf(p.OutputFolder)) << ".";
  const TRunReport& report = processor.GetReport();
  if (report.ShortDocuments > 0) {
    std::cout << " " << report.ShortDocuments << " of " << report.Documents
              << (report.Documents == 1 ? " document was" : " documents were")
              << " shorter than the window of " << p.LagLength << " tokens; "
              << (report.ShortDocuments == 1 ? "its" : "their") << " averages are NaN.";
  }
  std::cout << "\n";
  PrintSummary(report, p.LagLength);
  return 0;
}

void TCliRunner::PrintSummary(const TRunReport& Report, std::uint32_t Window) {
  for (const std::string& line : RunSummaryLines(Report, Window)) std::cout << line << "\n";
}

int TCliRunner::FreqList() {
  TCancelSignals signals;
  TCliOptionMapper mapper(choices_, model_);
  TDictionaryParameters p = mapper.DictionaryParameters();
  PrintWarnings(mapper.Warnings());
  CheckInputs();
  p.InputFile = InputText();

  TProgressBar progress(IsStandardErrorTerminal());
  TProcessTexts processor;
  if (choices_.Threads > 0) processor.SetThreads(choices_.Threads);
  processor.SetDiagnosticSink([&progress](std::string_view line) {
    progress.Finish();
    std::cerr << "tavora-cli: warning: " << line << "\n";
  });
  processor.SetPhaseCallback(progress.PhaseCallback());
  signals.Defer();
  const TPreparedDictionaries prepared = processor.PrepareDictionary(p, progress.Callback());
  progress.Finish();
  std::cout << "Complete!";
  if (prepared[0]) std::cout << " Word forms: " << QuotedPath(PathOf(p.OutputFileWF)) << ".";
  if (prepared[1]) std::cout << " Lemmata: " << QuotedPath(PathOf(p.OutputFileLemma)) << ".";
  std::cout << "\n";
  PrintSummary(processor.GetReport(), 0);
  return 0;
}

}  // namespace tavora
