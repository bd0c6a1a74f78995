// Messy corpora: wrong encodings, broken markup, odd line ends, missing and unreadable entries.
// Every case reads to the end (or fails with an error naming the file) and never depends on
// the reader's block size.
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "input/InputTestUtil.h"
#include "input/TTokenizationStream.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;
using testing_input::kBlockSizes;
using testing_input::PathLine;
using testing_input::TTempDir;
using testing_input::U16;
using testing_input::U8;

// Word (or lemma) of every normal token, as UTF-16 so that U+FFFD and NUL stay visible.
std::vector<std::u16string> Read(TTokenizationStream& stream, bool lemma = false) {
  std::vector<std::u16string> out;
  while (TToken* t = stream.ReadToken()) {
    if (!t->IsNormalWord()) continue;
    out.emplace_back(lemma ? t->GetLemma() : t->GetWord());
  }
  return out;
}

std::vector<std::u16string> ReadFile(THow how, const fs::path& file, std::size_t block,
                                     bool lemma = false) {
  TTokenizationStream stream(how, block);
  stream.LoadFromFiles(PathLine(file));
  return Read(stream, lemma);
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian, bool mark = true) {
  std::string out;
  if (mark) out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t c : text) {
    const char hi = static_cast<char>(c >> 8);
    const char lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

struct TBadCase {
  const char* Name;
  THow How;
  std::string Bytes;
  std::vector<std::u16string> Words;
};

// Every case at every block size gives exactly the listed words.
TEST(BadInput, MalformedTextReadsOnAtEveryBlockSize) {
  const std::u16string feff = u"\uFFFD";
  const std::u16string nul(1, u'\0');
  const TBadCase cases[] = {
      // Invalid UTF-8: each bad sequence is one U+FFFD and the text goes on.
      {"invalid utf-8",
       THow::JWhiteSpaces,
       "ab\xFF"
       "cd \xC3 x \xE2\x82 y \xED\xA0\x80 z",
       {u"ab" + feff + u"cd", feff, u"x", feff, u"y", feff + feff + feff, u"z"}},
      {"truncated sequence at the end", THow::JLines, "one\n\xF0\x9F\x98", {u"one", feff}},
      // UTF-16 with a byte-order mark reads as the same text in UTF-8 would.
      {"utf-16le",
       THow::JStandard,
       Utf16Bytes(u"Gr\u00FC\u00DFe, Welt\r\n\U0001F600x", false),
       {u"Gr\u00FC\u00DFe", u",", u"Welt", u"\U0001F600", u"x"}},
      {"utf-16be",
       THow::JLines,
       Utf16Bytes(u"erste Zeile\rzweite\n\u0416", true),
       {u"erste Zeile", u"zweite", u"\u0416"}},
      {"utf-16 unpaired surrogates and odd last byte",
       THow::JWhiteSpaces,
       Utf16Bytes(u"a\xD800 b \xDC00"
                  u"c",
                  false) +
           "d",
       {u"a" + feff, u"b", feff + u"c" + feff}},
      {"utf-16 vertical",
       THow::jSYN,
       Utf16Bytes(u"<doc id=\"1\">\r\nHaus\tHaus\tNN\r\n", false),
       {u"Haus"}},
      {"utf-16 mark only", THow::JStandard, "\xFF\xFE", {}},
      {"one byte", THow::JStandard, "\xFF", {feff}},
      // NUL bytes are control characters: trimmed at an item's ends, kept inside it.
      {"nul bytes",
       THow::JWhiteSpaces,
       std::string("\0\0alpha\0 be\0ta \0", 16),
       {u"alpha", u"be" + nul + u"ta"}},
      // A lone CR ends a line in every format.
      {"cr-only lines", THow::JLines, "one two\rthree\r\rfour", {u"one two", u"three", u"four"}},
      {"cr-only vertical", THow::jCOCA, "##1 x\ra\tb\tc\rd\te\tf\r", {u"a", u"d"}},
      // A BNC element that never closes: the reader takes the rest of the input as the item.
      {"unclosed xml element",
       THow::jBNC,
       "<s><w c5=\"AT0\" hw=\"the\" pos=\"ART\">The </w><w c5=\"NN1\" hw=\"cat\" pos=\"SUBST\">cat",
       {u"The", u"cat"}},
      // Markup without any w or c element is one item without a word, which no measure counts.
      {"markup only", THow::jBNC, "<bncDoc><teiHeader><<<>>></teiHeader", {u""}},
      // CoNLL-U with too few or too many columns: a line of one column has an empty word.
      {"conllu columns",
       THow::jCONLLU,
       "1\tThe\n2\n3\tcat\tcat\tNOUN\tNN\t_\t0\troot\t_\t_\textra\tmore\n\t\t\n",
       {u"The", u"", u"cat"}},
  };
  for (const TBadCase& c : cases) {
    TTempDir dir;
    const fs::path file = dir.Write("input.txt", c.Bytes);
    for (const std::size_t block : kBlockSizes) {
      EXPECT_EQ(ReadFile(c.How, file, block), c.Words) << c.Name << ", block " << block;
    }
  }
}

TEST(BadInput, ConlluColumnsThatAreMissingAreEmpty) {
  TTempDir dir;
  const fs::path file =
      dir.Write("c.conllu", "1\tThe\n2\tcats\tcat\tNOUN\tNNS\t_\t0\troot\t_\t_\tx\ty\n");
  TTokenizationStream stream(THow::jCONLLU);
  stream.LoadFromFiles(PathLine(file));
  std::vector<std::array<std::u16string, 4>> values;
  while (TToken* t = stream.ReadToken()) {
    if (!t->IsNormalWord()) continue;
    values.push_back({std::u16string(t->GetWord()), std::u16string(t->GetLemma()),
                      std::u16string(t->GetPOS()), std::u16string(t->GetTag())});
  }
  using TValues = std::array<std::u16string, 4>;
  EXPECT_EQ(values,
            (std::vector<TValues>{{u"The", u"", u"", u""}, {u"cats", u"cat", u"NOUN", u"NNS"}}));
}

// Empty files, and files holding only a byte-order mark or line breaks, give no token in any
// format and do not end the walk over the files after them.
TEST(BadInput, EmptyFilesGiveNoTokensInEveryFormat) {
  TTempDir dir;
  std::u16string list;
  for (const char* content : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\r\n\n\r", " \t "})
    list += PathLine(dir.Write("e" + std::to_string(list.size()) + ".txt", content)) + u"\n";
  for (const THow how : {THow::JStandard, THow::JLines, THow::JWhiteSpaces, THow::jSYN, THow::jCOCA,
                         THow::jCustomVertical, THow::jCONLLU, THow::jBNC}) {
    TTokenizationStream stream(how);
    stream.LoadFromFiles(list);
    EXPECT_THAT(Read(stream), testing::IsEmpty()) << static_cast<int>(how);
    EXPECT_TRUE(stream.GetEndOfStream());
  }
}

// One line of 20 MB: one item, read whole (memory grows with the line, not beyond).
TEST(BadInput, OneVeryLongLineIsOneItem) {
  TTempDir dir;
  constexpr std::size_t kLength = 20u << 20;
  const std::string word(kLength, 'a');
  const fs::path plain = dir.Write("long.txt", word + "\nend");
  const fs::path xml = dir.Write("long.xml", "<w c5=\"NN1\">" + word + "</w><w c5=\"X\">end</w>");
  for (const THow how : {THow::JStandard, THow::JLines, THow::JWhiteSpaces, THow::jBNC}) {
    const auto words =
        ReadFile(how, how == THow::jBNC ? xml : plain, TEnhancedReader::kDefaultBlockSize);
    ASSERT_EQ(words.size(), 2u) << static_cast<int>(how);
    EXPECT_EQ(words.front().size(), kLength) << static_cast<int>(how);
    EXPECT_EQ(words.back(), u"end") << static_cast<int>(how);
  }
}

// A listed folder or file that does not exist adds nothing, is remembered for the front end,
// and the files listed around it are read.
TEST(BadInput, MissingEntriesAreReportedAndSkipped) {
  TTempDir dir;
  const fs::path a = dir.Write("a.txt", "alpha");
  const fs::path b = dir.Write("folder/b.txt", "beta");
  const fs::path missingFolder = dir.Path() / "no such folder";
  const fs::path missingFile = dir.Path() / "gone \xC3\xA4.txt";
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(missingFolder) + u"\r\n" + PathLine(a) + u"\n" +
                       PathLine(missingFile) + u"\n" + PathLine(dir.Path() / "folder") + u"/\n");
  EXPECT_EQ(stream.GetMissingEntries(), (std::vector<fs::path>{missingFolder, missingFile}));
  EXPECT_EQ(Read(stream), (std::vector<std::u16string>{u"alpha", u"beta"}));

  TTokenizationStream none(THow::JStandard);
  none.LoadFromFiles(PathLine(missingFolder));
  EXPECT_EQ(none.GetMissingEntries().size(), 1u);
  EXPECT_TRUE(none.GetEndOfStream());
  EXPECT_EQ(none.ReadToken(), nullptr);
}

// A file that vanishes (or cannot be opened) after it was listed ends the read with an error
// naming it; the tokens of the files before it were delivered.
TEST(BadInput, FileThatCannotBeOpenedIsNamed) {
  TTempDir dir;
  const fs::path a = dir.Write("a.txt", "alpha");
  const fs::path b = dir.Write("b \"odd\" name.txt", "beta");
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(a) + u"\n" + PathLine(b));
  fs::remove(b);
  std::vector<std::u16string> words;
  const std::string expected =
      "Cannot open file \"" + U8(PathLine(b)) + "\". No such file or directory.";
  EXPECT_THAT([&] { words = Read(stream); },
              testing::ThrowsMessage<std::runtime_error>(testing::StrEq(expected)));
  TTokenizationStream again(THow::JStandard);
  again.LoadFromFiles(PathLine(a));
  EXPECT_EQ(Read(again), std::vector<std::u16string>{u"alpha"});
}

