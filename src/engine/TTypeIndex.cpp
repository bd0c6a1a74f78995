#include "engine/TTypeIndex.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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
  keys_.clear();
  mask_ = kInitialSlots - 1;
  arena_.clear();
  offsets_.assign(1, 0);
}

std::uint64_t TTypeIndex::Hash(std::u16string_view text) {
  TKey unused;
  return HashAndKey(text, unused);
}

std::uint64_t TTypeIndex::HashAndKey(std::u16string_view text, TKey& key) {
  // The key is built from the very words the hash reads, in registers: units
  // 0-3, 4-7 and 8-10, the length in the top 16 bits of the last word. (Kept in
  // scalars: an array written word by word and read back whole stalls on
  // store forwarding.)
  std::uint64_t w0 = 0;
  std::uint64_t w1 = 0;
  std::uint64_t w2 = 0;
  const auto keep = [&](std::size_t block, std::uint64_t k) {
    if (block == 0)
      w0 = k;
    else if (block == 1)
      w1 = k;
    else if (block == 2)
      w2 = k;
  };
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  const char16_t* p = text.data();
  std::size_t n = text.size();
  std::size_t block = 0;
  while (n >= 4) {
    std::uint64_t k;
    std::memcpy(&k, p, sizeof k);
    keep(block++, k);
    h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
    p += 4;
    n -= 4;
  }
  std::uint64_t k = 0;
  for (std::size_t i = 0; i < n; ++i) k |= static_cast<std::uint64_t>(p[i]) << (16 * i);
  keep(block, k);
  h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
  const std::uint64_t length = std::min<std::size_t>(text.size(), 0xFFFF);
  key.word[0] = w0;
  key.word[1] = w1;
  key.word[2] = (w2 & 0x0000FFFFFFFFFFFFull) | (length << 48);
  return Mix(h);
}

inline std::size_t TTypeIndex::Probe(std::u16string_view text, std::uint64_t hash,
                                     const TKey& key) const {
  const std::uint64_t tag = hash >> 32;
  for (std::uint64_t i = hash & mask_;; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) return i;
    if ((slot >> 32) == tag) {
      const auto id = static_cast<std::uint32_t>(slot) - 1;
      if (keys_[id] == key && (text.size() <= kInline || Text(id) == text)) return i;
    }
  }
}

std::uint32_t TTypeIndex::Find(std::u16string_view text) const {
  TKey key;
  const std::uint64_t hash = HashAndKey(text, key);
  const std::uint64_t slot = slots_[Probe(text, hash, key)];
  return slot == 0 ? kAbsent : static_cast<std::uint32_t>(slot) - 1;
}

TTypeIndex::THashed TTypeIndex::Hashed(std::u16string_view text) {
  THashed hashed;
  HashInto(text, hashed);
  return hashed;
}

std::uint32_t TTypeIndex::FindOrInsert(std::u16string_view text, bool& inserted) {
  return FindOrInsert(text, Hashed(text), inserted);
}

std::uint32_t TTypeIndex::FindOrInsert(std::u16string_view text, const THashed& hashed,
                                       bool& inserted) {
  const std::uint64_t hash = hashed.Hash;
  const TKey& key = hashed.Key;
  std::uint64_t& slot = slots_[Probe(text, hash, key)];
  if (slot != 0) {
    inserted = false;
    return static_cast<std::uint32_t>(slot) - 1;
  }
  if (Size() >= kMaxSize) {
    throw std::length_error("More than 4294967294 distinct types: the table of types is full.");
  }
  inserted = true;
  const auto id = static_cast<std::uint32_t>(Size());
  arena_.append(text);
  offsets_.push_back(arena_.size());
  keys_.push_back(key);
  slot = ((hash >> 32) << 32) | (static_cast<std::uint64_t>(id) + 1);
  if (Size() * 2 > slots_.size()) Grow();
  return id;
}

void TTypeIndex::Grow() {
  std::vector<std::uint64_t> old(slots_.size() * 2, 0);
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  for (const std::uint64_t s : old) {
    if (s == 0) continue;
    std::uint64_t i = Hash(Text(static_cast<std::uint32_t>(s) - 1)) & mask_;
    while (slots_[i] != 0) i = (i + 1) & mask_;
    slots_[i] = s;
  }
}

}  // namespace tavora
