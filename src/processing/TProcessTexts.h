#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Indices.h"
#include "engine/Measures.h"
#include "engine/TDiagnosticSink.h"
#include "engine/TReferenceDictionary.h"
#include "input/THow.h"
#include "processing/RunOptions.h"
#include "processing/RunProgress.h"
#include "processing/RunReport.h"
#include "processing/TKindEngines.h"
#include "processing/TLowercaser.h"
#include "results/IResultSink.h"

namespace tavora {

class TTokenizationStream;
class TDocumentWorkers;
struct TWorkerSetup;
class TTypeCounter;
class TOutputStructures;
class TProgressTicker;
class TJsonValue;
class TTokenFilter;

// Drives the work over a whole input: a measurement run (Measure) or the building of
// frequency lists (PrepareDictionary). Both read the input through one token stream, drop
// the tokens the options exclude, and lower word forms as the case option says.
//
// Errors end the call as exceptions: std::runtime_error whose message names the file or
// folder at fault (input that cannot be opened, a result file that cannot be written, an
// output folder that cannot be created), std::invalid_argument for a window length of 0,
// TRunCancelled when the progress callback asks to stop, and std::runtime_error naming the
// document being read when memory runs out. Nothing else is caught inside,
// except that an error met by the reading thread is carried over and rethrown on the
// calling thread where a run on one thread would have raised it.
class TOwnFilesLeftOut;

class TProcessTexts {
 public:
  // locale: the ICU locale whose casing rules lower word forms ("tr" lowers "I" to
  // U+0131); empty means ICU's default locale.
  explicit TProcessTexts(std::string locale = {});
  ~TProcessTexts();

  // Tag prefixes of the Prefixes rule, which the custom vertical format follows.
  std::vector<std::u16string> AutosemanticTags;

  // Splits a at every "|" into AutosemanticTags; empty pieces stay (an empty pattern
  // matches every tag); an empty a gives an empty list (no tag matches).
  void SetAutosemanticTags(std::u16string_view a);

  // Reading and writing choices of the following runs (RunOptions.h); the start values
  // keep the original behaviour.
  void SetCorpusOptions(const TCorpusOptions& Options) { corpus_ = Options; }
  [[nodiscard]] const TCorpusOptions& GetCorpusOptions() const { return corpus_; }
  // The encoding of the input files of the following runs (see TTextDecoder): empty for
  // UTF-8, or UTF-16 after a byte-order mark. A run with a name that no converter answers
  // to fails with TUnknownEncoding before it writes anything.
  void SetEncoding(std::string Encoding) { encoding_ = std::move(Encoding); }
  // Whether the following runs read the process's standard input instead of InputFile, as
  // one file without a name.
  void SetStandardInput(bool StandardInput) { standardInput_ = StandardInput; }

  // Where the results of the following runs go (RunOptions.h): the CSV files, the results
  // database. The start values write the CSV files only.
  void SetResultDestinations(const TResultDestinations& Destinations) {
    destinations_ = Destinations;
  }
  [[nodiscard]] const TResultDestinations& GetResultDestinations() const { return destinations_; }
  // Makes one more place the results of each following measurement run go, besides the
  // destinations: it gets the same values as the CSV files (results kept in memory by a
  // library front end). None by default.
  using TSinkFactory = std::function<std::unique_ptr<IResultSink>()>;
  void SetSinkFactory(TSinkFactory Factory) { sinkFactory_ = std::move(Factory); }

  // The further indices that the following measurement runs write when their output
  // types hold outIndices; none at first, so such a run writes no indices file and does
  // no work for it.
  void SetIndices(TIndexSet Indices) { indices_ = Indices; }
  [[nodiscard]] TIndexSet GetIndices() const { return indices_; }
  // The definitions those indices follow (the defaults at first).
  void SetIndexVariants(const TIndexVariants& Variants) { indexVariants_ = Variants; }
  [[nodiscard]] const TIndexVariants& GetIndexVariants() const { return indexVariants_; }

  // Whether the following measurement runs write document names that begin with "=", "+",
  // "-" or "@" with an apostrophe before them (TOutputStructures::SetSafeCsv); off at first.
  void SetSafeCsv(bool Safe) { safeCsv_ = Safe; }

  // Where the engines of the following measurement runs send their diagnostic lines (see
  // TSimpleTTR::SetDiagnosticSink): standard output unless a sink is set. Called on the
  // calling thread.
  void SetDiagnosticSink(TDiagnosticSink Sink) { diagnostics_ = std::move(Sink); }

  // Told how the whole-text comparison of pairs of types goes (TPairProgressCallback); none
  // by default.
  void SetPairProgressCallback(TPairProgressCallback Callback) {
    pairProgress_ = std::move(Callback);
  }

  // Told the phase of the following runs as each begins; none by default.
  void SetPhaseCallback(TPhaseCallback Callback) { phase_ = std::move(Callback); }

