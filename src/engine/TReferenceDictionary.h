#pragma once

// A reference frequency list: for each type of a reference corpus, how often
// it occurs there. Stored as UTF-8 text, one "type TAB count" per line.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavora {

// A count is at most 2^63 - 1 (kMaxCount), so that the engine can take it as a signed
// 64-bit number.
struct TCount {
  static constexpr std::uint64_t kMaxCount = 0x7FFFFFFFFFFFFFFFull;
  std::uint64_t Count = 0;      // occurrences in the reference corpus
  std::uint32_t TokLength = 0;  // length used by the token-length measure
  TCount() = default;
  TCount(std::uint64_t C, std::uint32_t L) : Count(C), TokLength(L) {}
  friend bool operator==(const TCount&, const TCount&) = default;
};

// Hash allowing look-ups with a u16string_view (no allocation).
struct TU16Hash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view s) const noexcept {
    return std::hash<std::u16string_view>{}(s);
  }
};

class TReferenceDictionary {
 public:
  using TMap = std::unordered_map<std::u16string, TCount, TU16Hash, std::equal_to<>>;

  bool IsLoaded = false;       // a file has been read by Load
  bool ShouldSurvive = false;  // kept by an owner beyond an engine's life
  std::uint64_t TotalTokens = 0;
  std::filesystem::path LastFileName;

  // Counts one corpus token; an empty token is ignored.
  void AddToken(std::u16string_view Token);

  // Reads a list file into the map. A missing file is a no-op. Lines end with
  // CR LF, LF or CR; a leading byte-order mark is skipped; a line whose first
  // field is empty is skipped; a repeated type takes its last line while every
  // line's count adds to TotalTokens. A count that is not a whole number from 0 to
  // TCount::kMaxCount (negative, larger, not a number) is taken as 0, a length that is
  // not one from 0 to 2^31 - 1 as the type's own length. Throws std::runtime_error
  // naming the file when it exists but cannot be read, when its counts add up to more
  // than 2^64 - 1, or when memory runs out while it is read.
  void Load(const std::filesystem::path& FileName);

  // Writes the map as a list file: UTF-8 with byte-order mark, CR LF, "type TAB
  // count". The file is written under a temporary name in the same folder and
  // renamed into place (TAtomicFile), so it is either complete or unchanged. Types that hold
  // a TAB, CR or LF (or are empty) cannot be stored in this format and are left
  // out; the return value is the number of types left out. Throws
  // std::runtime_error naming the file when it cannot be written.
  std::size_t Save(const std::filesystem::path& FileName);

  // Every entry in the order of the list file: the most frequent type first, equal counts in
  // code-unit order of the type, so that the same list is saved alike on every platform.
  [[nodiscard]] std::vector<const TMap::value_type*> InListOrder() const;

  // Look-up without allocation; nullptr when the type is not listed.
  [[nodiscard]] const TCount* Find(std::u16string_view Type) const;
  // Adds or replaces an entry.
  void Set(std::u16string_view Type, TCount Value);

  [[nodiscard]] std::size_t Size() const { return map_.size(); }  // V
  [[nodiscard]] bool Empty() const { return map_.empty(); }
  [[nodiscard]] const TMap& Map() const { return map_; }
  [[nodiscard]] TMap::const_iterator begin() const { return map_.begin(); }
  [[nodiscard]] TMap::const_iterator end() const { return map_.end(); }

 private:
  void Read(const std::filesystem::path& FileName);

  TMap map_;
};

}  // namespace tavora
