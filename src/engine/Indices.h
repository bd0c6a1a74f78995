#pragma once

// The vocabulary of the further lexical-diversity indices computed once per text: the
// indices in column order, their names, captions, digits and set, and the variants of their
// definitions.

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
  ixMTLDMAWrap,
  ixMTLDMABid,
  ixVocdD,
  ixVocdD3,
  ixLgV0,
  ixLgeV0,
  ixUber,
};

inline constexpr std::size_t kIndexCount = 19;

using TIndexSet = EnumSet<tIndex, kIndexCount, std::uint32_t>;
using TIndexValues = EnumArray<tIndex, kIndexCount>;

// Name on the command line (--indices) and in the results database ("mtld", "yule-k").
[[nodiscard]] std::string_view IndexName(tIndex i);

// The indices written when none are named: the twelve from MTLD to CTTR. The later ones are
// written only when chosen, so that the files of a default run keep their columns.
inline constexpr TIndexSet kDefaultIndices = TIndexSet::FromMask((1u << 12) - 1);

// Where a factor of MTLD and MTLD-MA ends. MTLD-MA wrap and bid always follow
// mrBelowMinTen, as the lexical_diversity package defines them.
enum class TMtldRule : std::uint8_t {
  mrAtOrBelow,    // at TTR <= threshold
  mrBelowMinTen,  // at TTR < threshold, when the factor holds at least 10 tokens
};

// The logarithm of Maas, Dugast and Summer.
enum class TLogBase : std::uint8_t { lbNatural, lbDecimal };

// The settings in which published definitions of the indices differ. The defaults give
// the values Tavora has always written.
struct TIndexVariants {
  // TTR at which an MTLD factor ends, in (0, 1); taken to 6 decimals.
  double MtldThreshold = 0.72;
  TMtldRule MtldRule = TMtldRule::mrAtOrBelow;
  // Tokens in the random sample whose expected TTR HD-D is (at least 1).
  std::uint32_t HddSample = 42;
  TLogBase LogBase = TLogBase::lbNatural;
  // Start of the random sampling of vocd-D; every text starts from it.
  std::uint64_t Seed = 42;

  friend bool operator==(const TIndexVariants&, const TIndexVariants&) = default;
};

// Column title in the indices file ("MTLD", "Yule's K").
[[nodiscard]] std::u16string_view IndexCaption(tIndex i);
// Digits after the decimal point when the value is written.
[[nodiscard]] int IndexDigits(tIndex i);

}  // namespace tavora
