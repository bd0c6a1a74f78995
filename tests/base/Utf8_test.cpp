#include "base/Utf8.h"

#include <string>

#include <gtest/gtest.h>

namespace tavora {
namespace {

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

TEST(Utf8, ConvertsBothWaysAndReplacesEachIllFormedSubpart) {
  EXPECT_EQ(Utf8ToUtf16("\xC5\x99\x65k\xF0\x9F\x98\x80"), u"\u0159ek\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"\u0159ek\U0001F600"), "\xC5\x99\x65k\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("a\xC5"), u"a\uFFFD");                        // cut sequence
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                // overlong lead
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");    // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82x\xF0\x9F\x98"), u"\uFFFDx\uFFFD");  // lead with what fits it
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// A sequence cut by the end of a block waits for the next one; the whole input then decodes
// as it does in one piece.
TEST(Utf8, BlocksDecodeAsTheWhole) {
  const std::string text = "a\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBB\xBF\xC3\xA4\xFFz";
  const std::u16string whole = Utf8ToUtf16(text);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    std::u16string out(text.size(), u'\0');
    const TUtf8Decoded first = DecodeUtf8(Bytes(text), cut, out.data(), false);
    const std::string rest = text.substr(first.Consumed);
    const TUtf8Decoded second =
        DecodeUtf8(Bytes(rest), rest.size(), out.data() + first.Produced, true);
    EXPECT_EQ(out.substr(0, first.Produced + second.Produced), whole) << cut;
  }
  std::u16string out(text.size(), u'\0');
  EXPECT_EQ(DecodeUtf8(Bytes(text), text.size(), out.data(), true).FeffEnd, 5u);  // after U+FEFF
}

TEST(Utf8, StopEndsBeforeTheIllFormedSequence) {
  struct Case {
    std::string Bytes;
    std::size_t Consumed;
    std::size_t Invalid;  // the byte that breaks the sequence
  };
  const Case cases[] = {{"ab\xFF", 2, 2},
                        {"a\xE2\x28\xA1", 1, 2},
                        {"\xED\xA0\x80", 0, 1},
                        {"ok", 2, TUtf8Decoded::kNone}};
  for (const Case& c : cases) {
    std::u16string out(c.Bytes.size(), u'\0');
    const TUtf8Decoded d =
        DecodeUtf8(Bytes(c.Bytes), c.Bytes.size(), out.data(), true, TOnInvalid::Stop);
    EXPECT_EQ(d.Consumed, c.Consumed) << c.Bytes;
    EXPECT_EQ(d.Invalid, c.Invalid) << c.Bytes;
  }
  std::string utf8;
  EXPECT_FALSE(AppendUtf16ToUtf8(utf8, u"ok\xDC00", TOnInvalid::Stop));
  EXPECT_EQ(utf8, "ok");
}

// Names that are not UTF-8: Escape keeps each byte of an ill-formed sequence as U+DC80..U+DCFF
// and gives it back; shown, each such byte is one U+FFFD.
TEST(Utf8, EscapeKeepsBytesThatAreNotUtf8) {
  for (const std::string bytes : {"n\xE9.txt", "\xFF\xFE", "\xE2\x82x\xED\xA0\x80", "\xC5\x99ok"}) {
    const std::u16string escaped = Utf8ToUtf16(bytes, TOnInvalid::Escape);
    std::string back;
    EXPECT_TRUE(AppendUtf16ToUtf8(back, escaped, TOnInvalid::Escape));
    EXPECT_EQ(back, bytes);
  }
  EXPECT_EQ(Utf8ToUtf16("n\xE9\xE2\x82", TOnInvalid::Escape), u"n\xDCE9\xDCE2\xDC82");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("n\xE9.txt", TOnInvalid::Escape)), "n\xEF\xBF\xBD.txt");
  std::u16string out(4, u'\0');
  EXPECT_EQ(DecodeUtf8(Bytes("\xC0\xAFx\xFF"), 4, out.data(), true).Replaced, 3u);
}

}  // namespace
}  // namespace tavora
