#include "input/TEnhancedReader.h"

#include <sstream>

#include <gtest/gtest.h>

#include "input/InputTestUtil.h"

namespace tavora {
namespace {

using testing_input::kBlockSizes;
using testing_input::U16;
using testing_input::U8;

enum class TOp { Word, LineWS, Line, BNC };

std::vector<std::u16string> ReadAll(const std::string& bytes, TOp op, std::size_t blockSize) {
  std::istringstream in(bytes, std::ios::binary);
  TEnhancedReader reader(in, blockSize);
  std::vector<std::u16string> items;
  while (!reader.GetEndOfStream()) {
    switch (op) {
      case TOp::Word:
        items.emplace_back(reader.ReadWord());
        break;
      case TOp::LineWS:
        items.emplace_back(reader.ReadLineWS());
        break;
      case TOp::Line:
        items.emplace_back(reader.ReadLine());
        break;
      case TOp::BNC:
        items.emplace_back(reader.ReadBNC());
        break;
    }
  }
  EXPECT_EQ(reader.GetBytesRead(), bytes.size());
  return items;
}

struct TItemsCase {
  TOp Op;
  std::string Input;
  std::vector<std::string> Items;
};

const char kBncSentence[] =
    "<s n=\"1\"><w c5=\"AT0\" hw=\"the\" pos=\"ART\">The </w><w c5=\"NN1\" hw=\"cat\" "
    "pos=\"SUBST\">cat</w></s>\n";

const std::vector<TItemsCase> kItemsCases = {
    {TOp::Word, "Hello, world!", {"Hello", ",", "", "world", "!"}},
    {TOp::Word, "abc123def", {"abc", "123", "def"}},
    {TOp::Word, "3.14", {"3", ".", "14"}},
    {TOp::Word, "don't", {"don't"}},
    {TOp::Word, "e-mail", {"e", "-", "mail"}},
    {TOp::Word, "word\r\n", {"word", ""}},
    {TOp::Word, "two words", {"two", "words"}},
    {TOp::Word,
     "a\xC2\xA0"
     "b",
     {"a", "\xC2\xA0", "b"}},
    {TOp::Word, "a  b", {"a", "", "b"}},
    {TOp::Word, "a\t\nb\rc", {"a", "", "b", "", "c"}},
    {TOp::Word, "\xE4\xB8\xAD\xE6\x96\x87,x", {"\xE4\xB8\xAD\xE6\x96\x87,", "x"}},  // CJK + comma
    {TOp::Word, "word@ @x", {"word@", "", "@", "x"}},
    {TOp::Word,
     "a\xF0\x9F\x98\x80"
     "b",
     {"a", "\xF0\x9F\x98\x80", "b"}},
    // U+FFFD (here from bytes that are not UTF-8) stays inside its item: it takes the class
    // of the item's last other character, or joins what follows at an item's start.
    {TOp::Word,
     "a\xFF"
     "b caf\xE9 r\xE9sum\xE9\n",
     {"a\xEF\xBF\xBD"
      "b",
      "caf\xEF\xBF\xBD", "r\xEF\xBF\xBDsum\xEF\xBF\xBD"}},
    {TOp::Word,
     "ab\xFF"
     "12 \xFF\xFE"
     "12ab \xE4\xB8\xAD\xFF\xE6\x96\x87 x\xEF\xBF\xBD,",
     {"ab\xEF\xBF\xBD", "12",
      "\xEF\xBF\xBD\xEF\xBF\xBD"
      "12",
      "ab", "\xE4\xB8\xAD\xEF\xBF\xBD\xE6\x96\x87", "x\xEF\xBF\xBD", ","}},
    {TOp::Word,
     "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD1\x96\xD1\x82 \xD2\x91\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA",
     {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD1\x96\xD1\x82",
      "\xD2\x91\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA"}},
    {TOp::Word, "\xD4\xB2\xD5\xA1\xD6\x80\xD6\x87", {"\xD4\xB2\xD5\xA1\xD6\x80\xD6\x87"}},  // Բարև
    {TOp::Word, "\xEF\xBB\xBFHi", {"\xEF\xBB\xBF", "Hi"}},
    {TOp::LineWS, "Hello, world!", {"Hello,", "world!"}},
    {TOp::LineWS, "a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
    {TOp::Line, "a b\r\nc\rd\n\ne", {"a b", "c", "d", "", "e"}},
    {TOp::Line, "x\n", {"x"}},
    {TOp::Line, "x\r", {"x"}},
    {TOp::Line, "\r\n\r\n", {"", ""}},
    {TOp::BNC,
     kBncSentence,
     {"", "w c5=\"AT0\" hw=\"the\" pos=\"ART\">The </w>",
      "w c5=\"NN1\" hw=\"cat\" pos=\"SUBST\">cat</w>", "/s>\n"}},
    {TOp::BNC,
     "<wtext type=\"F\"><caption>x</caption><c c5=\"PUN\">.</c>",
     {"", "c c5=\"PUN\">.</c>"}},
    {TOp::BNC, "<w a=\"1\">never closed", {"", "w a=\"1\">never closed"}},
};

TEST(TEnhancedReader, CutsItemsAsEachOperationSays) {
  for (const TItemsCase& c : kItemsCases) {
    for (const std::size_t block : kBlockSizes) {
      SCOPED_TRACE(testing::Message() << c.Input << " / block " << block);
      EXPECT_EQ(U8(ReadAll(c.Input, c.Op, block)), c.Items);
    }
  }
}

TEST(TEnhancedReader, ThousandSpacesGiveEmptyItemsBetweenTwoWords) {
  const std::string text = "one" + std::string(1000, ' ') + "two";
  for (const std::size_t block : kBlockSizes) {
    const auto items = ReadAll(text, TOp::Word, block);
    ASSERT_EQ(items.size(), 1001u);
    EXPECT_EQ(items.front(), u"one");
    EXPECT_EQ(items.back(), u"two");
  }
}

struct TDecodeCase {
  std::string Bytes;
  std::u16string Text;
};

const std::vector<TDecodeCase> kDecodeCases = {
    {"\xFF", u"\uFFFD"},
    {"\xC3", u"\uFFFD"},
    {"\xC3(", u"\uFFFD("},
    {"\xE2\x82", u"\uFFFD"},
    {"\xE2\x82(", u"\uFFFD("},
    {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
    {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
    {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
    {"\xE2\x82\xAC\xC3\xA4z", u"\u20ACäz"},
    {"\xEF\xBB\xBF"
     "a",
     u"\uFEFFa"},
    {"a\x80\x80"
     "b",
     u"a\uFFFD\uFFFDb"},
};

TEST(TEnhancedReader, DecodesUtf8WholeAcrossBlocksAndReplacesInvalidBytes) {
  for (const TDecodeCase& c : kDecodeCases) {
    for (const std::size_t block : kBlockSizes) {
      SCOPED_TRACE(testing::Message() << "block " << block << " case " << U8(c.Text));
      const auto items = ReadAll(c.Bytes, TOp::Line, block);
      ASSERT_EQ(items.size(), 1u);
      EXPECT_EQ(items[0], c.Text);
    }
  }
}

// Every operation gives the same items whatever the block size.
TEST(TEnhancedReader, ItemsDoNotDependOnTheBlockSize) {
  std::string mixed;
  for (int i = 0; i < 40; ++i) {
    mixed += "Größe, \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD1\x96\xD1\x82 12.5\r\n";
    mixed +=
        "a\xF0\x9F\x98\x80"
        "b\t\xE4\xB8\xAD\xE6\x96\x87\xFF\xE2\x82 x\r";
    mixed += "\n\n";
    mixed += kBncSentence;
    mixed += std::string(static_cast<std::size_t>(i), ' ');
  }
  mixed += std::string(10000, 'L');  // one item longer than many blocks
  for (const TOp op : {TOp::Word, TOp::LineWS, TOp::Line, TOp::BNC}) {
    const auto reference = ReadAll(mixed, op, 4096);
    for (const std::size_t block : kBlockSizes) {
      EXPECT_EQ(ReadAll(mixed, op, block), reference)
          << "op " << static_cast<int>(op) << " block " << block;
    }
  }
}

TEST(TEnhancedReader, EmptyInputIsAtItsEnd) {
  std::istringstream in(std::string{});
  TEnhancedReader reader(in, 7);
  EXPECT_TRUE(reader.GetEndOfStream());
  EXPECT_EQ(reader.ReadWord(), u"");
  EXPECT_EQ(reader.ReadBNC(), u"");
}

}  // namespace
}  // namespace tavora
