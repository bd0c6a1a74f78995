#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/Measures.h"
#include "engine/TTypeIndex.h"
#include "processing/TTokenFilter.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

// Type look-ups in a table larger than the cache wait for memory. Walking a batch, this asks
// the consumer of each kind (an engine or a type counter) to start loading the table slot of
// the word kFar ahead, then kNear ahead the key and counts that the slot leads to, so that
// those waits overlap. The hashes come with the batch, computed on the reading side.
class TLookAhead {
 public:
  static constexpr std::size_t kFar = 16;
  static constexpr std::size_t kNear = 8;

  explicit TLookAhead(const std::vector<tWordOrLemma>& kinds) : kinds_(kinds) {}

  // Call with the consumers, one per kind, before word i of the batch, for i = 0, 1, ...
  // While every consumer's table stays in the cache (decided at each batch's start), this
  // does nothing.
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
        for (std::size_t j = 0; j < kFar && j < size; ++j)
          consumer.Prefetch(TTokenFilter::HashOf(batch, j, kinds_[k]));
      }
      if (i + kFar < size) consumer.Prefetch(TTokenFilter::HashOf(batch, i + kFar, kinds_[k]));
      if (i + kNear < size)
        consumer.PrefetchType(TTokenFilter::HashOf(batch, i + kNear, kinds_[k]));
    }
  }

 private:
  template <typename T>
  static const T& Deref(const T& c) {
    return c;
  }
  template <typename T>
  static const T& Deref(const std::unique_ptr<T>& c) {
    return *c;
  }

  const std::vector<tWordOrLemma>& kinds_;
  bool active_ = false;
};

}  // namespace tavora
