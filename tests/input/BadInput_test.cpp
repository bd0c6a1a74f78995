// Messy corpora: wrong encodings, broken markup, odd line ends, missing and unreadable entries.
// Every case reads to the end (or fails with an error naming the file) and never depends on
// the reader's block size.
#include <chrono>
#include <sstream>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/Paths.h"
#include "base/Platform.h"
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
                                     bool lemma = false, const std::string& encoding = {}) {
  TTokenizationStream stream(how, block);
  stream.SetEncoding(encoding);
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
      // In plain text too the U+FFFD stays inside its word, whatever the class around it.
      {"invalid utf-8 in plain text",
       THow::JStandard,
       "caf\xE9 r\xE9sum\xE9\n\xFF"
       "abc ab\xFF"
       "12 \xE4\xB8\xAD\xFF\xE6\x96\x87.",
       {u"caf" + feff, u"r" + feff + u"sum" + feff, feff + u"abc", u"ab" + feff, u"12",
        u"\u4E2D" + feff + u"\u6587."}},
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

// Files in other encodings, at every block size: single-byte, multi-byte and stateful
// encodings, and UTF-16 without a byte-order mark. A byte that is not valid in the encoding
// becomes U+FFFD and is counted once per file.
TEST(BadInput, EncodingsAreReadThroughConverters) {
  struct TCase {
    const char* Encoding;
    std::string Bytes;
    std::vector<std::u16string> Words;
  };
  const TCase cases[] = {
      {"windows-1250",
       "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2",
       {u"P\u0159\u00EDli\u0161", u"\u017Elu\u0165ou\u010Dk\u00FD", u"k\u016F\u0148"}},
      {"KOI8-R",
       "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2",
       {u"\u041F\u0440\u0438\u0432\u0435\u0442", u",", u"\u043C\u0438\u0440"}},
      {"ISO-8859-2",
       "\xB9\xE8 \xA3\xF3"
       "d\xBC",
       {u"\u0161\u010D", u"\u0141\u00F3d\u017A"}},
      {"utf-16le",
       Utf16Bytes(u"Gr\u00FC\u00DFe \U0001F600", false, false),
       {u"Gr\u00FC\u00DFe", u"\U0001F600"}},
      {"UTF-16BE", Utf16Bytes(u"\uFEFFab c", true, false), {u"ab", u"c"}},
      {"Shift_JIS", "\x93\xFA\x96\x7B\x8C\xEA x", {u"\u65E5\u672C\u8A9E", u"x"}},
      {"ISO-2022-JP",
       "\x1B$B\x46\x7C\x4B\x5C\x1B(B ab\x1B$B\x38\x6C\x1B(B",
       {u"\u65E5\u672C", u"ab", u"\u8A9E"}},
      {"US-ASCII", "caf\xE9 \x81x", {u"caf\uFFFD", u"\uFFFDx"}},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    const fs::path file = dir.Write(std::string(c.Encoding) + ".txt", c.Bytes);
    for (const std::size_t block : kBlockSizes) {
      EXPECT_EQ(ReadFile(THow::JStandard, file, block, false, c.Encoding), c.Words)
          << c.Encoding << ", block " << block;
    }
  }
  TTokenizationStream stream(THow::JStandard);
  stream.SetEncoding("US-ASCII");
  stream.LoadFromFiles(PathLine(dir.Path() / "US-ASCII.txt"));
  (void)Read(stream);
  EXPECT_THAT(
      stream.TakeWarnings(),
      testing::ElementsAre("2 byte sequences in file " + QuotedPath(dir.Path() / "US-ASCII.txt") +
                           " are not valid US-ASCII and were read as U+FFFD; if the text "
                           "is in another encoding, name it with --encoding (in the "
                           "window: \"Text encoding\")."));
  EXPECT_THAT([&] { stream.SetEncoding("no-such-encoding"); },
              testing::ThrowsMessage<TUnknownEncoding>(
                  testing::StrEq("Unknown encoding \"no-such-encoding\".")));
}

// Bytes that are not valid UTF-8 give one warning per file, with their count, when the file
// has been read.
TEST(BadInput, IllFormedSequencesAreCountedOncePerFile) {
  TTempDir dir;
  const fs::path a = dir.Write("a.txt", "caf\xE9 r\xE9sum\xE9");
  const fs::path b = dir.Write("b.txt", "fine");
  const fs::path c = dir.Write("c.txt", "\xC0\xAF");
  TTokenizationStream stream(THow::JStandard, 3);
  stream.LoadFromFiles(PathLine(a) + u"\n" + PathLine(b) + u"\n" + PathLine(c));
  (void)Read(stream);
  const std::string advice =
      " read as U+FFFD; if the text is in another encoding, name it with --encoding (in the "
      "window: \"Text encoding\").";
  EXPECT_THAT(
      stream.TakeWarnings(),
      testing::ElementsAre(
          "3 byte sequences in file " + QuotedPath(a) + " are not valid UTF-8 and were" + advice,
          "2 byte sequences in file " + QuotedPath(c) + " are not valid UTF-8 and were" + advice));
  EXPECT_FALSE(stream.HasWarnings());
}

// Names that are not UTF-8, in a folder and given directly, are read like any other; the
// document name keeps them (PathFromUtf16 gives the path back), messages show U+FFFD.
TEST(BadInput, NamesThatAreNotUtf8AreRead) {
#ifdef _WIN32
  GTEST_SKIP() << "names are UTF-16 here";
#else
  TTempDir dir;
  const fs::path inFolder = dir.Write("corpus/n\xE9.txt", "hello");
  const fs::path direct = dir.Write("d\xFF\xFE.txt", "world");
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathToUtf16(dir.Path() / "corpus") + u"\n" + PathToUtf16(direct));
  EXPECT_TRUE(stream.GetMissingEntries().empty());
  std::vector<std::u16string> words;
  std::vector<fs::path> names;
  while (TToken* t = stream.ReadToken()) {
    if (!t->IsNormalWord()) continue;
    words.emplace_back(t->GetWord());
    names.push_back(PathFromUtf16(stream.GetMetadata().GetFileName()));
  }
  EXPECT_EQ(words, (std::vector<std::u16string>{u"hello", u"world"}));
  EXPECT_EQ(names, (std::vector<fs::path>{inFolder, direct}));
  EXPECT_EQ(QuotedPath(direct), "\"" + PathToUtf8(dir.Path()) + "/d\xEF\xBF\xBD\xEF\xBF\xBD.txt\"");
#endif
}

