#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/TTypeIndex.h"
#include "input/TToken.h"
#include "processing/RunOptions.h"

namespace tavora {

class TLowercaser;
class TTokenizationStream;

// The normal words of a stretch of input, copied out of the stream's one token so that
// the stream can go on reading while they are measured. Word forms come lowered as the
// pipeline's case rule says, so the measuring side only looks. Texts live in one flat buffer;
// a recycled batch keeps its capacity, so nothing is allocated per word once warm.
class TTokenBatch {
 public:
  struct TWord {
    std::size_t Start = 0;  // offset of the word form in the flat buffer
    std::size_t WordLength = 0;
    std::size_t LemmaLength = 0;  // the lemma follows the word form, the tag the lemma
    std::size_t TagLength = 0;
    bool IsPunctuation = false;
    bool IsDigit = false;
    bool StartsDocument = false;  // IndexInDocument() == 1; the batch's next DocumentName
    // The first word of a file that has no document marker before it continues the
    // document of the file before; the batch's next ContinuingFile.
    bool ContinuesDocument = false;
  };
  // A progress report due before word Before of this batch (Before == size: after the
  // last one), with the stream's counters at that read.
  struct TTick {
    std::size_t Before = 0;
    std::uint64_t BytesRead = 0;
    std::uint64_t TotalBytes = 0;
    std::uint64_t Tokens = 0;  // normal words read before this read
  };

  [[nodiscard]] std::size_t Size() const { return words_.size(); }
  [[nodiscard]] const TWord& operator[](std::size_t i) const { return words_[i]; }
  [[nodiscard]] std::u16string_view Word(const TWord& w) const {
    return {text_.data() + w.Start, w.WordLength};
  }
  [[nodiscard]] std::u16string_view Lemma(const TWord& w) const {
    return {text_.data() + w.Start + w.WordLength, w.LemmaLength};
  }
  // The tag, or the part of speech when the pipeline was asked for it.
  [[nodiscard]] std::u16string_view Tag(const TWord& w) const {
    return {text_.data() + w.Start + w.WordLength + w.LemmaLength, w.TagLength};
  }
  // The type-table hashes of word i's form and lemma, computed on the reading side (which
  // has time to spare) for the look-ups of the measuring side. Lemma hashes only with
  // lemmata.
  [[nodiscard]] const TTypeIndex::THashed& WordHash(std::size_t i) const { return wordHashes_[i]; }
  [[nodiscard]] const TTypeIndex::THashed& LemmaHash(std::size_t i) const {
    return lemmaHashes_[i];
  }
  // The names and ids of the documents that begin in this batch, in order of their first
  // words.
  [[nodiscard]] std::u16string_view DocumentName(std::size_t k) const { return names_[k]; }
  [[nodiscard]] std::u16string_view DocumentId(std::size_t k) const { return ids_[k]; }
  // The files whose first words continue a document, in order of those words.
  [[nodiscard]] std::u16string_view ContinuingFile(std::size_t k) const { return continuing_[k]; }
  [[nodiscard]] const std::vector<TTick>& Ticks() const { return ticks_; }
  // The stream's warnings met while this batch was read (TTokenizationStream::TakeWarnings).
  [[nodiscard]] const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  friend class TTokenPipeline;

  // Empties the batch; a text buffer that a long item grew beyond `keep` code units is freed.
  void Clear(std::size_t keep);

