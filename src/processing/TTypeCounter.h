#pragma once

// Counts the tokens of one frequency list by type in a type index (ids in order of first
// occurrence) and hands the counts over at the end. The list then gets the very entries,
// inserted in the same order, that counting token by token into it would give, without a
// node-based map look-up per token. Counts are 64 bits: they neither stop nor wrap at 2^32.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/TTypeIndex.h"
#include "processing/TTokenFilter.h"

namespace tavora {

class TReferenceDictionary;

class TTypeCounter {
 public:
  // Counts Times tokens of one type; an empty token is not counted, as
  // TReferenceDictionary::AddToken does not count it.
  void Add(std::u16string_view token, std::uint64_t Times = 1) { Add(token, nullptr, Times); }
  // The same with the token's hash already computed (TTypeIndex::Hashed(token)), or nullptr.
  void Add(std::u16string_view token, const TTypeIndex::THashed* hashed, std::uint64_t Times = 1) {
    if (token.empty()) return;
    total_ += Times;
    bool inserted = false;
    const std::uint32_t id = hashed ? index_.FindOrInsert(token, *hashed, inserted)
                                    : index_.FindOrInsert(token, inserted);
    if (inserted) counts_.push_back(0);
    counts_[id] += Times;
  }

  // Counts word i of a batch, the text of one kind with the hash the batch holds for it.
  void Add(const TTokenBatch& batch, std::size_t i, tWordOrLemma kind) {
    Add(TTokenFilter::TextOf(batch, batch[i], kind), &TTokenFilter::HashOf(batch, i, kind));
  }

  // Prefetching of the look-ups of tokens to come, as TSimpleTTR::Prefetch and PrefetchType.
  void Prefetch(const TTypeIndex::THashed& hashed) const { index_.PrefetchSlot(hashed); }
  [[nodiscard]] bool IsLarge() const { return index_.IsLarge(); }
  void PrefetchType(const TTypeIndex::THashed& hashed) const {
    const std::uint32_t id = index_.PrefetchKey(hashed);
    if (id < counts_.size()) TTypeIndex::PrefetchLine(&counts_[id]);
  }

  // Calls f(text, count) for every type, in order of first occurrence.
  template <typename F>
  void ForEach(F f) const {
    for (std::uint32_t id = 0; id < counts_.size(); ++id) f(index_.Text(id), counts_[id]);
  }

  // The number of types counted.
  [[nodiscard]] std::size_t Size() const { return counts_.size(); }

  // Moves the counts into a list that was empty.
  void MoveInto(TReferenceDictionary& list);

 private:
  TTypeIndex index_;
  std::vector<std::uint64_t> counts_;  // by id
  std::uint64_t total_ = 0;
};

}  // namespace tavora
