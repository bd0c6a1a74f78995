#pragma once

// The vocabulary of the further lexical-diversity indices computed once per text: the
// indices in column order, their names, captions, digits and set.

#include <array>
#include <cstddef>
#include <cstdint>
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

// Name on the command line (--indices) and in the results database ("mtld", "yule-k").
[[nodiscard]] std::string_view IndexName(tIndex i);
// Column title in the indices file ("MTLD", "Yule's K").
[[nodiscard]] std::u16string_view IndexCaption(tIndex i);
// Digits after the decimal point when the value is written.
[[nodiscard]] int IndexDigits(tIndex i);

}  // namespace tavora
