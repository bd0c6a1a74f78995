#include "input/TTokenizationStream.h"

#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "input/InputTestUtil.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;
using testing_input::kBlockSizes;
using testing_input::PathLine;
using testing_input::TTempDir;
using testing_input::U16;
using testing_input::U8;

// One read of the stream as a caller sees it.
struct TRead {
  std::string Word;
  bool Normal;
  std::uint64_t IndexInDocument;
  bool operator==(const TRead&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TRead& r) {
  return os << "{" << r.Word << (r.Normal ? "" : " (structural)") << " #" << r.IndexInDocument
            << "}";
}

std::vector<TRead> ReadAll(TTokenizationStream& stream) {
  std::vector<TRead> reads;
  while (!stream.GetEndOfStream()) {
    TToken* token = stream.ReadToken();
    if (token == nullptr) break;
    if (!token->IsNormalWord() && token->GetRaw().empty()) continue;  // no token found
    reads.push_back(
        {U8(token->IsNormalWord() ? token->GetWord() : std::u16string_view(token->GetRaw())),
         token->IsNormalWord(), token->IndexInDocument()});
  }
  EXPECT_EQ(stream.ReadToken(), nullptr);
  EXPECT_FALSE(stream.GetLastToken().IsNormalWord());
  return reads;
}

// Documents of normal tokens, split where IndexInDocument is 1.
std::vector<std::vector<std::string>> Documents(TTokenizationStream& stream) {
  std::vector<std::vector<std::string>> docs;
  for (const TRead& r : ReadAll(stream)) {
    if (!r.Normal) continue;
    if (r.IndexInDocument == 1) docs.emplace_back();
    docs.back().push_back(r.Word);
  }
  return docs;
}

std::vector<std::string> Words(TTokenizationStream& stream) {
  std::vector<std::string> words;
  for (const TRead& r : ReadAll(stream))
    if (r.Normal) words.push_back(r.Word);
  return words;
}

std::u16string Lines(const std::vector<fs::path>& paths) {
  std::u16string text;
  for (const auto& p : paths) text += PathLine(p) + u"\r\n";
  return text;
}

using TDocs = std::vector<std::vector<std::string>>;

// ---- Files and folders ----

TEST(TTokenizationStreamFiles, TwoFilesWithAndWithoutFinalLineBreak) {
  TTempDir dir;
  for (const char* firstEnd : {"", "\n", "\r\n"}) {
    const auto a = dir.Write("a.txt", std::string("alpha beta") + firstEnd);
    const auto b = dir.Write("b.txt", "gamma");
    TTokenizationStream stream(THow::JStandard);
    stream.LoadFromFiles(Lines({a, b}));
    EXPECT_EQ(Documents(stream), (TDocs{{"alpha", "beta"}, {"gamma"}})) << firstEnd;
  }
}

TEST(TTokenizationStreamFiles, FolderWithSubfoldersInNameOrder) {
  TTempDir dir;
  dir.Write("corpus/b.txt", "b");
  dir.Write("corpus/a.txt", "a");
  dir.Write("corpus/Z.txt", "Z");
  dir.Write("corpus/sub/c.txt", "c");
  dir.Write("corpus/sub/deeper/d.txt", "d");
  dir.Write("corpus/\xC3\xA4.txt", "ae");  // sorts after ASCII names
  for (const std::u16string& line :
       {PathLine(dir.Path() / "corpus"), PathLine(dir.Path() / "corpus") + u"/"}) {
    TTokenizationStream stream(THow::JStandard);
    stream.LoadFromFiles(u"\n" + line + u"\n\n");
    EXPECT_EQ(Words(stream), (std::vector<std::string>{"Z", "a", "b", "c", "d", "ae"}));
    EXPECT_EQ(stream.GetListOfFiles().size(), 6u);
  }
}

TEST(TTokenizationStreamFiles, LineEndingInSeparatorIsAlwaysAFolder) {
  TTempDir dir;
  const auto file = dir.Write("x.txt", "word");
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(file) + u"/\n" + PathLine(dir.Path() / "missing"));
  EXPECT_TRUE(stream.GetListOfFiles().empty());
  EXPECT_TRUE(stream.GetEndOfStream());
  EXPECT_EQ(stream.ReadToken(), nullptr);
}

