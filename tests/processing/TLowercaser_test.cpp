#include "processing/TLowercaser.h"

#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace tavora {
namespace {

// The ASCII fast path gives what ICU gives for the same characters.
TEST(TLowercaser, AsciiFastPathAgreesWithIcu) {
  for (const char* locale : {"en_US", "de", "lt", "nl", ""}) {
    TLowercaser lower(locale);
    std::u16string fast, appended, icu;
    for (char16_t c = 1; c < 0x80; ++c) {
      // Five units: a step of four at once and one more alone.
      const std::u16string ascii = std::u16string(1, c) + u"aZ@" + c;
      lower.Lower(ascii, fast);
      appended.clear();
      lower.LowerAppend(ascii, appended);
      lower.Lower(ascii + u"\u00E9", icu);  // one non-ASCII unit forces ICU
      EXPECT_EQ(fast + u"\u00E9", icu) << locale << " " << static_cast<int>(c);
      EXPECT_EQ(appended + u"\u00E9", icu) << locale << " " << static_cast<int>(c);
    }
  }
}

TEST(TLowercaser, LocaleRules) {
  struct Case {
    const char* locale;
    std::u16string_view in, out;
  };
  const Case cases[] = {
      {"tr_TR", u"TITLE", u"t\u0131tle"},
      {"az_AZ", u"I", u"\u0131"},
      {"tr", u"\u0130stanbul", u"istanbul"},
      {"en_US", u"\u0130stanbul", u"i\u0307stanbul"},
      {"en_US", u"TITLE", u"title"},
      {"el", u"\u039F\u0394\u039F\u03A3", u"\u03BF\u03B4\u03BF\u03C2"},
      {"de", u"STRASSE \u00C4", u"strasse \u00E4"},
      {"en_US", u"", u""},
  };
  for (const Case& c : cases) {
    TLowercaser lower(c.locale);
    std::u16string out = u"left over";
    lower.Lower(c.in, out);
    EXPECT_EQ(out, c.out) << c.locale << " " << Utf16ToUtf8(c.in);
    EXPECT_TRUE(lower.IsLower(c.out)) << c.locale << " " << Utf16ToUtf8(c.out);
    EXPECT_EQ(lower.IsLower(c.in), c.in == c.out) << c.locale << " " << Utf16ToUtf8(c.in);
  }
}

// Appending gives what Lower gives, after what the buffer held, also when the text leaves
// ASCII after a few units or lengthens; the thread-safe IsLower agrees with the other.
TEST(TLowercaser, LowerAppendAndIsLowerWithScratchAgreeWithLower) {
  const std::u16string_view texts[] = {
      u"",      u"ABC",         u"abc",          u"ABC\u00C9", u"\u0130stanbul",
      u"TITLE", u"Stra\u00DFE", u"\u039F\u03A3", u"A1-B"};
  for (const char* locale : {"en_US", "tr_TR", "de", "el"}) {
    const TLowercaser lower(locale);
    std::u16string appended = u"keep|";
    std::u16string expected = u"keep|";
    std::u16string one, scratch;
    for (const std::u16string_view text : texts) {
      lower.Lower(text, one);
      expected += one;
      expected += u'|';
      lower.LowerAppend(text, appended);
      appended += u'|';
      EXPECT_EQ(lower.IsLower(text, scratch), one == text) << locale << " " << Utf16ToUtf8(text);
    }
    EXPECT_EQ(appended, expected) << locale;
  }
}

TEST(TLowercaser, EmptyLocaleIsIcuDefault) {
  EXPECT_FALSE(TLowercaser().GetLocale().empty());
  EXPECT_EQ(TLowercaser("tr_TR").GetLocale(), "tr_TR");
}

}  // namespace
}  // namespace tavora
