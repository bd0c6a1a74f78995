#include "processing/TProcessTexts.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "base/Utf8.h"
#include "engine/TIndices.h"
#include "engine/TReferenceDictionary.h"
#include "engine/TSimpleTTR.h"
#include "input/AutosemanticRules.h"
#include "input/TTokenizationStream.h"
#include "processing/RunFiles.h"
#include "processing/RunRecord.h"
#include "processing/RunSummary.h"
#include "processing/TDocumentWorkers.h"
#include "processing/TLookAhead.h"
#include "processing/TProgressTicker.h"
#include "processing/TReportClock.h"
#include "processing/TTokenFilter.h"
#include "processing/TTokenPipeline.h"
#include "processing/TTypeCounter.h"
#include "results/TDatabaseSink.h"
#include "results/TDatabaseWriter.h"
#include "results/TOutputStructures.h"

namespace tavora {

namespace {

constexpr std::size_t Slot(tWordOrLemma k) { return static_cast<std::size_t>(k); }

}  // namespace

void TProcessTexts::InputListed(const TOwnFilesLeftOut& leftOut, std::uint64_t totalBytes,
                                const TProgressCallback& progress) {
  if (const std::string warning = leftOut.Warning(); !warning.empty()) Warn(warning);
  // Walking large folders takes a while: a cancel meanwhile is honoured before reading.
  if (progress && !progress(0, totalBytes, 0)) throw TRunCancelled();
}

TProcessTexts::TProcessTexts(std::string locale)
    : lowercaser_(std::move(locale)), threads_(std::max(1u, std::thread::hardware_concurrency())) {}

TProcessTexts::~TProcessTexts() = default;

void TProcessTexts::SetAutosemanticTags(std::u16string_view a) {
  AutosemanticTags = SplitTagPrefixes(a);
}

bool TProcessTexts::IsAutosemantic(THow How, std::u16string_view Tag,
                                   std::u16string_view Lemma) const {
  return IsAutosemantic(InputFormat(How).Autosemantic, Tag, Lemma);
}

bool TProcessTexts::IsAutosemantic(TAutosemanticRule Rule, std::u16string_view Tag,
                                   std::u16string_view Lemma) const {
  return IsAutosemanticTag(Rule, Tag, Lemma, AutosemanticTags);
}

void TProcessTexts::LoadInput(TTokenizationStream& stream, const TCustomVertical& Custom,
                              std::u16string_view InputFile, bool IsWholeText,
                              TOwnFilesLeftOut& leftOut) {
  stream.SetWalkFilter(leftOut.Filter());
  SetUpStream(stream, encoding_, corpus_, Custom);
  if (standardInput_)
    stream.LoadFromStandardInput();
  else if (IsWholeText)
    stream.LoadFromString(InputFile);
  else
    stream.LoadFromFiles(InputFile);
  report_.FilesRead = stream.GetListOfFiles().size();
  report_.SkippedEntries = stream.GetMissingEntries();
  for (std::string& warning : stream.TakeWarnings()) Warn(std::move(warning));
}

void TProcessTexts::Warn(std::string Text) {
  if (diagnostics_) diagnostics_(Text);
  report_.Warnings.push_back(std::move(Text));
}

void TProcessTexts::WarnContinuation(std::u16string_view File, std::uint64_t Document,
                                     std::u16string_view Name, std::u16string_view Id) {
  Warn(ContinuationWarning(File, Document, Name, Id));
}

TDiagnosticSink TProcessTexts::EngineSink() {
  // Without a sink of the caller's, the engines keep writing to standard output.
  if (!diagnostics_) return {};
  return [this](std::string_view line) { Warn(std::string(line)); };
}

void TProcessTexts::Measure(THow How, std::u16string_view InputFile,
                            const std::filesystem::path& OutputFolder, bool IsWholeText,
                            bool DoOmitPunctuation, bool DoOmitDigits, TCasesensitiveness CS,
                            TWordOrLemmaSet WoL, TMeasureSet measures,
                            tMeasureSecondarySet MeasuresSecondary, const TCustomVertical& Custom,
                            std::uint32_t LagLength,
                            const TReferenceDictionaryPair& ReferenceDictionary,
                            TOutputTypeSet OutputTypes, double HillsQ, bool RefDicContrainsText,
                            const TProgressCallback& progress) {
  // The run as its record describes it, with the settings of this object.
  TMeasureParameters p;
  p.How = How;
  p.IsWholeText = IsWholeText;
  p.DoOmitPunctuation = DoOmitPunctuation;
  p.DoOmitDigits = DoOmitDigits;
  p.CS = CS;
  p.WoL = WoL;
  p.measures = measures;
  p.MeasuresSecondary = MeasuresSecondary;
  p.Custom = Custom;
  p.LagLength = LagLength;
  p.ReferenceDictionary = ListNames(ReferenceDictionary);
  p.OutputTypes = OutputTypes;
  p.HillsQ = HillsQ;
  p.RefDicContrainsText = RefDicContrainsText;
  p.AutosemanticTags = JoinTags(AutosemanticTags);
  p.Indices = indices_;
  p.SafeCsv = safeCsv_;
  p.Corpus = corpus_;
  p.Destinations = destinations_;
  Run(p, InputFile, OutputFolder, ReferenceDictionary, progress);
}

void TProcessTexts::Run(const TMeasureParameters& p, std::u16string_view InputFile,
                        const std::filesystem::path& OutputFolder,
                        const TReferenceDictionaryPair& References,
                        const TProgressCallback& progress) try {
  if (p.LagLength == 0) throw std::invalid_argument("The window length must be at least 1.");
  const TReportClock clock(report_);
  reading_.clear();
  inputFile_.clear();
  TTokenizationStream stream(p.How);
  TKindEngines run = MakeEngines(p);
  const TJsonValue description = MeasureRunDescription(p, InputFile);
  TOutputStructures output(p.WoL, p.measures, p.MeasuresSecondary, p.OutputTypes, OutputFolder,
                           description);
  TOwnFilesLeftOut leftOut;
  leftOut.AddFolder(OutputFolder);
  AddSinks(output, leftOut, description, p, OutputFolder);
  for (std::size_t k = 0; k < run.Kinds.size(); ++k) {
    output.ttr[Slot(run.Kinds[k])] = run.Engines[k].get();
    if (!run.Indices.empty()) output.indices[Slot(run.Kinds[k])] = run.Indices[k].get();
  }
  LoadInput(stream, p.Custom, InputFile, p.IsWholeText, leftOut);
  if (stream.GetListOfFiles().size() == 1) inputFile_ = stream.GetListOfFiles().front();
  const std::uint64_t totalBytes = stream.GetTotalBytes();
  InputListed(leftOut, totalBytes, progress);
  output.SetCancelCheck([this, &progress, totalBytes] {
    if (progress && !progress(totalBytes, totalBytes, report_.Tokens)) throw TRunCancelled();
  });
  for (std::size_t k = 0; k < run.Kinds.size(); ++k)
    if (References[run.Kinds[k]] != nullptr)
      run.Engines[k]->SetReferenceDictionary(References[run.Kinds[k]]);
  const TAutosemanticRule rule = RuleOf(InputFormat(p.How), corpus_.AutosemanticRule);
  EnterPhase(TRunPhase::ReadingAndMeasuring);
  // The ticker outlives the reading: the engines' whole-text comparisons at the last
  // document's end report through it.
  TProgressTicker ticker(progress);
  FollowPairComparisons(run, ticker);
  // Inputs whose every file begins a document are measured a file per thread when the run
  // writes no series and no distributions (per-window output).
  std::unique_ptr<TDocumentWorkers> workers;
  if (CanWorkApart(stream, p.IsWholeText) && !p.OutputTypes.Contains(TOutputType::outSerie) &&
      !p.OutputTypes.Contains(TOutputType::outDistribution))
    workers = StartWorkers(MeasuringSetup(p, run.Kinds, rule, References), stream.GetListOfFiles());
  if (workers)
    MeasureApart(*workers, output, progress, totalBytes);
  else
    MeasureInOrder(stream, p, rule, run, output, ticker);
  EnterPhase(p.OutputTypes.Contains(TOutputType::outDistribution) ? TRunPhase::WritingDistributions
                                                                  : TRunPhase::WritingResults);
  output.LastDoc();
  report_.ShortDocuments = output.GetShortDocuments();
} catch (const std::bad_alloc&) {
  throw OutOfMemory();
}

TKindEngines TProcessTexts::MakeEngines(const TMeasureParameters& p) {
  TKindEngines run;
  // The further indices see exactly the strings the engines see.
  const bool withIndices = p.OutputTypes.Contains(TOutputType::outIndices) && !indices_.Empty();
  for (const tWordOrLemma kind : p.WoL) {
    run.Kinds.push_back(kind);
    run.Engines.push_back(std::make_unique<TSimpleTTR>(p.LagLength, p.measures, p.MeasuresSecondary,
                                                       p.HillsQ, p.RefDicContrainsText, 0.5));
    run.Engines.back()->SetDiagnosticSink(EngineSink());
    if (withIndices)
      run.Indices.push_back(std::make_unique<TIndices>(indices_, p.LagLength, indexVariants_));
  }
  return run;
}

void TProcessTexts::AddSinks(TOutputStructures& output, TOwnFilesLeftOut& leftOut,
                             const TJsonValue& description, const TMeasureParameters& p,
                             const std::filesystem::path& OutputFolder) {
  output.SetCsv(destinations_.CsvFiles);
  if (destinations_.Database) {
    const std::filesystem::path database = DatabaseFile(destinations_, OutputFolder);
    output.AddSink(std::make_unique<TDatabaseSink>(
        database, destinations_.ReplaceDatabase,
        DatabaseRun(description, p.LagLength, p.OutputTypes), output.GetRunFolder()));
    leftOut.AddFile(database);
  }
  if (sinkFactory_) output.AddSink(sinkFactory_());
  output.SetSafeCsv(safeCsv_);
  output.SetDocumentIds(corpus_.DocumentIds);
  output.SetPrecision(corpus_.Precision);
}

void TProcessTexts::FollowPairComparisons(TKindEngines& run, TProgressTicker& ticker) {
  for (const std::unique_ptr<TSimpleTTR>& engine : run.Engines) {
    engine->SetPairThreads(threads_);
    engine->SetPairProgress([this, &ticker](std::uint64_t done, std::uint64_t total) {
      // The comparison is a phase of its own while it lasts.
      if (done == 0) {
        const TRunPhase before = phaseNow_;
        EnterPhase(TRunPhase::ComparingPairs);
        phaseBefore_ = before;
      }
      if (pairProgress_) pairProgress_(done, total);
      if (done == total) EnterPhase(phaseBefore_);
      ticker.Again();
    });
  }
}

TWorkerSetup TProcessTexts::MeasuringSetup(const TMeasureParameters& p,
                                           const std::vector<tWordOrLemma>& kinds,
                                           TAutosemanticRule rule,
                                           const TReferenceDictionaryPair& References) const {
  TWorkerSetup setup =
      InputSetup(p.How, p.Custom, p.DoOmitPunctuation, p.DoOmitDigits, p.CS, kinds);
  setup.Rule = rule;
  setup.IsAutosemantic = [this, rule](std::u16string_view tag, std::u16string_view lemma) {
    return IsAutosemantic(rule, tag, lemma);
  };
  setup.LagLength = p.LagLength;
  setup.Measures = p.measures;
  setup.MeasuresSecondary = p.MeasuresSecondary;
  setup.HillsQ = p.HillsQ;
  setup.RefContainsText = p.RefDicContrainsText;
  setup.References = References;
  if (p.OutputTypes.Contains(TOutputType::outIndices)) setup.Indices = indices_;
  setup.IndexVariants = indexVariants_;
  setup.WholeTexts = p.OutputTypes.Contains(TOutputType::outWholeTexts);
  return setup;
}

void TProcessTexts::MeasureInOrder(TTokenizationStream& stream, const TMeasureParameters& p,
                                   TAutosemanticRule rule, TKindEngines& run,
                                   TOutputStructures& output, TProgressTicker& ticker) {
  const TTokenFilter filter(p.DoOmitPunctuation, p.DoOmitDigits);
  TTokenPipeline pipeline(stream, p.WoL.Contains(tWordOrLemma::tokLemma), threads_ > 1,
                          TTokenPipeline::kDefaultBatchSize, &lowercaser_, p.CS,
                          rule == TAutosemanticRule::Upos);
  TLookAhead lookAhead(run.Kinds);
  std::u16string documentId;  // of the current document (reading_ holds its name)
  while (const TTokenBatch* batch = pipeline.Next()) {
    for (const std::string& warning : batch->Warnings()) Warn(warning);
    ticker.Start(*batch);
    report_.Tokens += batch->Size();
    std::size_t document = 0;
    std::size_t continuing = 0;
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      ticker.Before(i);
      lookAhead.Before(*batch, i, run.Engines);
      const TTokenBatch::TWord& token = (*batch)[i];
      if (token.ContinuesDocument) {
        WarnContinuation(batch->ContinuingFile(continuing++), report_.Documents, reading_,
                         documentId);
      }
      // A document begins at its first word even when the filters drop that word.
      if (token.StartsDocument) {
        reading_.assign(batch->DocumentName(document));
        documentId.assign(batch->DocumentId(document));
        output.NewDoc(reading_, documentId);
        ++document;
        ++report_.Documents;
        report_.ShortDocuments = output.GetShortDocuments();
        run.Clear();
      }
      if (!filter.Keeps(token)) continue;
      const bool autosemantic = rule != TAutosemanticRule::None &&
                                IsAutosemantic(rule, batch->Tag(token), batch->Lemma(token));
      run.Feed(*batch, i, autosemantic);
      output.AddToken();
    }
    ticker.Before(batch->Size());
  }
}

