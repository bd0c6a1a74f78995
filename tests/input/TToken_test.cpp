#include "input/TToken.h"

#include <gtest/gtest.h>

#include "input/InputTestUtil.h"

namespace tavora {
namespace {

using testing_input::U16;
using testing_input::U8;

struct TSelectCase {
  THow How;
  const char* Raw;
  const char* Word;
  const char* Lemma;
  const char* Tag;
  const char* POS;
};

const TSelectCase kSelectCases[] = {
    {THow::JStandard, "Haus", "Haus", "Haus", "", ""},
    {THow::JLines, "ein Haus", "ein Haus", "ein Haus", "", ""},
    {THow::JWhiteSpaces, "Haus,", "Haus,", "Haus,", "", ""},
    {THow::jSYN, "houses\thouse\tNNS\tN", "houses", "house", "NNS", "N"},
    {THow::jSYN, "houses\thouse\tNNS", "houses", "house", "NNS", ""},
    {THow::jSYN, "houses", "houses", "", "", ""},
    {THow::jSYN, "a\t\tT", "a", "", "T", ""},
    {THow::jCOCA, "houses\thouse\tnn2", "houses", "house", "nn2", "nn2"},
    {THow::jCONLLU, "1\tThe\tthe\tDET\tDT\tDefinite=Def\t2\tdet\t_\t_", "The", "the", "DT", "DET"},
    {THow::jCONLLU, "#", "", "", "", ""},
    {THow::jCONLLU, "1-2\tvom\t_\t_\t_\t_\t_\t_\t_\t_", "vom", "_", "_", "_"},
    // w element with three attributes: word is the trimmed text.
    {THow::jBNC, "w c5=\"NN1\" hw=\"house\" pos=\"SUBST\">house </w>", "house", "house", "SUBST",
     "NN1"},
    // c element: word and lemma are the untrimmed text, tag and part of speech the attribute.
    {THow::jBNC, "c c5=\"PUN\">, </c>", ", ", ", ", "PUN", "PUN"},
    // Text left after the last element: one value.
    {THow::jBNC, "/s>\n</text>", "", "", "\n", "\n"},
    {THow::jBNC, "no values here", "", "", "", ""},
    {THow::JStandard, "", "", "", "", ""},
};

TEST(TToken, SelectsWordLemmaTagAndPosByFormat) {
  for (const TSelectCase& c : kSelectCases) {
    SCOPED_TRACE(c.Raw);
    TToken token(c.How);
    token.SetRaw(U16(c.Raw));
    EXPECT_EQ(U8(token.GetWord()), c.Word);
    EXPECT_EQ(U8(token.GetLemma()), c.Lemma);
    EXPECT_EQ(U8(token.GetTag()), c.Tag);
    EXPECT_EQ(U8(token.GetPOS()), c.POS);
  }
}

TEST(TToken, BncValuesAreAttributeValuesThenText) {
  TToken token(THow::jBNC);
  token.SetRaw(u"w c5=\"A\" hw=\"B\" pos=\"C\">house </w>");
  const auto& parsed = token.GetParsed();
  ASSERT_EQ(parsed.size(), 4u);
  EXPECT_EQ(parsed[0], u"A");
  EXPECT_EQ(parsed[1], u"B");
  EXPECT_EQ(parsed[2], u"C");
  EXPECT_EQ(parsed[3], u"house ");
}

TEST(TToken, TabSplitKeepsInnerEmptyColumnsButNoTrailingOne) {
  TToken token(THow::jSYN);
  token.SetRaw(u"a\t\tb\t");
  const auto& parsed = token.GetParsed();
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[1], u"");
  EXPECT_EQ(parsed[2], u"b");
}

TEST(TToken, CustomColumnsOutsideTheLineGiveEmptyText) {
  TToken token(THow::jCustomVertical);
  token.SetRaw(u"w1\tl1");
  EXPECT_EQ(token.GetWord(), u"w1");  // never configured: all from column 1
  EXPECT_EQ(token.GetTag(), u"w1");
  token.CustomIndexWord = 2;  // column 3 on a two-column line
  token.CustomIndexLemma = 1;
  token.CustomIndexTag = -1;  // column number 0
  EXPECT_EQ(token.GetWord(), u"");
  EXPECT_EQ(token.GetLemma(), u"l1");
  EXPECT_EQ(token.GetTag(), u"");
  EXPECT_EQ(token.GetPOS(), u"");
}

TEST(TToken, GettersFollowTheLatestRawText) {
  TToken token(THow::jSYN);
  token.SetRaw(u"a\tb");
  EXPECT_EQ(token.GetLemma(), u"b");
  token.SetRaw(u"c\td");
  EXPECT_EQ(token.GetWord(), u"c");
  EXPECT_EQ(token.GetLemma(), u"d");
}

struct TClassCase {
  THow How;
  const char* Raw;
  bool Punctuation;
  bool Digit;
};

const TClassCase kClassCases[] = {
    {THow::JStandard, "well-known", false, false},
    {THow::JStandard, "-", true, false},
    {THow::JStandard, "\xE2\x80\x93", true, false},   // en dash alone
    {THow::JStandard, "\xE2\x80\x94", false, false},  // em dash is not in the list
    {THow::JStandard, "e.g.", true, false},
    {THow::JStandard, "3.5", true, true},
    {THow::JStandard, "don\xE2\x80\x99t", true, false},
    {THow::JStandard, "don't", false, false},
    {THow::JStandard, "*#%&@$~^|`", false, false},
    {THow::JStandard, "\xC2\xBB", true, false},  // »
    {THow::JStandard, "\xD8\x8C", true, false},  // Arabic comma
    {THow::JStandard, "x+y", true, false},
    {THow::JStandard, "\xD9\xA0", false, true},                           // Arabic-Indic zero
    {THow::JStandard, "\xDB\xB4", false, true},                           // U+06F4
    {THow::JStandard, "\xDB\xB6", false, true},                           // U+06F6
    {THow::JStandard, "\xDB\xB0\xDB\xB3\xDB\xB7\xDB\xB9", false, false},  // U+06F0, F3, F7, F9
    {THow::JStandard, "\xEF\xBC\x91", false, false},                      // fullwidth one
    {THow::jCONLLU, "1\tword\tword\tX\tZ:-------------", true, false},
    {THow::jSYN, "word\tword\tPUNCT", true, false},
    {THow::jCONLLU, "1\tdvě\tdva\tNUM\tC}-------------", false, true},
    {THow::jSYN, "two\ttwo\tC=", false, true},
    {THow::jSYN, "two\ttwo\tz:", false, false},
    {THow::JStandard, "", false, false},
};

TEST(TToken, PunctuationAndDigitTests) {
  for (const TClassCase& c : kClassCases) {
    SCOPED_TRACE(c.Raw);
    TToken token(c.How);
    token.SetRaw(U16(c.Raw));
    EXPECT_EQ(token.GetIsPunctuation(), c.Punctuation);
    EXPECT_EQ(token.GetIsDigit(), c.Digit);
    const TToken::TClasses classes = token.GetClasses();
    EXPECT_EQ(classes.IsPunctuation, c.Punctuation);
    EXPECT_EQ(classes.IsDigit, c.Digit);
  }
}

}  // namespace
}  // namespace tavora