// Entries of a walked folder that cannot be read are left out with a warning each, and the
// walk goes on: a link to nothing, a loop of links, a link back to a folder already read, a
// FIFO, and a folder that cannot be read (where the user is not allowed to read everything).
TEST(BadInput, FolderEntriesThatCannotBeReadAreSkippedWithWarnings) {
  TTempDir dir;
  const fs::path corpus = dir.Path() / "corpus";
  dir.Write("corpus/a.txt", "a");
  dir.Write("corpus/sub/b.txt", "b");
  dir.Write("corpus/locked/c.txt", "c");
  try {
    fs::create_symlink(dir.Path() / "nowhere.txt", corpus / "dangling.txt");
    fs::create_symlink(corpus / "self.txt", corpus / "self.txt");
    fs::create_directory_symlink(corpus, corpus / "sub" / "up");
  } catch (const fs::filesystem_error&) {
    GTEST_SKIP() << "no symbolic links here";
  }
  std::vector<std::string> expected = {
      QuotedPath(corpus / "dangling.txt") +
      " is a symbolic link to nothing (No such file or directory); skipped."};
  std::vector<fs::path> skipped = {corpus / "dangling.txt"};
  fs::permissions(corpus / "locked", fs::perms::none);
  std::error_code ec;
  const bool lockedOut = !fs::exists(corpus / "locked" / "c.txt", ec) && ec;
  if (lockedOut) {  // not for a user who may read everything
    expected.push_back("Folder " + QuotedPath(corpus / "locked") +
                       " cannot be read (Permission denied); skipped.");
    skipped.push_back(corpus / "locked");
  }
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((corpus / "pipe").c_str(), 0600), 0);
  expected.push_back(QuotedPath(corpus / "pipe") +
                     " is not a regular file (a FIFO, socket or device); skipped.");
  skipped.push_back(corpus / "pipe");
#endif
  expected.push_back(QuotedPath(corpus / "self.txt") + " is a loop of symbolic links; skipped.");
  expected.push_back("Folder " + QuotedPath(corpus / "sub" / "up") +
                     " has been read already (a symbolic link leads to it again); skipped.");
  skipped.insert(skipped.end(), {corpus / "self.txt", corpus / "sub" / "up"});

  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(corpus));
  EXPECT_EQ(stream.GetSkippedEntries(), skipped);
  EXPECT_EQ(stream.TakeWarnings(), expected);
  EXPECT_EQ(Read(stream), lockedOut ? (std::vector<std::u16string>{u"a", u"b"})
                                    : (std::vector<std::u16string>{u"a", u"c", u"b"}));
  fs::permissions(corpus / "locked", fs::perms::owner_all);
}

#ifndef _WIN32
// A FIFO given as input is read as its bytes arrive (its size is unknown); when nobody
// writes, a cancel ends the wait.
TEST(BadInput, FifoIsReadAsAStreamAndItsWaitCanBeCancelled) {
  TTempDir dir;
  const fs::path fifo = dir.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ofstream(fifo) << "one two one";
  });
  TTokenizationStream stream(THow::JStandard);
  stream.LoadFromFiles(PathLine(fifo));
  EXPECT_EQ(stream.GetTotalBytes(), 0u);
  EXPECT_EQ(Read(stream), (std::vector<std::u16string>{u"one", u"two", u"one"}));
  writer.join();

  TTokenizationStream waiting(THow::JStandard);
  waiting.LoadFromFiles(PathLine(fifo));
  std::thread canceller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    RequestReadCancel();
  });
  EXPECT_THROW((void)Read(waiting), TReadCancelled);
  canceller.join();
  ClearReadCancel();
}
#endif

// An item longer than the reader's limit ends the read with an error naming the input and
// the limit: a file without a line break, and /dev/zero, which never ends.
TEST(BadInput, ItemLongerThanTheLimitIsAnError) {
  TTempDir dir;
  const fs::path file = dir.Write("long.txt", std::string(70000, 'a') + "\nend");
  const auto expected = [](const std::string& what) {
    return "Cannot read " + what +
           ": an item (a word, a line or an element) is longer than 65536 characters, the "
           "longest that Tavora reads.";
  };
  std::vector<std::pair<fs::path, THow>> inputs = {{file, THow::JLines}};
#ifndef _WIN32
  if (fs::exists("/dev/zero")) inputs.emplace_back("/dev/zero", THow::JStandard);
#endif
  for (const auto& [input, how] : inputs) {
    TTokenizationStream stream(how, TEnhancedReader::kDefaultBlockSize, 65536);
    stream.LoadFromFiles(PathLine(input));
    EXPECT_THAT([&] { (void)Read(stream); },
                testing::ThrowsMessage<std::runtime_error>(
                    testing::StrEq(expected("file " + QuotedPath(input)))));
  }
}

}  // namespace
}  // namespace tavora