bool TProcessTexts::CanWorkApart(const TTokenizationStream& stream, bool IsWholeText) const {
  const std::vector<std::filesystem::path>& files = stream.GetListOfFiles();
  if (threads_ < 2 || IsWholeText || standardInput_ || files.size() < 2) return false;
  return EachFileBeginsADocument(files, stream.GetHow(), stream.GetNewDocMarker(), encoding_,
                                 corpus_.DocumentPerFile);
}

TWorkerSetup TProcessTexts::InputSetup(THow How, const TCustomVertical& Custom,
                                       bool DoOmitPunctuation, bool DoOmitDigits,
                                       TCasesensitiveness CS,
                                       const std::vector<tWordOrLemma>& kinds) const {
  TWorkerSetup setup;
  setup.How = How;
  setup.Encoding = encoding_;
  setup.Corpus = corpus_;
  setup.Custom = Custom;
  setup.OmitPunctuation = DoOmitPunctuation;
  setup.OmitDigits = DoOmitDigits;
  setup.CS = CS;
  setup.Lowercaser = &lowercaser_;
  setup.Kinds = kinds;
  return setup;
}

std::unique_ptr<TDocumentWorkers> TProcessTexts::StartWorkers(
    const TWorkerSetup& setup, const std::vector<std::filesystem::path>& files) const {
  try {
    return std::make_unique<TDocumentWorkers>(setup, files, threads_);
  } catch (const std::system_error&) {
    return nullptr;  // no thread to be had: the run goes on on the calling thread
  }
}