TEST(TTokenizationStreamFiles, EmptyFilesBetweenOthersContributeNothing) {
  TTempDir dir;
  const auto a = dir.Write("a.txt", "one");
  const auto e1 = dir.Write("e1.txt", "");
  const auto e2 = dir.Write("e2.txt", "\r\n  \n");
  const auto b = dir.Write("b.txt", "two");
  const auto e3 = dir.Write("e3.txt", "");
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(Lines({a, e1, e2, b, e3}));
  EXPECT_EQ(Documents(stream), (TDocs{{"one"}, {"two"}}));
}

TEST(TTokenizationStreamFiles, CountersAndProgress) {
  TTempDir dir;
  const auto a = dir.Write("a.txt", "x y z");
  const auto b = dir.Write("b.txt", "u v");
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(Lines({a, b}));
  EXPECT_EQ(stream.GetTotalBytes(), 8u);
  std::vector<std::uint64_t> inFile, inCorpus;
  std::vector<std::int64_t> fileIndex;
  while (TToken* t = stream.ReadToken()) {
    if (!t->IsNormalWord()) continue;
    inFile.push_back(t->IndexInFile());
    inCorpus.push_back(t->IndexInCorpus());
    fileIndex.push_back(stream.GetMetadata().GetFileIndex());
  }
  EXPECT_EQ(inFile, (std::vector<std::uint64_t>{1, 2, 3, 1, 2}));
  EXPECT_EQ(inCorpus, (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(fileIndex, (std::vector<std::int64_t>{1, 1, 1, 2, 2}));
  EXPECT_EQ(stream.GetMetadata().GetFileName(), PathLine(b));
  EXPECT_EQ(stream.GetBytesRead(), 8u);
}

TEST(TTokenizationStreamFiles, FolderWalkEndsOnSymbolicLinkLoop) {
  TTempDir dir;
  dir.Write("corpus/a.txt", "a");
  dir.Write("corpus/sub/b.txt", "b");
  try {
    fs::create_directory_symlink(dir.Path() / "corpus", dir.Path() / "corpus" / "sub" / "loop");
  } catch (const fs::filesystem_error&) {
    GTEST_SKIP() << "no symbolic links here";
  }
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(dir.Path() / "corpus"));
  EXPECT_EQ(Words(stream), (std::vector<std::string>{"a", "b"}));
}

// ---- Cleaning ----

TEST(TTokenizationStreamCleaning, ByteOrderMarkInFileMatchesPastedText) {
  TTempDir dir;
  struct TCase {
    THow How;
    std::string Text;
  };
  const TCase cases[] = {
      {THow::JStandard, "Hello world.\r\nAgain"},
      {THow::JLines, "Hello world\nAgain"},
      {THow::jSYN, "<doc id=\"x\">\nHello\thello\nAgain\tagain"},
      {THow::jBNC, "<w a=\"x\">Hello </w>"},
  };
  for (const TCase& c : cases) {
    const auto file = dir.Write("bom.txt", "\xEF\xBB\xBF" + c.Text);
    TTokenizationStream fromFile(c.How);
    fromFile.LoadFromFiles(PathLine(file));
    TTokenizationStream pasted(c.How);
    pasted.LoadFromString(U16(c.Text));
    const auto reads = ReadAll(fromFile);
    ASSERT_FALSE(reads.empty());
    EXPECT_TRUE(reads.front().Word.starts_with("Hello")) << reads.front().Word;
    EXPECT_EQ(reads, ReadAll(pasted)) << c.Text;
  }
}

TEST(TTokenizationStreamCleaning, PlainTextItems) {
  struct TCase {
    std::string Text;
    std::vector<std::string> Words;
  };
  const TCase cases[] = {
      {"a\xC2\xA0"
       "b",
       {"a", "\xC2\xA0", "b"}},  // no-break space is a token of its own
      {"one" + std::string(1000, ' ') + "two", {"one", "two"}},
      {"x\xFF"
       "y",
       {"x\xEF\xBF\xBDy"}},  // invalid UTF-8: U+FFFD inside the word
      {"mid\xEF\xBB\xBF"
       "dle",
       {"mid", "dle"}},  // stray U+FEFF is removed
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD1\x96\xD1\x82, \xD2\x91\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA",
       {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD1\x96\xD1\x82", ",",
        "\xD2\x91\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA"}},
  };
  for (const TCase& c : cases) {
    std::istringstream in(c.Text);
    TTokenizationStream stream(THow::JStandard);
    stream.LoadFromStream(in);
    EXPECT_EQ(Words(stream), c.Words) << c.Text;
  }
}

