#include "processing/TTokenPipeline.h"

#include <system_error>

#include "base/Platform.h"
#include "input/TToken.h"
#include "input/TTokenizationStream.h"
#include "processing/RunProgress.h"
#include "processing/TLowercaser.h"

namespace tavora {

void TTokenBatch::Clear(std::size_t keep) {
  if (text_.capacity() > keep) std::u16string().swap(text_);
  text_.clear();
  words_.clear();
  wordHashes_.clear();
  lemmaHashes_.clear();
  nameCount_ = 0;
  continuingCount_ = 0;
  ticks_.clear();
  warnings_.clear();
  error_ = nullptr;
  last_ = false;
}

TTokenPipeline::TTokenPipeline(TTokenizationStream& stream, bool withLemma, bool threaded,
                               std::size_t batchSize, const TLowercaser* lowercaser,
                               TCasesensitiveness cs, bool posAsTag)
    : stream_(stream),
      withLemma_(withLemma),
      batchSize_(batchSize == 0 ? 1 : batchSize),
      lowercaser_(cs == TCasesensitiveness::csCaseSensitive ? nullptr : lowercaser),
      cs_(cs),
      posAsTag_(posAsTag),
      plain_(stream.ReadsPlainWords() && !withLemma) {
  const std::size_t count = threaded ? kQueuedBatches + 1 : 1;
  for (std::size_t i = 0; i < count; ++i) batches_.push_back(std::make_unique<TTokenBatch>());
  if (!threaded) return;
  full_.reserve(count);
  free_.reserve(count);
  for (const auto& batch : batches_) free_.push_back(batch.get());
  try {
    thread_ = std::thread([this] { Produce(); });
  } catch (const std::system_error&) {
    // No thread to be had: read on the caller's thread instead.
    free_.clear();
  }
}

TTokenPipeline::~TTokenPipeline() { Stop(); }

void TTokenPipeline::Stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TTokenPipeline::TakeWarnings(TTokenBatch& batch) {
  for (std::string& warning : stream_.TakeWarnings()) batch.warnings_.push_back(std::move(warning));
}

void TTokenPipeline::Fill(TTokenBatch& batch) {
  batch.Clear(4 * kBatchText);
  try {
    if (plain_)
      FillPlain(batch);
    else
      FillTokens(batch);
  } catch (const TReadCancelled&) {
    batch.error_ = std::make_exception_ptr(TRunCancelled());
    batch.last_ = true;
  } catch (...) {
    batch.error_ = std::current_exception();
    batch.last_ = true;
  }
}

void TTokenPipeline::FillTokens(TTokenBatch& batch) {
  while (batch.words_.size() < batchSize_ && batch.text_.size() < kBatchText) {
    if (stop_.load(std::memory_order_relaxed)) return;
    if (stream_.GetEndOfStream()) {
      TakeWarnings(batch);
      batch.last_ = true;
      return;
    }
    const TToken* token = stream_.ReadToken();
    if (++reads_ % kProgressEvery == 0) Tick(batch);
    if (stream_.HasWarnings()) TakeWarnings(batch);
    if (token == nullptr || !token->IsNormalWord()) continue;
    const std::u16string_view word = token->GetWord();
    const std::u16string_view lemma = withLemma_ ? token->GetLemma() : std::u16string_view();
    const std::u16string_view tag = token->GetTag();
    Add(batch, *token, word, lemma, posAsTag_ ? token->GetPOS() : tag, TToken::Classify(word, tag));
  }
}

void TTokenPipeline::FillPlain(TTokenBatch& batch) {
  std::u16string_view word;
  TToken::TClasses classes;
  while (batch.words_.size() < batchSize_ && batch.text_.size() < kBatchText) {
    if (stop_.load(std::memory_order_relaxed)) return;
    const bool read = stream_.ReadPlainWord(word, classes);
    if (++reads_ % kProgressEvery == 0) Tick(batch);
    if (stream_.HasWarnings() || !read) TakeWarnings(batch);
    if (!read) {
      batch.last_ = true;
      return;
    }
    Add(batch, stream_.GetLastToken(), word, {}, {}, classes);
  }
}

void TTokenPipeline::Tick(TTokenBatch& batch) const {
  batch.ticks_.push_back(
      {batch.words_.size(), stream_.GetBytesRead(), stream_.GetTotalBytes(), tokens_});
}

void TTokenPipeline::Add(TTokenBatch& batch, const TToken& token, std::u16string_view word,
                         std::u16string_view lemma, std::u16string_view ruleField,
                         TToken::TClasses classes) {
  ++tokens_;
  std::u16string& text = batch.text_;
  const std::size_t start = text.size();
  const bool lower =
      lowercaser_ != nullptr && (cs_ == TCasesensitiveness::csCaseInsensitive || lemma.empty() ||
                                 lowercaser_->IsLower(lemma, scratch_));
  if (lower)
    lowercaser_->LowerAppend(word, text);
  else
    text += word;
  const std::size_t wordLength = text.size() - start;
  text += lemma;
  text += ruleField;
  const bool startsDocument = token.IndexInDocument() == 1;
  if (startsDocument) {
    if (batch.nameCount_ == batch.names_.size()) {
      batch.names_.emplace_back();
      batch.ids_.emplace_back();
    }
    TDocMetadata& metadata = stream_.GetMetadata();
    batch.names_[batch.nameCount_].assign(metadata.GetFileName());
    batch.ids_[batch.nameCount_++] = metadata.GetDocumentId();
  }
  const bool continues = token.IndexInFile() == 1 && token.IndexInDocument() > 1;
  if (continues) {
    if (batch.continuingCount_ == batch.continuing_.size()) batch.continuing_.emplace_back();
    batch.continuing_[batch.continuingCount_++].assign(stream_.GetMetadata().GetFileName());
  }
  const std::u16string_view texts = std::u16string_view(text).substr(start);
  TTypeIndex::HashInto(texts.substr(0, wordLength), batch.wordHashes_.emplace_back());
  if (withLemma_)
    TTypeIndex::HashInto(texts.substr(wordLength, lemma.size()), batch.lemmaHashes_.emplace_back());
  // Filled in place, field by field: a word built aside and copied in costs
  // store-forwarding stalls on every token.
  TTokenBatch::TWord& w = batch.words_.emplace_back();
  w.Start = start;
  w.WordLength = wordLength;
  w.LemmaLength = lemma.size();
  w.TagLength = ruleField.size();
  w.IsPunctuation = classes.IsPunctuation;
  w.IsDigit = classes.IsDigit;
  w.StartsDocument = startsDocument;
  w.ContinuesDocument = continues;
  if (text.size() - start >= kBatchText) stream_.ReleaseMemory();  // a long item, copied
}

void TTokenPipeline::Produce() {
  for (;;) {
    TTokenBatch* batch = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
      if (stop_) return;
      batch = free_.front();
      free_.erase(free_.begin());
    }
    Fill(*batch);
    const bool last = batch->last_;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      full_.push_back(batch);
    }
    changed_.notify_all();
    if (last) return;
  }
}

const TTokenBatch* TTokenPipeline::Next() {
  if (pending_) {
    const std::exception_ptr error = pending_;
    pending_ = nullptr;
    finished_ = true;
    std::rethrow_exception(error);
  }
  if (finished_) return nullptr;
  TTokenBatch* batch = nullptr;
  if (thread_.joinable()) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (current_ != nullptr) free_.push_back(current_);
      current_ = nullptr;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !full_.empty(); });
      batch = full_.front();
      full_.erase(full_.begin());
    }
  } else {
    batch = batches_.front().get();
    Fill(*batch);
  }
  current_ = batch;
  pending_ = batch->error_;
  finished_ = batch->last_;
  return batch;
}

}  // namespace tavora
