#include "processing/TProcessTexts.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "base/Paths.h"
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
                            const TProgressCallback& progress) try {
  if (LagLength == 0) throw std::invalid_argument("The window length must be at least 1.");

  const TReportClock clock(report_);
  reading_.clear();
  inputFile_.clear();
  TTokenizationStream stream(How);
  std::array<std::unique_ptr<TSimpleTTR>, kWordOrLemmaCount> engines;
  for (const tWordOrLemma kind : WoL) {
    engines[Slot(kind)] = std::make_unique<TSimpleTTR>(LagLength, measures, MeasuresSecondary,
                                                       HillsQ, RefDicContrainsText, 0.5);
    engines[Slot(kind)]->SetDiagnosticSink(EngineSink());
  }
  // The further indices see exactly the strings the engines see.
  std::array<std::unique_ptr<TIndices>, kWordOrLemmaCount> indices;
  const bool withIndices = OutputTypes.Contains(TOutputType::outIndices) && !indices_.Empty();
  if (withIndices) {
    for (const tWordOrLemma kind : WoL)
      indices[Slot(kind)] = std::make_unique<TIndices>(indices_, LagLength, indexVariants_);
  }
  // What the run record of the output folder says of this run.
  TMeasureParameters described;
  described.How = How;
  described.IsWholeText = IsWholeText;
  described.DoOmitPunctuation = DoOmitPunctuation;
  described.DoOmitDigits = DoOmitDigits;
  described.CS = CS;
  described.WoL = WoL;
  described.measures = measures;
  described.MeasuresSecondary = MeasuresSecondary;
  described.Custom = Custom;
  described.LagLength = LagLength;
  described.ReferenceDictionary = ListNames(ReferenceDictionary);
  described.OutputTypes = OutputTypes;
  described.HillsQ = HillsQ;
  described.RefDicContrainsText = RefDicContrainsText;
  described.AutosemanticTags = JoinTags(AutosemanticTags);
  described.Indices = indices_;
  described.SafeCsv = safeCsv_;
  described.Corpus = corpus_;
  described.Destinations = destinations_;
  const TJsonValue description = MeasureRunDescription(described, InputFile);
  TOutputStructures output(WoL, measures, MeasuresSecondary, OutputTypes, OutputFolder,
                           description);
  TOwnFilesLeftOut leftOut;
  leftOut.AddFolder(OutputFolder);
  output.SetCsv(destinations_.CsvFiles);
  if (destinations_.Database) {
    const std::filesystem::path database = DatabaseFile(destinations_, OutputFolder);
    output.AddSink(std::make_unique<TDatabaseSink>(database, destinations_.ReplaceDatabase,
                                                   DatabaseRun(description, LagLength, OutputTypes),
                                                   output.GetRunFolder()));
    leftOut.AddFile(database);
  }
  if (sinkFactory_) output.AddSink(sinkFactory_());
  output.SetSafeCsv(safeCsv_);
  output.SetDocumentIds(corpus_.DocumentIds);
  output.SetPrecision(corpus_.Precision);
  for (const tWordOrLemma kind : WoL) {
    output.ttr[Slot(kind)] = engines[Slot(kind)].get();
    output.indices[Slot(kind)] = indices[Slot(kind)].get();
  }
  LoadInput(stream, Custom, InputFile, IsWholeText, leftOut);
  if (stream.GetListOfFiles().size() == 1) inputFile_ = stream.GetListOfFiles().front();
  const std::uint64_t totalBytes = stream.GetTotalBytes();
  InputListed(leftOut, totalBytes, progress);
  output.SetCancelCheck([this, &progress, totalBytes] {
    if (progress && !progress(totalBytes, totalBytes, report_.Tokens)) throw TRunCancelled();
  });
  for (const tWordOrLemma kind : WoL) {
    if (ReferenceDictionary[kind] != nullptr)
      engines[Slot(kind)]->SetReferenceDictionary(ReferenceDictionary[kind]);
  }

  // The kinds measured, with their engines and indices, in the order of WoL.
  std::vector<tWordOrLemma> kinds;
  std::vector<TSimpleTTR*> kindEngines;
  std::vector<TIndices*> kindIndices;
  for (const tWordOrLemma kind : WoL) {
    kinds.push_back(kind);
    kindEngines.push_back(engines[Slot(kind)].get());
    kindIndices.push_back(indices[Slot(kind)].get());
  }
  const std::size_t kindCount = kinds.size();
  const TAutosemanticRule rule = RuleOf(InputFormat(How), corpus_.AutosemanticRule);
  EnterPhase(TRunPhase::ReadingAndMeasuring);
  const bool tagged = rule != TAutosemanticRule::None;

  // Inputs whose every file begins a document are measured a file per thread when the run
  // writes no series and no distributions (per-window output).
  // The ticker outlives the reading: the engines' whole-text comparisons at the last
  // document's end report through it.
  TProgressTicker ticker(progress);
  for (TSimpleTTR* engine : kindEngines) {
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
  std::unique_ptr<TDocumentWorkers> workers;
  const std::vector<std::filesystem::path>& files = stream.GetListOfFiles();
  if (CanWorkApart(stream, IsWholeText) && !OutputTypes.Contains(TOutputType::outSerie) &&
      !OutputTypes.Contains(TOutputType::outDistribution)) {
    TWorkerSetup setup = InputSetup(How, Custom, DoOmitPunctuation, DoOmitDigits, CS, kinds);
    setup.Rule = rule;
    setup.IsAutosemantic = [this, rule](std::u16string_view tag, std::u16string_view lemma) {
      return IsAutosemantic(rule, tag, lemma);
    };
    setup.LagLength = LagLength;
    setup.Measures = measures;
    setup.MeasuresSecondary = MeasuresSecondary;
    setup.HillsQ = HillsQ;
    setup.RefContainsText = RefDicContrainsText;
    setup.References = ReferenceDictionary;
    if (withIndices) setup.Indices = indices_;
    setup.IndexVariants = indexVariants_;
    setup.WholeTexts = OutputTypes.Contains(TOutputType::outWholeTexts);
    workers = StartWorkers(setup, files);
  }
  if (workers) {
    MeasureApart(*workers, output, progress, totalBytes);
  } else {
    const bool withLemma = WoL.Contains(tWordOrLemma::tokLemma);
    const TTokenFilter filter(DoOmitPunctuation, DoOmitDigits);
    TTokenPipeline pipeline(stream, withLemma, threads_ > 1, TTokenPipeline::kDefaultBatchSize,
                            &lowercaser_, CS, rule == TAutosemanticRule::Upos);
    std::u16string documentId;  // of the current document (reading_ holds its name)
    while (const TTokenBatch* batch = pipeline.Next()) {
      for (const std::string& warning : batch->Warnings()) Warn(warning);
      ticker.Start(*batch);
      report_.Tokens += batch->Size();
      std::size_t document = 0;
      std::size_t continuing = 0;
      for (std::size_t i = 0; i < batch->Size(); ++i) {
        ticker.Before(i);
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
          for (const tWordOrLemma kind : WoL) engines[Slot(kind)]->Clear();
          if (withIndices)
            for (const tWordOrLemma kind : WoL) indices[Slot(kind)]->Clear();
        }
        if (!filter.Keeps(token)) continue;
        const bool autosemantic =
            tagged && IsAutosemantic(rule, batch->Tag(token), batch->Lemma(token));
        for (std::size_t k = 0; k < kindCount; ++k)
          kindEngines[k]->AddToken(TTokenFilter::TextOf(*batch, token, kinds[k]), autosemantic);
        if (withIndices)
          for (std::size_t k = 0; k < kindCount; ++k)
            kindIndices[k]->AddToken(TTokenFilter::TextOf(*batch, token, kinds[k]));
        output.AddToken();
      }
      ticker.Before(batch->Size());
    }
  }
  EnterPhase(OutputTypes.Contains(TOutputType::outDistribution) ? TRunPhase::WritingDistributions
                                                                : TRunPhase::WritingResults);
  output.LastDoc();
  report_.ShortDocuments = output.GetShortDocuments();
} catch (const std::bad_alloc&) {
  throw OutOfMemory();
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
  while (const auto file = workers.Next(progress, totalBytes)) {
    for (const TDocumentWorkers::TNote& note : file->Notes) Warn(note.Text);
    report_.Tokens += file->Tokens;
    report_.Documents += file->DocumentsBegun;
    if (file->DocumentsBegun > 0) reading_ = file->LastDocument;
    for (std::size_t k = 0; k < counters.size() && k < file->Counts.size(); ++k)
      file->Counts[k].ForEach(
          [&](std::u16string_view text, std::uint64_t count) { counters[k].Add(text, count); });
    if (file->Error) std::rethrow_exception(file->Error);
  }
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
    const bool withLemma = WoL.Contains(tWordOrLemma::tokLemma);
    const TTokenFilter filter(DoOmitPunctuation, DoOmitDigits);
    TProgressTicker ticker(progress);
    {
      // The pipeline and its batches are gone before the counts become lists.
      TTokenPipeline pipeline(stream, withLemma, threads_ > 1, TTokenPipeline::kDefaultBatchSize,
                              &lowercaser_, CS);
      while (const TTokenBatch* batch = pipeline.Next()) {
        for (const std::string& warning : batch->Warnings()) Warn(warning);
        ticker.Start(*batch);
        report_.Tokens += batch->Size();
        std::size_t document = 0;
        for (std::size_t i = 0; i < batch->Size(); ++i) {
          ticker.Before(i);
          const TTokenBatch::TWord& token = (*batch)[i];
          if (token.StartsDocument) {
            ++report_.Documents;
            reading_ = batch->DocumentName(document++);
          }
          if (!filter.Keeps(token)) continue;
          for (std::size_t k = 0; k < kindCount; ++k)
            counters[k].Add(TTokenFilter::TextOf(*batch, token, kinds[k]));
        }
        ticker.Before(batch->Size());
      }
    }
  }
  EnterPhase(TRunPhase::WritingLists);
  for (std::size_t k = 0; k < kindCount; ++k) counters[k].MoveInto(*lists[Slot(kinds[k])]);
  counters = {};  // the lists hold the texts now

  for (const tWordOrLemma kind : WoL) {
    TReferenceDictionary& list = *lists[Slot(kind)];
    const std::filesystem::path& file =
        kind == tWordOrLemma::tokWord ? OutputFileWF : OutputFileLemma;
    const std::size_t typesLeftOut = list.Save(file);
    list.ShouldSurvive = true;
    if (typesLeftOut > 0) {
      Warn("The list " + QuotedPath(file) + " leaves out " + std::to_string(typesLeftOut) +
           (typesLeftOut == 1 ? " type that holds" : " types that hold") +
           " a TAB or a line break, which the list format cannot store.");
    }
  }
  if (database) {
    for (const tWordOrLemma kind : WoL) database->AddFrequencyList(kind, *lists[Slot(kind)]);
    database->Commit();
  }
  return lists;
} catch (const std::bad_alloc&) {
  throw OutOfMemory();
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