  // What the last run did: its figures and warnings. Emptied when a run starts, filled as
  // it goes, so that it also describes a run that failed.
  [[nodiscard]] const TRunReport& GetReport() const { return report_; }
  // Records a warning of the current run and hands it to the diagnostic sink, if one is set.
  void Warn(std::string Text);

  // Threads of the following runs. With 2 or more, one thread reads and tokenizes the
  // input while the calling thread measures, and the whole-text difference of a document
  // shares its pairs of types out to all of them; with 1 (or 0), the calling thread does
  // everything. The results are the same either way; the progress callback is always called
  // on the calling thread. By default one per core.
  void SetThreads(unsigned Threads) { threads_ = Threads; }
  [[nodiscard]] unsigned GetThreads() const { return threads_; }

  // Measures the input and writes the result files into OutputFolder (see
  // TOutputStructures), which the run locks and records itself in (TRunFolder), and, with the
  // database among the destinations, the results database ("Tavora.sqlite" in OutputFolder
  // unless another is named; TDatabaseSink): a run that fails or is cancelled leaves the
  // folder's files and the database as they were. InputFile holds input files
  // and folders, one per line, or, with IsWholeText, the text itself; folder walks leave out
  // the output folder and the files runs write (a warning says so). The reference lists are
  // borrowed for the call; a null slot measures against an empty list. progress, when given,
  // is called every few thousand reads, once after the input is listed, and between the
  // result files completed at the end; it can cancel the run until the files are renamed
  // into place.
  void Measure(THow How, std::u16string_view InputFile, const std::filesystem::path& OutputFolder,
               bool IsWholeText, bool DoOmitPunctuation, bool DoOmitDigits, TCasesensitiveness CS,
               TWordOrLemmaSet WoL, TMeasureSet measures, tMeasureSecondarySet MeasuresSecondary,
               const TCustomVertical& Custom, std::uint32_t LagLength,
               const TReferenceDictionaryPair& ReferenceDictionary, TOutputTypeSet OutputTypes,
               double HillsQ, bool RefDicContrainsText, const TProgressCallback& progress = {});

  // The same from a parameter bundle: sets AutosemanticTags from p.AutosemanticTags, the
  // indices from p.Indices and p.IndexVariants, safe CSV from p.SafeCsv, the corpus options
  // from p.Corpus, the encoding and standard input from theirs, the destinations from
  // p.Destinations, then measures. p.ReferenceDictionary (file names) is not read; the lists
  // come resolved in ReferenceDictionary.
  void Measure(const TMeasureParameters& p, const TReferenceDictionaryPair& ReferenceDictionary,
               const TProgressCallback& progress = {});

  // Counts every word form and/or lemma of the input that passes the filters into one
  // frequency list per kind of WoL, saves the word-form list to OutputFileWF and the lemma
  // list to OutputFileLemma (in that order), and returns the lists. The folders of the list
  // files are created first, with missing parents, as a measurement run creates its output
  // folder: one that cannot be created fails the run before the input is read. The folders
  // are locked for the run (TFolderLock); folder walks leave out the list files and the
  // files measurement runs write.
  TPreparedDictionaries PrepareDictionary(THow How, std::u16string_view InputFile,
                                          const std::filesystem::path& OutputFileWF,
                                          const std::filesystem::path& OutputFileLemma,
                                          bool IsWholeText, bool DoOmitPunctuation,
                                          bool DoOmitDigits, TCasesensitiveness CS,
                                          TWordOrLemmaSet WoL, const TCustomVertical& Custom,
                                          const TProgressCallback& progress = {});
  // The same from a parameter bundle; the corpus options, the encoding, standard input and the
  // destinations come from it. With the database, the lists are also written into it (after
  // their files), "Tavora.sqlite" in the folder of the first list unless another is named.
  TPreparedDictionaries PrepareDictionary(const TDictionaryParameters& p,
                                          const TProgressCallback& progress = {});

  // Whether a token of format How with this tag and lemma (empty when lemmata are not
  // measured) counts as autosemantic by the format's own rule (kInputFormats).
  [[nodiscard]] bool IsAutosemantic(THow How, std::u16string_view Tag,
                                    std::u16string_view Lemma) const;
  // The same by a given rule; TAutosemanticRule::Prefixes matches AutosemanticTags, and
  // TAutosemanticRule::Upos takes Tag for the token's part of speech.
  [[nodiscard]] bool IsAutosemantic(TAutosemanticRule Rule, std::u16string_view Tag,
                                    std::u16string_view Lemma) const;

