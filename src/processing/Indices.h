#pragma once

// The vocabulary of the further lexical-diversity indices computed once per text: the
// indices in column order, their captions, names, digits and set.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Measures.h"

namespace tavora {

// In the order of the columns of the indices file.
enum class tIndex : std::uint8_t {
  ixMTLD,
  ixMTLDMA,
  ixHDD,
  ixMSTTR,
  ixYuleK,
  ixYuleI,
  ixSimpsonD,
  ixHerdanVm,
  ixMaas,
  ixDugast,
  ixSummer,
  ixCTTR,
};

inline constexpr std::size_t kIndexCount = 12;

using TIndexSet = EnumSet<tIndex, kIndexCount, std::uint16_t>;
using TIndexValues = EnumArray<tIndex, kIndexCount>;

// Column title in the indices file ("MTLD", "Yule's K").
[[nodiscard]] std::u16string_view IndexCaption(tIndex i);
// Name on the command line ("mtld", "yule-k").
[[nodiscard]] std::string_view IndexName(tIndex i);
// Digits after the decimal point when the value is written.
[[nodiscard]] int IndexDigits(tIndex i);
// The index of a name, exactly as IndexName gives it.
[[nodiscard]] std::optional<tIndex> FindIndex(std::string_view Name);
// A comma-separated list of names ("mtld,hdd"); spaces around a name are ignored.
// Throws std::invalid_argument naming an unknown or empty name and listing the known ones.
[[nodiscard]] TIndexSet ParseIndexList(std::string_view List);

}  // namespace tavora
