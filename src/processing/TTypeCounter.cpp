#include "processing/TTypeCounter.h"

#include "engine/TReferenceDictionary.h"

namespace tavora {

void TTypeCounter::MoveInto(TReferenceDictionary& list) {
  list.TotalTokens += total_;
  for (std::uint32_t id = 0; id < counts_.size(); ++id) {
    const std::u16string_view type = index_.Text(id);
    list.Set(type, TCount(counts_[id], static_cast<std::uint32_t>(type.size())));
  }
  index_.Clear();
  counts_ = {};
  total_ = 0;
}

}  // namespace tavora