 private:
  [[nodiscard]] TDiagnosticSink EngineSink();
  // What a run that ran out of memory throws instead of std::bad_alloc.
  [[nodiscard]] std::runtime_error OutOfMemory() const;
  // After the input is listed: warns about what the walk left out, and lets progress cancel.
  void InputListed(const TOwnFilesLeftOut& leftOut, std::uint64_t totalBytes,
                   const TProgressCallback& progress);
  // Warns that the first words of File went on with document Document (named Name, Id).
  void WarnContinuation(std::u16string_view File, std::uint64_t Document, std::u16string_view Name,
                        std::u16string_view Id);
  // Whether the input's files can be read apart, a file per thread: two or more regular
  // files, each beginning a document of its own, and more than one thread.
  [[nodiscard]] bool CanWorkApart(const TTokenizationStream& stream, bool IsWholeText) const;
  // A measurement run as p describes it, over InputFile into OutputFolder.
  void Run(const TMeasureParameters& p, std::u16string_view InputFile,
           const std::filesystem::path& OutputFolder, const TReferenceDictionaryPair& References,
           const TProgressCallback& progress);
  // The engines (and indices, when written) of a run, one per kind measured.
  [[nodiscard]] TKindEngines MakeEngines(const TMeasureParameters& p);
  // Where the run's results go besides the CSV files; the database is left out of the walk.
  void AddSinks(TOutputStructures& output, TOwnFilesLeftOut& leftOut, const TJsonValue& description,
                const TMeasureParameters& p, const std::filesystem::path& OutputFolder);
  // Lets the engines' whole-text comparisons report progress as a phase of their own, and
  // use the run's threads.
  void FollowPairComparisons(TKindEngines& run, TProgressTicker& ticker);
  // The settings of the workers of a measurement run over files read apart.
  [[nodiscard]] TWorkerSetup MeasuringSetup(const TMeasureParameters& p,
                                            const std::vector<tWordOrLemma>& kinds,
                                            TAutosemanticRule rule,
                                            const TReferenceDictionaryPair& References) const;
  // Measures the stream's tokens in input order on this thread (with a reading thread beside
  // it when the run has two or more threads).
  void MeasureInOrder(TTokenizationStream& stream, const TMeasureParameters& p,
                      TAutosemanticRule rule, TKindEngines& run, TOutputStructures& output,
                      TProgressTicker& ticker);
  // The settings of the input and the filters that every worker of a run shares.
  [[nodiscard]] TWorkerSetup InputSetup(THow How, const TCustomVertical& Custom,
                                        bool DoOmitPunctuation, bool DoOmitDigits,
                                        TCasesensitiveness CS,
                                        const std::vector<tWordOrLemma>& kinds) const;
  // Workers for the files, or none when no thread is to be had.
  [[nodiscard]] std::unique_ptr<TDocumentWorkers> StartWorkers(
      const TWorkerSetup& setup, const std::vector<std::filesystem::path>& files) const;
  // Counts the stream's tokens of each kind into counters in input order on this thread
  // (with a reading thread beside it when the run has two or more threads). The pipeline and
  // its batches are gone when it returns, before the counts become lists.
  void CountInOrder(TTokenizationStream& stream, const std::vector<tWordOrLemma>& kinds,
                    const TTokenFilter& filter, TCasesensitiveness CS,
                    std::vector<TTypeCounter>& counters, const TProgressCallback& progress);
  // Adds up the counts that workers made of each file, in input order, with their warnings.
  void CountApart(TDocumentWorkers& workers, std::vector<TTypeCounter>& counters,
                  const TProgressCallback& progress, std::uint64_t totalBytes);
  // Hands the documents that workers measured to the output, in input order, with their
  // warnings; reports progress from the workers' counters.
  void MeasureApart(TDocumentWorkers& workers, TOutputStructures& output,
                    const TProgressCallback& progress, std::uint64_t totalBytes);
  // Loads the input into the stream and records what the load found.
  void LoadInput(TTokenizationStream& stream, const TCustomVertical& Custom,
                 std::u16string_view InputFile, bool IsWholeText, TOwnFilesLeftOut& leftOut);
  void EnterPhase(TRunPhase Phase) {
    phaseNow_ = Phase;
    if (phase_) phase_(Phase);
  }

  TLowercaser lowercaser_;
  TIndexSet indices_{};
  bool safeCsv_ = false;
  TCorpusOptions corpus_{};
  TResultDestinations destinations_{};
  TSinkFactory sinkFactory_;
  std::string encoding_;
  bool standardInput_ = false;
  TIndexVariants indexVariants_{};
  unsigned threads_ = 1;
  TDiagnosticSink diagnostics_;
  TPhaseCallback phase_;
  TPairProgressCallback pairProgress_;
  TRunPhase phaseNow_ = TRunPhase::ReadingAndMeasuring;     // the phase entered last
  TRunPhase phaseBefore_ = TRunPhase::ReadingAndMeasuring;  // before ComparingPairs
  TRunReport report_;
  std::u16string reading_;           // the document being read, empty before the first
  std::filesystem::path inputFile_;  // the input when it is one file
};

}  // namespace tavora