TEST(TTokenizationStreamCleaning, WhiteSpacesAndLines) {
  TTokenizationStream ws(THow::JWhiteSpaces);
  ws.LoadFromString(u"Hello, world!\r\n\tagain");
  EXPECT_EQ(Words(ws), (std::vector<std::string>{"Hello,", "world!", "again"}));
  TTokenizationStream lines(THow::JLines);
  lines.LoadFromString(u"  new york \r\rboston\n\n");
  EXPECT_EQ(Words(lines), (std::vector<std::string>{"new york", "boston"}));
}

TEST(TTokenizationStreamCleaning, LongRunsOfSkippedItemsUseConstantStack) {
  std::string text = "first\n";
  for (int i = 0; i < 300000; ++i) text += "\n##\n  \n";
  text += "last\n";
  std::istringstream linesInput(text);
  TTokenizationStream lines(THow::JLines);
  lines.LoadFromStream(linesInput);
  const auto words = Words(lines);
  ASSERT_EQ(words.size(), 300002u);
  EXPECT_EQ(words[1], "##");
  EXPECT_EQ(words.back(), "last");

  std::istringstream cocaInput(text);
  TTokenizationStream coca(THow::jCOCA);
  coca.LoadFromStream(cocaInput);
  EXPECT_EQ(Words(coca), (std::vector<std::string>{"first", "last"}));
}

// ---- Vertical formats ----

TEST(TTokenizationStreamVertical, StandardVerticalDocumentWithTags) {
  TTokenizationStream stream(THow::jSYN);
  stream.LoadFromString(u"<doc id=\"a1\" title=\"Spring\">\n<s>\nword\tlemma\tTAG\tPOS\n</s>\n");
  EXPECT_EQ(ReadAll(stream),
            (std::vector<TRead>{{"<s>", false, 0}, {"word", true, 1}, {"</s>", false, 1}}));
  EXPECT_EQ(stream.GetMetadata().Find(u"id"), u"a1");
  EXPECT_EQ(stream.GetMetadata().Find(u"TITLE"), u"Spring");
  EXPECT_EQ(stream.GetMetadata().Find(u"genre"), u"");
  EXPECT_EQ(stream.GetMetadata().GetHeader(), (std::vector<std::u16string>{u"id", u"title"}));
}

TEST(TTokenizationStreamVertical, StandardVerticalLines) {
  TTokenizationStream stream(THow::jSYN);
  stream.LoadFromString(
      u"<doc>\n<\n<\tx\tX\n\tshifted\tlemma\n<doc id=\"b\">\nsecond\n<doc n=\"c\">\nthird");
  EXPECT_EQ(ReadAll(stream), (std::vector<TRead>{{"<doc>", false, 0},
                                                 {"<", true, 1},
                                                 {"<", true, 2},
                                                 {"shifted", true, 3},
                                                 {"second", true, 1},
                                                 {"third", true, 1}}));
  // Names always match the values of the current header.
  EXPECT_EQ(stream.GetMetadata().Find(u"n"), u"c");
  EXPECT_EQ(stream.GetMetadata().Find(u"id"), u"");
}

TEST(TTokenizationStreamVertical, CocaFilesWithAndWithoutMarkers) {
  TTempDir dir;
  const auto a = dir.Write("a.txt", "one\tone\tx\n<p>\n");
  const auto b = dir.Write("b.txt", "two\ttwo\ty\n");
  TTokenizationStream without(THow::jCOCA);
  without.LoadFromFiles(Lines({a, b}));
  EXPECT_EQ(Documents(without), (TDocs{{"one", "two"}}));

  const auto c = dir.Write("c.txt", "##10\none\n##11\ntwo\tt\tNN\nthree\n");
  TTokenizationStream with(THow::jCOCA);
  with.LoadFromFiles(Lines({c}));
  EXPECT_EQ(Documents(with), (TDocs{{"one"}, {"two", "three"}}));
}

