#include "processing/TDocumentWorkers.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <system_error>

#include "base/Paths.h"
#include "engine/TIndices.h"
#include "engine/TSimpleTTR.h"
#include "input/TTokenizationStream.h"
#include "processing/RunFiles.h"
#include "processing/RunProgress.h"
#include "processing/TKindEngines.h"
#include "processing/TLookAhead.h"
#include "processing/TTokenFilter.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

namespace {

// Ends a worker's file when the workers are stopped.
struct TStopped {};

}  // namespace

// One thread's engines and indices, kept from file to file as a run on one thread keeps
// them from document to document.
class TDocumentWorkers::TWorker {
 public:
  TWorker(const TWorkerSetup& setup, const std::atomic<bool>& stop)
      : setup_(setup), filter_(setup.OmitPunctuation, setup.OmitDigits), stop_(stop) {
    if (setup.Count) {
      counts_.resize(setup.Kinds.size());
      return;
    }
    run_.Kinds = setup.Kinds;
    for (const tWordOrLemma kind : setup.Kinds) {
      auto engine =
          std::make_unique<TSimpleTTR>(setup.LagLength, setup.Measures, setup.MeasuresSecondary,
                                       setup.HillsQ, setup.RefContainsText, 0.5);
      engine->SetDiagnosticSink([this](std::string_view line) {
        if (notes_ != nullptr) notes_->push_back({std::string(line), true});
      });
      engine->SetPairProgress([this](std::uint64_t, std::uint64_t) {
        if (stop_.load()) throw TStopped();
      });
      if (setup.References[kind] != nullptr) engine->SetReferenceDictionary(setup.References[kind]);
      run_.Engines.push_back(std::move(engine));
      if (!setup.Indices.Empty())
        run_.Indices.push_back(
            std::make_unique<TIndices>(setup.Indices, setup.LagLength, setup.IndexVariants));
    }
  }

  // With Count: the counts of the files measured so far, taken away.
  std::vector<TTypeCounter> TakeCounts() {
    std::vector<TTypeCounter> taken(setup_.Kinds.size());
    taken.swap(counts_);
    return taken;
  }
  // With Count: the types counted since the counts were last taken, over all kinds.
  [[nodiscard]] std::size_t CountedTypes() const {
    std::size_t types = 0;
    for (const TTypeCounter& counter : counts_) types += counter.Size();
    return types;
  }

  // Measures one file into out; adds the bytes and words it reads to the counters.
  void Measure(const std::filesystem::path& file, TFileResults& out,
               std::atomic<std::uint64_t>& bytes, std::atomic<std::uint64_t>& tokens);

 private:
  void Finish(TMeasuredDocument& document, TFileResults& out);
  // Feeds word i of the batch.
  void Feed(const TTokenBatch& batch, std::size_t i);

  const TWorkerSetup& setup_;
  const TTokenFilter filter_;
  const std::atomic<bool>& stop_;
  TKindEngines run_;                     // without Count, by position in setup_.Kinds
  std::vector<TNote>* notes_ = nullptr;  // of the file being measured
  // With Count: the counts of all the worker's files, by position in the setup's Kinds.
  std::vector<TTypeCounter> counts_;
};

void TDocumentWorkers::TWorker::Finish(TMeasuredDocument& document, TFileResults& out) {
  for (std::size_t k = 0; k < run_.Engines.size(); ++k) {
    TMeasuredDocument::TKind& kind = document.Kinds[static_cast<std::size_t>(setup_.Kinds[k])];
    kind.Total = run_.Engines[k]->Total();
    if (setup_.WholeTexts) kind.WholeText = run_.Engines[k]->WholeText();
    if (!run_.Indices.empty()) kind.Indices = run_.Indices[k]->Values();
  }
  out.Documents.push_back(std::move(document));
  document = TMeasuredDocument{};
}

void TDocumentWorkers::TWorker::Feed(const TTokenBatch& batch, std::size_t i) {
  const TTokenBatch::TWord& token = batch[i];
  if (!filter_.Keeps(token)) return;
  if (setup_.Count) {
    for (std::size_t k = 0; k < counts_.size(); ++k) counts_[k].Add(batch, i, setup_.Kinds[k]);
    return;
  }
  const bool autosemantic = setup_.Rule != TAutosemanticRule::None &&
                            setup_.IsAutosemantic(batch.Tag(token), batch.Lemma(token));
  run_.Feed(batch, i, autosemantic);
}

