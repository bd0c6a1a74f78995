#pragma once

// Interns type texts to dense integer ids 0, 1, 2, ... Open addressing over one
// array of 8-byte slots (part of the hash and the id). Each id has a 24-byte
// key with the text's first 11 code units and its length, so a look-up of a
// text of up to 11 units reads one slot and one key; longer texts compare
// their rest with the arena, where all texts live back to back. Frequent types
// come early and get low ids, so their keys share few cache lines. Never
// allocates on a hit.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

class TTypeIndex {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  // The most texts an index holds (ids are 32 bits, one value marks an absent text).
  static constexpr std::size_t kMaxSize = 0xFFFFFFFEu;

  TTypeIndex();

  // A text's hash and key, computed once for its look-up and the prefetches before it.
  struct THashed;

  [[nodiscard]] std::uint32_t Find(std::u16string_view text) const;
  // The id of text, added as the next id when absent (inserted tells which). Throws
  // std::length_error when a new text would need an id beyond kMaxSize - 1.
  std::uint32_t FindOrInsert(std::u16string_view text, bool& inserted);
  // The same with the text's hash and key already computed (Hashed(text)).
  std::uint32_t FindOrInsert(std::u16string_view text, const THashed& hashed, bool& inserted);

  [[nodiscard]] static THashed Hashed(std::u16string_view text);
  // The same written in place: a caller that keeps the hash in an array spares the copy,
  // whose wide loads of the fields just written stall on store forwarding.
  static void HashInto(std::u16string_view text, THashed& hashed) {
    hashed.Hash = HashAndKey(text, hashed.Key);
  }

  // Look-ups are bound by memory latency once the table outgrows the cache. A caller that
  // knows its next texts asks for them early, in two steps some texts apart: PrefetchSlot
  // starts loading the slot of a text, PrefetchKey (later, once the slot has arrived) the
  // key of the id found there, which it returns (kAbsent when the slot is empty or holds
  // another hash). Both only read; they pay once the table has outgrown the cache (IsLarge).
  void PrefetchSlot(const THashed& hashed) const { PrefetchLine(&slots_[hashed.Hash & mask_]); }
  std::uint32_t PrefetchKey(const THashed& hashed) const {
    const std::uint64_t slot = slots_[hashed.Hash & mask_];
    if (slot == 0 || (slot >> 32) != (hashed.Hash >> 32)) return kAbsent;
    const auto id = static_cast<std::uint32_t>(slot) - 1;
    PrefetchLine(&keys_[id]);
    return id;
  }
  // Whether the table has outgrown the cache, so that prefetching pays.
  [[nodiscard]] bool IsLarge() const { return slots_.size() >= kPrefetchFrom; }
  // A hint to load the cache line of p; nothing where the compiler has no such hint.
  static void PrefetchLine(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
  }
  // Valid until the next insertion.
  [[nodiscard]] std::u16string_view Text(std::uint32_t id) const {
    return std::u16string_view(arena_).substr(offsets_[id], offsets_[id + 1] - offsets_[id]);
  }
  [[nodiscard]] std::size_t Size() const { return offsets_.size() - 1; }
  void Clear();

  [[nodiscard]] static std::uint64_t Hash(std::u16string_view text);

 private:
  static constexpr std::size_t kInline = 11;  // code units kept in a slot
  // Tables of fewer slots (at most 16,384 types: with their keys under 1 MB) stay in the
  // cache: no prefetching.
  static constexpr std::size_t kPrefetchFrom = std::size_t{1} << 16;

  // The first kInline units, zero-padded, and the length saturated to 16 bits:
  // equal keys mean equal texts for texts of up to kInline units.
  struct TKey {
    std::uint64_t word[3];
    friend bool operator==(const TKey&, const TKey&) = default;
  };

 public:
  struct THashed {
    std::uint64_t Hash = 0;
    TKey Key{};
  };

 private:
  static std::uint64_t HashAndKey(std::u16string_view text, TKey& key);
  // The slot of text, or of the empty slot where it belongs.
  [[nodiscard]] std::size_t Probe(std::u16string_view text, std::uint64_t hash,
                                  const TKey& key) const;
  void Grow();

  // High 32 bits: the upper half of the hash; low 32 bits: id + 1; 0 = empty.
  std::vector<std::uint64_t> slots_;
  std::vector<TKey> keys_;  // by id
  std::uint64_t mask_ = 0;
  std::u16string arena_;
  std::vector<std::uint64_t> offsets_;  // text of id i: [offsets_[i], offsets_[i+1])
};

}  // namespace tavora