void TProcessTexts::CountApart(TDocumentWorkers& workers, std::vector<TTypeCounter>& counters,
                               const TProgressCallback& progress, std::uint64_t totalBytes) {
  // The lists are sorted when saved, so the order in which counts come together does not show.
  const auto merge = [&counters](std::vector<TTypeCounter>& counts) {
    for (std::size_t k = 0; k < counters.size() && k < counts.size(); ++k) {
      if (counters[k].Size() == 0) {
        counters[k] = std::move(counts[k]);
        continue;
      }
      counts[k].ForEach(
          [&](std::u16string_view text, std::uint64_t count) { counters[k].Add(text, count); });
    }
  };
  while (const auto file = workers.Next(progress, totalBytes)) {
    for (const TDocumentWorkers::TNote& note : file->Notes) Warn(note.Text);
    report_.Tokens += file->Tokens;
    report_.Documents += file->DocumentsBegun;
    if (file->DocumentsBegun > 0) reading_ = file->LastDocument;
    if (file->Error) std::rethrow_exception(file->Error);
    merge(file->Counts);
  }
  for (std::vector<TTypeCounter>& counts : workers.TakeCounts()) merge(counts);
}

void TProcessTexts::MeasureApart(TDocumentWorkers& workers, TOutputStructures& output,
                                 const TProgressCallback& progress, std::uint64_t totalBytes) {
  while (const auto file = workers.Next(progress, totalBytes)) {
    for (const TDocumentWorkers::TNote& note : file->Notes) {
      // Engine lines go where the engines of a run on one thread send them.
      if (note.FromEngine && !diagnostics_)
        WriteDiagnosticToStandardOutput(note.Text);
      else
        Warn(note.Text);
    }
    report_.Tokens += file->Tokens;
    for (const TMeasuredDocument& document : file->Documents) {
      reading_ = document.Name;
      output.AddMeasuredDocument(document);
      ++report_.Documents;
      report_.ShortDocuments = output.GetShortDocuments();
    }
    if (file->Error) std::rethrow_exception(file->Error);
  }
}

