#pragma once

#include <cstddef>
#include <vector>

#include "processing/RunProgress.h"
#include "processing/TTokenPipeline.h"

namespace tavora {

// Calls the progress callback at the reports that the reading recorded in a batch, on
// the calling thread; throws TRunCancelled when it says stop.
class TProgressTicker {
 public:
  explicit TProgressTicker(const TProgressCallback& progress) : progress_(progress) {}
  void Start(const TTokenBatch& batch) {
    ticks_ = &batch.Ticks();
    next_ = 0;
  }
  // Makes the reports due before word i of the batch.
  void Before(std::size_t i);
  // Makes the last report again (lets the callback cancel during long work between reads).
  void Again() const;

 private:
  const TProgressCallback& progress_;
  const std::vector<TTokenBatch::TTick>* ticks_ = nullptr;
  std::size_t next_ = 0;
  TTokenBatch::TTick last_;
};

}  // namespace tavora