void TDocumentWorkers::TWorker::Measure(const std::filesystem::path& file, TFileResults& out,
                                        std::atomic<std::uint64_t>& bytes,
                                        std::atomic<std::uint64_t>& tokens) {
  notes_ = &out.Notes;
  TTokenizationStream stream(setup_.How);
  SetUpStream(stream, setup_.Encoding, setup_.Corpus, setup_.Custom);
  stream.LoadFromFiles(PathToUtf16(file));
  for (std::string& warning : stream.TakeWarnings()) out.Notes.push_back({std::move(warning)});
  const bool withLemma = std::find(setup_.Kinds.begin(), setup_.Kinds.end(),
                                   tWordOrLemma::tokLemma) != setup_.Kinds.end();
  TTokenPipeline pipeline(stream, withLemma, false, TTokenPipeline::kDefaultBatchSize,
                          setup_.Lowercaser, setup_.CS, setup_.Rule == TAutosemanticRule::Upos);
  TMeasuredDocument document;
  TLookAhead lookAhead(setup_.Kinds);
  bool inDocument = false;
  std::uint64_t counted = 0;  // bytes of this file added to the counter
  while (const TTokenBatch* batch = pipeline.Next()) {
    if (stop_.load()) throw TStopped();
    for (const std::string& warning : batch->Warnings()) out.Notes.push_back({warning});
    out.Tokens += batch->Size();
    tokens += batch->Size();
    if (!batch->Ticks().empty()) {
      const std::uint64_t read = batch->Ticks().back().BytesRead;
      if (read > counted) bytes += read - counted;
      counted = std::max(counted, read);
    }
    std::size_t started = 0;
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      if (setup_.Count)
        lookAhead.Before(*batch, i, counts_);
      else
        lookAhead.Before(*batch, i, run_.Engines);
      const TTokenBatch::TWord& token = (*batch)[i];
      if (token.StartsDocument && setup_.Count) {
        ++out.DocumentsBegun;
        out.LastDocument = batch->DocumentName(started++);
      } else if (token.StartsDocument) {
        if (inDocument) Finish(document, out);
        inDocument = true;
        document.Name = batch->DocumentName(started);
        document.Id = batch->DocumentId(started++);
        run_.Clear();
      }
      Feed(*batch, i);
    }
  }
  if (inDocument) Finish(document, out);
  if (stream.GetBytesRead() > counted) bytes += stream.GetBytesRead() - counted;
  notes_ = nullptr;
}

TDocumentWorkers::TDocumentWorkers(const TWorkerSetup& Setup,
                                   std::vector<std::filesystem::path> Files, unsigned Threads)
    : setup_(Setup),
      files_(std::move(Files)),
      results_(files_.size()),
      failedAt_(std::numeric_limits<std::size_t>::max()) {
  const std::size_t count = std::min<std::size_t>(std::max(1u, Threads), files_.size());
  try {
    for (std::size_t t = 0; t < count; ++t) threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    if (threads_.empty()) throw;  // the caller measures on its own thread instead
  }
}

TDocumentWorkers::~TDocumentWorkers() { Stop(); }

void TDocumentWorkers::Stop() {
  stop_ = true;
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
}

void TDocumentWorkers::Work() {
  std::unique_ptr<TWorker> worker;
  std::exception_ptr setupError;
  try {
    worker = std::make_unique<TWorker>(setup_, stop_);
  } catch (...) {
    setupError = std::current_exception();
  }
  while (!stop_.load()) {
    const std::size_t k = nextFile_.fetch_add(1);
    if (k >= files_.size() && worker && setup_.Count) {
      const std::lock_guard<std::mutex> lock(mutex_);
      counts_.push_back(worker->TakeCounts());
    }
    if (k >= files_.size() || k > failedAt_.load()) return;
    auto results = std::make_unique<TFileResults>();
    try {
      if (setupError) std::rethrow_exception(setupError);
      worker->Measure(files_[k], *results, bytes_, tokens_);
      if (setup_.Count && worker->CountedTypes() > setup_.HandOverTypes)
        results->Counts = worker->TakeCounts();
    } catch (const TStopped&) {
      return;
    } catch (...) {
      results->Error = std::current_exception();
      for (std::size_t failed = failedAt_.load();
           k < failed && !failedAt_.compare_exchange_weak(failed, k);) {
      }
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      results_[k] = std::move(results);
    }
    measured_.notify_all();
  }
}

std::vector<std::vector<TTypeCounter>> TDocumentWorkers::TakeCounts() {
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
  return std::move(counts_);
}

std::unique_ptr<TDocumentWorkers::TFileResults> TDocumentWorkers::Next(
    const std::function<void()>& Idle) {
  if (handedOut_ >= files_.size()) return nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!results_[handedOut_]) {
    measured_.wait_for(lock, std::chrono::milliseconds(50));
    if (results_[handedOut_]) break;
    lock.unlock();
    if (Idle) Idle();
    lock.lock();
  }
  return std::move(results_[handedOut_++]);
}

std::unique_ptr<TDocumentWorkers::TFileResults> TDocumentWorkers::Next(
    const TProgressCallback& Progress, std::uint64_t TotalBytes) {
  return Next([&] {
    if (Progress && !Progress(BytesRead(), TotalBytes, TokensRead())) throw TRunCancelled();
  });
}

}  // namespace tavora
