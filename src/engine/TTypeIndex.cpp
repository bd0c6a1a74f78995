#include "engine/TTypeIndex.h"

#include <algorithm>
#include <cstring>

namespace tavora {

namespace {

constexpr std::size_t kInitialSlots = 1024;

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  return h;
}

}  // namespace

TTypeIndex::TTypeIndex() { Clear(); }

void TTypeIndex::Clear() {
  slots_.assign(kInitialSlots, 0);
  mask_ = kInitialSlots - 1;
  arena_.clear();
  offsets_.assign(1, 0);
}

std::uint64_t TTypeIndex::Hash(std::u16string_view text) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  const char16_t* p = text.data();
  std::size_t n = text.size();
  while (n >= 4) {
    std::uint64_t k;
    std::memcpy(&k, p, sizeof k);
    h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    p += 4;
    n -= 4;
  }
  std::uint64_t k = 0;
  for (std::size_t i = 0; i < n; ++i) k |= static_cast<std::uint64_t>(p[i]) << (16 * i);
  h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
  return Mix(h);
}

std::uint32_t TTypeIndex::Find(std::u16string_view text) const {
  const std::uint64_t hash = Hash(text);
  const std::uint64_t tag = hash >> 32;
  for (std::uint64_t i = hash & mask_;; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) return kAbsent;
    if ((slot >> 32) == tag) {
      const auto id = static_cast<std::uint32_t>(slot) - 1;
      if (Text(id) == text) return id;
    }
  }
}

std::uint32_t TTypeIndex::FindOrInsert(std::u16string_view text, bool& inserted) {
  const std::uint64_t hash = Hash(text);
  const std::uint64_t tag = hash >> 32;
  std::uint64_t i = hash & mask_;
  for (;; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) break;
    if ((slot >> 32) == tag) {
      const auto id = static_cast<std::uint32_t>(slot) - 1;
      if (Text(id) == text) {
        inserted = false;
        return id;
      }
    }
  }
  inserted = true;
  const auto id = static_cast<std::uint32_t>(Size());
  arena_.append(text);
  offsets_.push_back(static_cast<std::uint32_t>(arena_.size()));
  slots_[i] = (tag << 32) | (static_cast<std::uint64_t>(id) + 1);
  if (Size() * 2 > slots_.size()) Grow();
  return id;
}

void TTypeIndex::Place(std::uint64_t hash, std::uint32_t id) {
  std::uint64_t i = hash & mask_;
  while (slots_[i] != 0) i = (i + 1) & mask_;
  slots_[i] = ((hash >> 32) << 32) | (static_cast<std::uint64_t>(id) + 1);
}

void TTypeIndex::Grow() {
  slots_.assign(slots_.size() * 2, 0);
  mask_ = slots_.size() - 1;
  for (std::uint32_t id = 0; id < Size(); ++id) Place(Hash(Text(id)), id);
}

}  // namespace tavora