std::runtime_error TProcessTexts::OutOfMemory() const {
  // The run's memory is freed by now; the message names the document it was reading.
  // Before the first document began, the input is named when it is one file.
  return std::runtime_error(OutOfMemoryMessage(
      Utf16ToUtf8(reading_), report_.FilesRead == 1 ? inputFile_.string() : std::string()));
}

void TProcessTexts::Measure(const TMeasureParameters& p,
                            const TReferenceDictionaryPair& ReferenceDictionary,
                            const TProgressCallback& progress) {
  SetAutosemanticTags(p.AutosemanticTags);
  SetIndices(p.Indices);
  SetSafeCsv(p.SafeCsv);
  SetCorpusOptions(p.Corpus);
  SetResultDestinations(p.Destinations);
  SetEncoding(p.Encoding);
  SetStandardInput(p.IsStandardInput);
  SetIndexVariants(p.IndexVariants);
  Measure(p.How, p.InputFile, p.OutputFolder, p.IsWholeText, p.DoOmitPunctuation, p.DoOmitDigits,
          p.CS, p.WoL, p.measures, p.MeasuresSecondary, p.Custom, p.LagLength, ReferenceDictionary,
          p.OutputTypes, p.HillsQ, p.RefDicContrainsText, progress);
}

TPreparedDictionaries TProcessTexts::PrepareDictionary(
    THow How, std::u16string_view InputFile, const std::filesystem::path& OutputFileWF,
    const std::filesystem::path& OutputFileLemma, bool IsWholeText, bool DoOmitPunctuation,
    bool DoOmitDigits, TCasesensitiveness CS, TWordOrLemmaSet WoL, const TCustomVertical& Custom,
    const TProgressCallback& progress) try {
  const TReportClock clock(report_);
  reading_.clear();
  inputFile_.clear();
  std::vector<std::filesystem::path> targets;
  for (const tWordOrLemma kind : WoL) {
    targets.push_back(kind == tWordOrLemma::tokWord ? OutputFileWF : OutputFileLemma);
    CreateListFolder(targets.back(), kind);
  }
  const auto locks = LockListFolders(targets);
  TOwnFilesLeftOut leftOut;
  for (const std::filesystem::path& target : targets) leftOut.AddFile(target);
  std::unique_ptr<TDatabaseWriter> database;
  if (destinations_.Database && !targets.empty()) {
    TDictionaryParameters described;
    described.How = How;
    described.OutputFileWF = OutputFileWF.u16string();
    described.OutputFileLemma = OutputFileLemma.u16string();
    described.IsWholeText = IsWholeText;
    described.DoOmitPunctuation = DoOmitPunctuation;
    described.DoOmitDigits = DoOmitDigits;
    described.CS = CS;
    described.WoL = WoL;
    described.Custom = Custom;
    described.Corpus = corpus_;
    described.Destinations = destinations_;
    database = OpenListDatabase(DictionaryRunDescription(described, InputFile), destinations_,
                                targets.front(), locks);
    leftOut.AddFile(database->GetFile());
  }
  TTokenizationStream stream(How);
  TPreparedDictionaries lists;
  for (const tWordOrLemma kind : WoL) lists[Slot(kind)] = std::make_unique<TReferenceDictionary>();
  LoadInput(stream, Custom, InputFile, IsWholeText, leftOut);
  if (stream.GetListOfFiles().size() == 1) inputFile_ = stream.GetListOfFiles().front();
  InputListed(leftOut, stream.GetTotalBytes(), progress);

  std::vector<tWordOrLemma> kinds;
  for (const tWordOrLemma kind : WoL) kinds.push_back(kind);
  const std::size_t kindCount = kinds.size();
  std::vector<TTypeCounter> counters(kindCount);
  EnterPhase(TRunPhase::ReadingAndCounting);

  // Inputs whose every file begins a document are counted a file per thread; the files'
  // counts are added up in input order, which keeps the lists' order of first occurrence.
  std::unique_ptr<TDocumentWorkers> workers;
  if (CanWorkApart(stream, IsWholeText)) {
    TWorkerSetup setup = InputSetup(How, Custom, DoOmitPunctuation, DoOmitDigits, CS, kinds);
    setup.Count = true;
    workers = StartWorkers(setup, stream.GetListOfFiles());
  }
  if (workers) {
    CountApart(*workers, counters, progress, stream.GetTotalBytes());
  } else {
    CountInOrder(stream, kinds, TTokenFilter(DoOmitPunctuation, DoOmitDigits), CS, counters,
                 progress);
  }
  EnterPhase(TRunPhase::WritingLists);
  for (std::size_t k = 0; k < kindCount; ++k) counters[k].MoveInto(*lists[Slot(kinds[k])]);
  counters = {};  // the lists hold the texts now

  SaveLists(lists, WoL, OutputFileWF, OutputFileLemma, database.get(),
            [this](std::string text) { Warn(std::move(text)); });
  return lists;
} catch (const std::bad_alloc&) {
  throw OutOfMemory();
}