// A folder holding links back to itself and a second link to a file: the walk ends and each
// folder is entered once.
TEST(BadInput, SymbolicLinkLoopsEndTheWalk) {
  TTempDir dir;
  dir.Write("corpus/a.txt", "a");
  dir.Write("corpus/sub/b.txt", "b");
  try {
    fs::create_directory_symlink(dir.Path() / "corpus", dir.Path() / "corpus" / "sub" / "up");
    fs::create_directory_symlink(dir.Path() / "corpus" / "sub",
                                 dir.Path() / "corpus" / "sub" / "self");
  } catch (const fs::filesystem_error&) {
    GTEST_SKIP() << "no symbolic links here";
  }
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(dir.Path() / "corpus"));
  EXPECT_EQ(stream.GetListOfFiles().size(), 2u);
  EXPECT_EQ(Read(stream), (std::vector<std::u16string>{u"a", u"b"}));
}

// The byte-order mark is judged only at the very start: FF FE later in a UTF-8 file is two
// invalid bytes, and a UTF-16 text read from a stream matches the same text read from a file.
TEST(BadInput, Utf16MarkCountsOnlyAtTheStart) {
  std::istringstream late("x \xFF\xFE y", std::ios::binary);
  TTokenizationStream stream(THow::JWhiteSpaces);
  stream.LoadFromStream(late);
  EXPECT_EQ(Read(stream), (std::vector<std::u16string>{u"x", u"\uFFFD\uFFFD", u"y"}));

  std::istringstream wide(Utf16Bytes(u"x y", true), std::ios::binary);
  TTokenizationStream wideStream(THow::JWhiteSpaces, 1);
  wideStream.LoadFromStream(wide);
  EXPECT_EQ(Read(wideStream), (std::vector<std::u16string>{u"x", u"y"}));
}

}  // namespace
}  // namespace tavora
