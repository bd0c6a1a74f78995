#include "processing/TProgressTicker.h"

namespace tavora {

void TProgressTicker::Before(std::size_t i) {
  for (; next_ < ticks_->size() && (*ticks_)[next_].Before == i; ++next_) {
    last_ = (*ticks_)[next_];
    Again();
  }
}

void TProgressTicker::Again() const {
  if (progress_ && !progress_(last_.BytesRead, last_.TotalBytes, last_.Tokens))
    throw TRunCancelled();
}

}  // namespace tavora
