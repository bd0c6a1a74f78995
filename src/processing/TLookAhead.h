#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/Measures.h"
#include "engine/TTypeIndex.h"
#include "processing/TTokenFilter.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

// Type look-ups in a table larger than the cache wait for memory. Walking a batch, this
// hashes the text of each kind of the word kFar ahead and asks its consumer (an engine or a
// type counter) to start loading the table slot, then kNear ahead to load the key and
// counts the slot leads to, so that those waits overlap; the look-up of the word itself
// then takes the hash computed once.
class TLookAhead {
 public:
  static constexpr std::size_t kFar = 16;
  static constexpr std::size_t kNear = 8;

  explicit TLookAhead(const std::vector<tWordOrLemma>& kinds)
      : kinds_(kinds), ring_(kinds.size()) {}

  // Call with the consumers, one per kind, before word i of the batch, for i = 0, 1, ...
  // While every consumer's table stays in the cache (decided at each batch's start), this
  // does nothing and Of gives nullptr.
  template <typename TConsumers>
  void Before(const TTokenBatch& batch, std::size_t i, const TConsumers& consumers) {
    if (i == 0) {
      active_ = false;
      for (std::size_t k = 0; k < kinds_.size(); ++k)
        active_ = active_ || Deref(consumers[k]).IsLarge();
    }
    if (!active_) return;
    const std::size_t size = batch.Size();
    for (std::size_t k = 0; k < kinds_.size(); ++k) {
      const auto& consumer = Deref(consumers[k]);
      if (i == 0) {
        for (std::size_t j = 0; j < kFar && j < size; ++j) Hash(batch, j, k, consumer);
      }
      if (i + kFar < size) Hash(batch, i + kFar, k, consumer);
      if (i + kNear < size) consumer.PrefetchType(ring_[k][(i + kNear) % kRing]);
    }
  }
  // The hash of kind k's text of word i, for the word's look-up (after Before(.., i, ..));
  // nullptr when not looking ahead.
  [[nodiscard]] const TTypeIndex::THashed* Of(std::size_t k, std::size_t i) const {
    return active_ ? &ring_[k][i % kRing] : nullptr;
  }

 private:
  static constexpr std::size_t kRing = 2 * kFar;

  template <typename T>
  static const T& Deref(const T& c) {
    return c;
  }
  template <typename T>
  static const T& Deref(const std::unique_ptr<T>& c) {
    return *c;
  }
  template <typename TConsumer>
  void Hash(const TTokenBatch& batch, std::size_t j, std::size_t k, const TConsumer& consumer) {
    TTypeIndex::THashed& hashed = ring_[k][j % kRing];
    hashed = TTypeIndex::Hashed(TTokenFilter::TextOf(batch, batch[j], kinds_[k]));
    consumer.Prefetch(hashed);
  }

  const std::vector<tWordOrLemma>& kinds_;
  std::vector<std::array<TTypeIndex::THashed, kRing>> ring_;  // by kind
  bool active_ = false;
};

}  // namespace tavora