TEST(TTokenizationStreamVertical, CustomVerticalMarkers) {
  TTempDir dir;
  const auto a = dir.Write("a.vert", "<doc>\nw1\tx\tx\tl1\tT1\n<doc id=\"2\">\nw2\tx\tx\tl2\tT2\n");
  const auto b = dir.Write("b.vert", "w3\tx\tx\tl3\tT3\n");

  TTokenizationStream emptyMarker(THow::jCustomVertical);
  emptyMarker.SetCustomVerticalFormatting(1, 4, 5, u"");
  emptyMarker.LoadFromFiles(Lines({a, b}));
  EXPECT_EQ(Documents(emptyMarker), (TDocs{{"w1", "w2"}, {"w3"}}));

  TTokenizationStream docMarker(THow::jCustomVertical);
  docMarker.SetCustomVerticalFormatting(1, 4, 5, u"<doc");
  docMarker.LoadFromFiles(Lines({a, b}));
  std::vector<std::string> lemmas, tags;
  std::vector<std::uint64_t> indexes;
  while (TToken* t = docMarker.ReadAndParseToken()) {
    if (!t->IsNormalWord()) continue;
    lemmas.push_back(U8(t->GetLemma()));
    tags.push_back(U8(t->GetTag()));
    indexes.push_back(t->IndexInDocument());
  }
  EXPECT_EQ(lemmas, (std::vector<std::string>{"l1", "l2", "l3"}));
  EXPECT_EQ(tags, (std::vector<std::string>{"T1", "T2", "T3"}));
  EXPECT_EQ(indexes, (std::vector<std::uint64_t>{1, 1, 2}));  // a marker document runs across files
  EXPECT_EQ(docMarker.GetMetadata().Find(u"id"), u"2");

  // With a document per file, b starts a document of its own, without a header.
  TTokenizationStream perFile(THow::jCustomVertical);
  perFile.SetCustomVerticalFormatting(1, 4, 5, u"<doc");
  perFile.SetDocumentPerFile(true);
  perFile.LoadFromFiles(Lines({a, b}));
  EXPECT_EQ(Documents(perFile), (TDocs{{"w1"}, {"w2"}, {"w3"}}));
  EXPECT_EQ(perFile.GetMetadata().GetDocumentId(), u"");
}

TEST(TTokenizationStreamVertical, ConlluCommentsMultiwordAndEmptyNodes) {
  TTokenizationStream stream(THow::jCONLLU);
  stream.LoadFromString(
      u"# newdoc id = doc-1\n# sent_id = 1\n# text = Vom Haus.\n"
      u"1-2\tVom\t_\t_\t_\t_\t_\t_\t_\t_\n1\tVon\tvon\tADP\tAPPR\t_\t3\tcase\t_\t_\n"
      u"2\tdem\tder\tDET\tART\t_\t3\tdet\t_\t_\n8.1\tist\tsein\tAUX\tVAFIN\t_\t_\t_\t3:cop\t_\n"
      u"\n#\n# newdoc\n1\tHaus\tHaus\tNOUN\tNN\t_\t0\troot\t_\t_\n");
  EXPECT_EQ(ReadAll(stream), (std::vector<TRead>{{"# sent_id = 1", false, 0},
                                                 {"# text = Vom Haus.", false, 0},
                                                 {"Vom", true, 1},
                                                 {"Von", true, 2},
                                                 {"dem", true, 3},
                                                 {"ist", true, 4},
                                                 {"", true, 5},
                                                 {"Haus", true, 1}}));
  EXPECT_EQ(stream.GetMetadata().Find(u"ID"), u"");

  // Under the Universal Dependencies conventions every syntactic word counts once: the
  // range line and the empty node are not words.
  TTokenizationStream ud(THow::jCONLLU);
  ud.SetUniversalDependencies(true);
  ud.LoadFromString(
      u"# newdoc id = doc-1\n1-2\tVom\t_\t_\t_\t_\t_\t_\t_\t_\n1\tVon\tvon\tADP\tAPPR\n"
      u"2\tdem\tder\tDET\tART\n8.1\tist\tsein\tAUX\tVAFIN\n3\tHaus\tHaus\tNOUN\tNN\n"
      u"10-11\tzum\t_\n");
  EXPECT_EQ(Words(ud), (std::vector<std::string>{"Von", "dem", "Haus"}));
  TTokenizationStream first(THow::jCONLLU);
  first.LoadFromString(u"# newdoc id = doc-1\n1\tA\ta\tX\tX\t_\t0\troot\t_\t_");
  ASSERT_NE(first.ReadToken(), nullptr);
  EXPECT_EQ(first.GetMetadata().Find(u"id"), u"doc-1");
}