  std::u16string text_;
  std::vector<TWord> words_;
  std::vector<TTypeIndex::THashed> wordHashes_;   // by word
  std::vector<TTypeIndex::THashed> lemmaHashes_;  // by word, with lemmata
  std::vector<std::u16string> names_;             // entries beyond nameCount_ are spare capacity
  std::vector<std::u16string> ids_;               // beside names_
  std::size_t nameCount_ = 0;
  std::vector<std::u16string> continuing_;  // entries beyond continuingCount_ are spare
  std::size_t continuingCount_ = 0;
  std::vector<TTick> ticks_;
  std::vector<std::string> warnings_;
  std::exception_ptr error_;  // what ended the reading right after this batch's words
  bool last_ = false;         // nothing follows this batch
};

// Reads a loaded token stream in batches of normal words, either on a thread of its own
// (threaded) or on the caller's thread when a batch is asked for. Both ways hand out the
// same batches in the same order.
//
// The stream is the pipeline's alone from construction to destruction: the caller must
// not touch it meanwhile. An error of the stream (a file that cannot be opened) is
// rethrown by Next after every batch read before it has been handed out; a read that a
// cancel ended (TReadCancelled) comes out as TRunCancelled. The destructor stops the
// reading thread and joins it, also while an exception unwinds.
//
// A word longer than a batch's text ends its batch, and the stream gives back the memory
// it took before the batch is handed out, so that such an item is held at most twice: by
// the stream and the batch while it is copied, by the batch and the measuring side after.
class TTokenPipeline {
 public:
  static constexpr std::size_t kDefaultBatchSize = 4096;

  // withLemma: whether lemmata are copied (else they come out empty). batchSize: normal
  // words per batch (at least 1). Word forms are lowered with lowercaser as cs says
  // (csOnlyIfLemma: unless the lemma, empty without lemmata, differs from its lower-case
  // form); without a lowercaser they are copied as they stand. The lowercaser is borrowed
  // for the pipeline's life and used on the reading thread. posAsTag: the batch's Tag()
  // holds the token's part of speech instead of its tag (for the UPOS rule).
  TTokenPipeline(TTokenizationStream& stream, bool withLemma, bool threaded,
                 std::size_t batchSize = kDefaultBatchSize, const TLowercaser* lowercaser = nullptr,
                 TCasesensitiveness cs = TCasesensitiveness::csCaseSensitive,
                 bool posAsTag = false);
  ~TTokenPipeline();
  TTokenPipeline(const TTokenPipeline&) = delete;
  TTokenPipeline& operator=(const TTokenPipeline&) = delete;

  // The next batch, valid until the next call; nullptr at the end of the input.
  const TTokenBatch* Next();

  [[nodiscard]] bool IsThreaded() const { return thread_.joinable(); }

  // Reads between two progress reports.
  static constexpr std::uint64_t kProgressEvery = 4096;

 private:
  static constexpr std::size_t kQueuedBatches = 3;
  // A batch ends early once its texts fill this many code units, which bounds the memory
  // of the queue when words are very long.
  static constexpr std::size_t kBatchText = std::size_t{1} << 20;

  void Fill(TTokenBatch& batch);
  // Fill through the stream's tokens, or, when every token is its raw text alone and no
  // lemma is asked for, through its plain words, which is faster.
  void FillTokens(TTokenBatch& batch);
  void FillPlain(TTokenBatch& batch);
  // Adds one normal word, read as `token`, to the batch.
  void Add(TTokenBatch& batch, const TToken& token, std::u16string_view word,
           std::u16string_view lemma, std::u16string_view ruleField, TToken::TClasses classes);
  // A progress report before the batch's next word.
  void Tick(TTokenBatch& batch) const;
  void TakeWarnings(TTokenBatch& batch);
  void Produce();
  void Stop();

  TTokenizationStream& stream_;
  bool withLemma_;
  std::size_t batchSize_;
  const TLowercaser* lowercaser_;
  TCasesensitiveness cs_;
  bool posAsTag_;
  bool plain_;              // FillPlain
  std::u16string scratch_;  // the reading side's lower-case test of lemmata
  std::uint64_t reads_ = 0;
  std::uint64_t tokens_ = 0;

  std::vector<std::unique_ptr<TTokenBatch>> batches_;
  TTokenBatch* current_ = nullptr;  // handed out by the last Next
  bool finished_ = false;
  std::exception_ptr pending_;  // to be rethrown by the following Next

  std::mutex mutex_;
  std::condition_variable changed_;
  // Queues of at most batches_.size() entries, reserved up front so that the reading
  // thread never allocates outside Fill.
  std::vector<TTokenBatch*> full_;  // filled, in reading order
  std::vector<TTokenBatch*> free_;  // ready to be filled again
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tavora
