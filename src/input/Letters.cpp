#include "input/Letters.h"

#include <iterator>

namespace tavora::letters_detail {
namespace {

struct TRange {
  char16_t First;
  char16_t Last;
};

constexpr TRange kLetterRanges[] = {
    {0x0027, 0x0027},
    {0x0040, 0x005A},
    {0x0061, 0x007A},
    // seven single positions in the C1 control range
    {0x008A, 0x008A},
    {0x008C, 0x008C},
    {0x008E, 0x008E},
    {0x009A, 0x009A},
    {0x009C, 0x009C},
    {0x009E, 0x009F},
    {0x00C0, 0x00D6},
    {0x00D8, 0x00F6},
    {0x00F8, 0x01BF},
    {0x01C4, 0x02B8},
    {0x037B, 0x037D},
    {0x0384, 0x0481},
    // rest of Cyrillic and Cyrillic Supplement, Armenian capitals: keeps such words whole
    {0x048A, 0x052F},
    {0x0531, 0x0556},
    {0x0561, 0x0587},
    {0x05D0, 0x05EA},
    {0x05F0, 0x05F1},
    {0x0621, 0x065E},
    {0x066E, 0x0673},
    {0x0675, 0x06D3},
    {0x06EE, 0x06EF},
    {0x06FA, 0x06FF},
    {0x070F, 0x072E},
    {0x0750, 0x076D},
    {0x0780, 0x07B1},
    {0x07CA, 0x07E4},
};

constexpr TRange kDigitRanges[] = {
    {0x0030, 0x0039},
    {0x0660, 0x0669},
    {0x06F0, 0x06F9},
    {0xFF10, 0xFF19},
};

constexpr TRange kPunctuationRanges[] = {
    {0x0021, 0x0026}, {0x0028, 0x002F}, {0x003A, 0x0040}, {0x005B, 0x0060},
    {0x007B, 0x00BF}, {0x037E, 0x037E}, {0x05C3, 0x05C3}, {0x05F3, 0x05F4},
    {0x061B, 0x061B}, {0x061F, 0x061F}, {0x066A, 0x066D},
};

// Any of these characters makes a token punctuation.
constexpr char16_t kTokenPunctuationChars[] =
    u",.()_/=\":][\u00BB\u00AB}{\u061B!\\\u060C><\u00D7\u00F7\u2018\u061F\u00B6\u2019?;+";
static_assert(std::size(kTokenPunctuationChars) == 31);  // 30 and the terminator

constexpr TRange kTokenDigitRanges[] = {
    {0x0030, 0x0039},
    {0x0660, 0x0669},
    {0x06F4, 0x06F6},
};

template <std::size_t N>
constexpr void Mark(std::array<std::uint8_t, 65536>& table, const TRange (&ranges)[N],
                    std::uint8_t flag) {
  for (const TRange& r : ranges)
    for (unsigned c = r.First; c <= r.Last; ++c) table[c] |= flag;
}

constexpr std::array<std::uint8_t, 65536> MakeTable() {
  std::array<std::uint8_t, 65536> table{};
  Mark(table, kLetterRanges, kLetter);
  Mark(table, kDigitRanges, kDigit);
  Mark(table, kPunctuationRanges, kPunctuation);
  for (std::size_t i = 0; i + 1 < std::size(kTokenPunctuationChars); ++i)
    table[kTokenPunctuationChars[i]] |= kTokenPunctuation;
  Mark(table, kTokenDigitRanges, kTokenDigit);
  return table;
}

}  // namespace

constinit const std::array<std::uint8_t, 65536> kCharClasses = MakeTable();

}  // namespace tavora::letters_detail
