#include "input/Letters.h"

#include <gtest/gtest.h>

namespace tavora {
namespace {

struct TClassCase {
  char16_t Char;
  bool Letter;
  bool Digit;
  bool Punctuation;
};

// Boundaries of every range plus characters from several scripts.
const TClassCase kCases[] = {
    {u'@', true, false, true},
    {u'\'', true, false, false},
    {0x008A, true, false, true},
    {0x008B, false, false, true},
    {0x009F, true, false, true},
    {0x00D7, false, false, false},
    {0x00F7, false, false, false},
    {0x01C0, false, false, false},
    {0x01C3, false, false, false},
    {0x01C4, true, false, false},
    {0x02B8, true, false, false},
    {0x02B9, false, false, false},
    {u'A', true, false, false},
    {u'z', true, false, false},
    {u'{', false, false, true},
    {u'0', false, true, false},
    {u'9', false, true, false},
    {u'/', false, false, true},
    {u':', false, false, true},
    {u' ', false, false, false},
    {u'\t', false, false, false},
    {0x00A0, false, false, true},
    {0x00BF, false, false, true},
    {0x00C0, true, false, false},
    {0x037E, false, false, true},
    {0x0384, true, false, false},
    {0x0481, true, false, false},
    {0x0482, false, false, false},
    {0x0489, false, false, false},
    // Cyrillic beyond U+0481 and the Cyrillic Supplement: Ukrainian ґ, Abkhaz, Komi letters.
    {0x048A, true, false, false},
    {0x0491, true, false, false},
    {0x04E9, true, false, false},
    {0x052F, true, false, false},
    {0x0530, false, false, false},
    // Armenian capitals and small letters.
    {0x0531, true, false, false},
    {0x0556, true, false, false},
    {0x0557, false, false, false},
    {0x0561, true, false, false},
    {0x0587, true, false, false},
    {0x0588, false, false, false},
    {0x05C3, false, false, true},
    {0x05D0, true, false, false},
    {0x05F2, false, false, false},
    {0x061B, false, false, true},
    {0x061F, false, false, true},
    {0x0660, false, true, false},
    {0x066A, false, false, true},
    {0x066D, false, false, true},
    {0x066E, true, false, false},
    {0x0674, false, false, false},
    {0x06D4, false, false, false},
    {0x06F0, false, true, false},
    {0x06F9, false, true, false},
    {0x06FA, true, false, false},
    {0x07E4, true, false, false},
    {0x07E5, false, false, false},
    {0x0966, false, false, false},
    {0x2013, false, false, false},
    {0x2019, false, false, false},
    {0x4E2D, false, false, false},
    {0xD800, false, false, false},
    {0xFF10, false, true, false},
    {0xFF19, false, true, false},
    {0xFF1A, false, false, false},
};

TEST(Letters, ClassesFollowTheirRanges) {
  for (const TClassCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(c.Char));
    EXPECT_EQ(IsLetterChar(c.Char), c.Letter);
    EXPECT_EQ(IsDigitChar(c.Char), c.Digit);
    EXPECT_EQ(IsPunctuationChar(c.Char), c.Punctuation);
  }
}

TEST(Letters, NothingFromU2021UpwardsButFullwidthDigits) {
  for (unsigned c = 0x2021; c <= 0xFFFF; ++c) {
    const auto ch = static_cast<char16_t>(c);
    ASSERT_FALSE(IsLetterChar(ch)) << c;
    ASSERT_FALSE(IsPunctuationChar(ch)) << c;
    ASSERT_EQ(IsDigitChar(ch), c >= 0xFF10 && c <= 0xFF19) << c;
  }
}

}  // namespace
}  // namespace tavora
