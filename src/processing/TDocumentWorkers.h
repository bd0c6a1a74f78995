#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/Indices.h"
#include "engine/Measures.h"
#include "engine/TReferenceDictionary.h"
#include "input/THow.h"
#include "processing/RunOptions.h"
#include "processing/RunProgress.h"
#include "processing/TTypeCounter.h"
#include "results/TOutputStructures.h"

namespace tavora {

class TLowercaser;

// What every worker of a run that measures documents in parallel needs: how to read a file,
// which tokens to keep and how, and how to measure them. The borrowed objects must outlive
// the workers and be safe to use from several threads at once (they are only read).
struct TWorkerSetup {
  THow How = THow::JStandard;
  std::string Encoding;
  TCorpusOptions Corpus;
  TCustomVertical Custom;
  bool OmitPunctuation = false;
  bool OmitDigits = false;
  TCasesensitiveness CS = TCasesensitiveness::csCaseSensitive;
  const TLowercaser* Lowercaser = nullptr;
  TAutosemanticRule Rule = TAutosemanticRule::None;
  // Whether a token with this tag (or part of speech) and lemma is autosemantic by Rule.
  std::function<bool(std::u16string_view Tag, std::u16string_view Lemma)> IsAutosemantic;
  std::vector<tWordOrLemma> Kinds;  // in the order of the run's WoL
  std::uint32_t LagLength = 200;
  TMeasureSet Measures;
  tMeasureSecondarySet MeasuresSecondary;
  double HillsQ = 2;
  bool RefContainsText = false;
  TReferenceDictionaryPair References{};
  TIndexSet Indices{};  // empty: no indices
  TIndexVariants IndexVariants{};
  bool WholeTexts = false;  // whether the whole-text values are wanted
  // Count the tokens of each kind into frequency lists instead of measuring them.
  bool Count = false;
  // With Count: the types (over all kinds) past which a worker hands its counts over.
  std::size_t HandOverTypes = std::size_t{1} << 18;
};

// Measures (or counts into frequency lists) the files of a run on worker threads, each file
// whole on one thread, and hands the results out file by file in input order. Only for inputs whose
// every file begins a document of its own (no document goes on from one file into the next): then
// each document's values are those a run on one thread gives, whatever thread measured it.
class TDocumentWorkers {
 public:
  // A line the run reports: a warning of the reading, or a diagnostic line of an engine.
  struct TNote {
    std::string Text;
    bool FromEngine = false;
  };
  struct TFileResults {
    std::vector<TMeasuredDocument> Documents;
    std::vector<TNote> Notes;
    // With Count: the counts a worker handed over after this file, once they grew past the
    // setup's HandOverTypes (empty otherwise), by position in the setup's Kinds.
    std::vector<TTypeCounter> Counts;
    std::uint64_t DocumentsBegun = 0;  // with Count: documents whose first word is in the file
    std::u16string LastDocument;       // with Count: the name of the file's last document
    std::uint64_t Tokens = 0;          // normal words read (before the filters)
    std::exception_ptr Error;          // what ended the file, after its documents so far
  };

  TDocumentWorkers(const TWorkerSetup& Setup, std::vector<std::filesystem::path> Files,
                   unsigned Threads);
  // Stops the workers (a file being read is left where it is) and joins them.
  ~TDocumentWorkers();
  TDocumentWorkers(const TDocumentWorkers&) = delete;
  TDocumentWorkers& operator=(const TDocumentWorkers&) = delete;

  // The results of the next file in input order, once measured; null after the last. Calls
  // Idle about every 50 ms while it waits; Idle may throw to stop the run.
  std::unique_ptr<TFileResults> Next(const std::function<void()>& Idle);
  // The same, reporting the bytes and tokens read so far of TotalBytes to Progress while it
  // waits; throws TRunCancelled when Progress says stop.
  std::unique_ptr<TFileResults> Next(const TProgressCallback& Progress, std::uint64_t TotalBytes);

  // With Count, once Next has handed out every file without an error: the counts of each
  // worker over its files since it last handed counts over, by position in the setup's
  // Kinds (waits for the workers to end). A worker counts its files into one set of lists,
  // so that a type is interned once per worker rather than once per file; it hands them
  // over with a file's results once they pass the setup's HandOverTypes, which bounds the
  // memory of each worker whatever the corpus's vocabulary.
  std::vector<std::vector<TTypeCounter>> TakeCounts();
  // Bytes read and normal words read so far by all workers (for progress).
  [[nodiscard]] std::uint64_t BytesRead() const { return bytes_.load(); }
  [[nodiscard]] std::uint64_t TokensRead() const { return tokens_.load(); }

 private:
  class TWorker;

  void Work();
  void Stop();

  TWorkerSetup setup_;
  std::vector<std::filesystem::path> files_;
  std::vector<std::unique_ptr<TFileResults>> results_;  // by file, set when measured
  std::size_t handedOut_ = 0;
  std::atomic<std::size_t> nextFile_{0};
  std::atomic<std::size_t> failedAt_;  // the first file that ended with an error, if any
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> bytes_{0};
  std::atomic<std::uint64_t> tokens_{0};
  std::mutex mutex_;
  std::condition_variable measured_;
  std::vector<std::thread> threads_;
  std::vector<std::vector<TTypeCounter>> counts_;  // with Count: of the workers that ended
};

}  // namespace tavora