// ---- BNC ----

TEST(TTokenizationStreamBnc, ElementsOfAFileAndItsClosingTags) {
  TTempDir dir;
  const auto file = dir.Write(
      "a.xml",
      "<?xml version=\"1.0\"?>\n<bncDoc xml:id=\"A00\"><teiHeader>h</teiHeader>\n<wtext "
      "type=\"F\">\n"
      "<p><s n=\"1\"><w c5=\"AT0\" hw=\"the\" pos=\"ART\">The </w><w c5=\"NN1\" hw=\"cat\" "
      "pos=\"SUBST\">cat</w><c c5=\"PUN\">.</c></s>\n</p>\n</wtext>\n</bncDoc>\n");
  TTokenizationStream stream(THow::jBNC);
  stream.LoadFromFiles(PathLine(file));
  std::vector<std::string> words, lemmas, tags;
  std::vector<bool> punctuation;
  while (TToken* t = stream.ReadToken()) {
    if (!t->IsNormalWord()) continue;
    words.push_back(U8(t->GetWord()));
    lemmas.push_back(U8(t->GetLemma()));
    tags.push_back(U8(t->GetTag()));
    punctuation.push_back(t->GetIsPunctuation());
  }
  // The closing tags after the last element make one more token.
  EXPECT_EQ(words, (std::vector<std::string>{"The", "cat", ".", "\n"}));
  EXPECT_EQ(lemmas, (std::vector<std::string>{"the", "cat", ".", "\n"}));
  EXPECT_EQ(tags, (std::vector<std::string>{"ART", "SUBST", "PUN", "\n"}));
  EXPECT_EQ(punctuation, (std::vector<bool>{false, false, true, false}));
}

// ---- Block size ----

TEST(TTokenizationStreamBlocks, TokensDoNotDependOnTheBlockSize) {
  TTempDir dir;
  const auto plain = dir.Write("p.txt",
                               "\xEF\xBB\xBFGr\xC3\xB6\xC3\x9F"
                               "e, 3.5\xC2\xA0x\r\n\r\nend");
  const auto vert = dir.Write(
      "v.vert", "<doc id=\"1\">\r\n<s>\r\n\xC3\xA4\tA\tT\r\n</s>\r\n<doc id=\"2\">\nb\tB");
  const auto conllu =
      dir.Write("c.conllu", "# newdoc id = a\n1\tx\ty\tZ\tW\n\n# text\n2\tz\tz\tZ\tW\n");
  const std::pair<THow, fs::path> inputs[] = {
      {THow::JStandard, plain}, {THow::JWhiteSpaces, plain}, {THow::JLines, plain},
      {THow::jSYN, vert},       {THow::jCONLLU, conllu},
  };
  for (const auto& [how, path] : inputs) {
    TTokenizationStream reference(how);
    reference.LoadFromFiles(PathLine(path));
    const auto expected = ReadAll(reference);
    for (const std::size_t block : kBlockSizes) {
      TTokenizationStream stream(how, block);
      stream.LoadFromFiles(PathLine(path));
      EXPECT_EQ(ReadAll(stream), expected) << static_cast<int>(how) << " block " << block;
    }
  }
}

}  // namespace
}  // namespace tavora
