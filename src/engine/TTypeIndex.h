#pragma once

// Interns type texts to dense integer ids 0, 1, 2, ... Open addressing over one
// array of slots; the texts live back to back in one buffer, so a look-up costs
// one hash and usually one or two cache lines, and never allocates.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavora {

class TTypeIndex {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

  TTypeIndex();

  [[nodiscard]] std::uint32_t Find(std::u16string_view text) const;
  // The id of text, added as the next id when absent (inserted tells which).
  std::uint32_t FindOrInsert(std::u16string_view text, bool& inserted);
  // Valid until the next insertion.
  [[nodiscard]] std::u16string_view Text(std::uint32_t id) const {
    return std::u16string_view(arena_).substr(offsets_[id], offsets_[id + 1] - offsets_[id]);
  }
  [[nodiscard]] std::size_t Size() const { return offsets_.size() - 1; }
  void Clear();

  [[nodiscard]] static std::uint64_t Hash(std::u16string_view text);

 private:
  void Grow();
  void Place(std::uint64_t hash, std::uint32_t id);

  // High 32 bits: the upper half of the hash; low 32 bits: id + 1; 0 = empty.
  std::vector<std::uint64_t> slots_;
  std::uint64_t mask_ = 0;
  std::u16string arena_;
  std::vector<std::uint32_t> offsets_;  // text of id i: [offsets_[i], offsets_[i+1])
};

}  // namespace tavora