void TProcessTexts::CountInOrder(TTokenizationStream& stream,
                                 const std::vector<tWordOrLemma>& kinds, const TTokenFilter& filter,
                                 TCasesensitiveness CS, std::vector<TTypeCounter>& counters,
                                 const TProgressCallback& progress) {
  const bool withLemma =
      std::find(kinds.begin(), kinds.end(), tWordOrLemma::tokLemma) != kinds.end();
  TProgressTicker ticker(progress);
  TTokenPipeline pipeline(stream, withLemma, threads_ > 1, TTokenPipeline::kDefaultBatchSize,
                          &lowercaser_, CS);
  TLookAhead lookAhead(kinds);
  while (const TTokenBatch* batch = pipeline.Next()) {
    for (const std::string& warning : batch->Warnings()) Warn(warning);
    ticker.Start(*batch);
    report_.Tokens += batch->Size();
    std::size_t document = 0;
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      ticker.Before(i);
      lookAhead.Before(*batch, i, counters);
      const TTokenBatch::TWord& token = (*batch)[i];
      if (token.StartsDocument) {
        ++report_.Documents;
        reading_ = batch->DocumentName(document++);
      }
      if (!filter.Keeps(token)) continue;
      for (std::size_t k = 0; k < kinds.size(); ++k) counters[k].Add(*batch, i, kinds[k]);
    }
    ticker.Before(batch->Size());
  }
}

TPreparedDictionaries TProcessTexts::PrepareDictionary(const TDictionaryParameters& p,
                                                       const TProgressCallback& progress) {
  SetCorpusOptions(p.Corpus);
  SetResultDestinations(p.Destinations);
  SetEncoding(p.Encoding);
  SetStandardInput(p.IsStandardInput);
  return PrepareDictionary(p.How, p.InputFile, p.OutputFileWF, p.OutputFileLemma, p.IsWholeText,
                           p.DoOmitPunctuation, p.DoOmitDigits, p.CS, p.WoL, p.Custom, progress);
}

}  // namespace tavora
