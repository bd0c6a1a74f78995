// Cases found by the differential check in tests/reference (random inputs read
// by tavora-cli and by the independent reference tokenizer). Each case states
// the tokens that the reference reads from the bytes, at every block size.
#include "input/TTokenizationStream.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "input/InputTestUtil.h"

namespace tavora {
namespace {

using testing_input::kBlockSizes;
using testing_input::U16;
using testing_input::U8;

// Normal tokens as "word|lemma|tag"; "<doc>" before the first token of every
// document (IndexInDocument 1).
std::vector<std::string> Read(THow how, const std::string& bytes, std::size_t blockSize) {
  std::istringstream in(bytes);
  TTokenizationStream stream(how, blockSize);
  stream.LoadFromStream(in);
  std::vector<std::string> out;
  while (!stream.GetEndOfStream()) {
    TToken* token = stream.ReadToken();
    if (token == nullptr) break;
    if (!token->IsNormalWord()) continue;
    if (token->IndexInDocument() == 1) out.push_back("<doc>");
    out.push_back(U8(token->GetWord()) + "|" + U8(token->GetLemma()) + "|" + U8(token->GetTag()));
  }
  return out;
}

struct TCase {
  const char* Name;
  THow How;
  std::string Bytes;
  std::vector<std::string> Tokens;
};

void Check(const TCase& c) {
  for (std::size_t blockSize : kBlockSizes)
    EXPECT_EQ(Read(c.How, c.Bytes, blockSize), c.Tokens) << c.Name << ", block " << blockSize;
}

TEST(ReferenceTokens, AgreedOnNastyInputs) {
  const TCase cases[] = {
      {"CJK run takes the comma, at sign joins the word",
       THow::JStandard,
       "\xE4\xB8\xAD\xE6\x96\x87, abc@ e-mail\xC2\xA0"
       "b",
       {"<doc>", "\xE4\xB8\xAD\xE6\x96\x87,|\xE4\xB8\xAD\xE6\x96\x87,|", "abc@|abc@|", "e|e|",
        "-|-|", "mail|mail|", "\xC2\xA0|\xC2\xA0|", "b|b|"}},
      {"BNC text without w or c elements is one token",
       THow::jBNC,
       "<x a=\"1\" b=\"2\" c=\"3\">word</x>",
       {"<doc>", "word|2|3"}},
      {"BNC c element keeps its text untrimmed",
       THow::jBNC,
       "<s><c c5=\"PUN\">, </c></s>",
       {"<doc>", ", |, |PUN", "||"}},
      {"CoNLL-U: lone hash is a token, newdocument starts a document",
       THow::jCONLLU,
       "# newdoc\n#\n1-2\tdon't\t_\n# newdocument\n8.1\tx\ty\n",
       {"<doc>", "||", "don't|_|", "<doc>", "x|y|"}},
      {"COCA: < before a tab and short tag lines are tokens, ## starts a document",
       THow::jCOCA,
       "<\tb\n<a\n<a\tb\n##9\n<p>\nc\td\te\n",
       {"<doc>", "<|b|", "<a||", "<doc>", "c|d|e"}},
  };
  for (const TCase& c : cases) Check(c);
}

// U+FEFF is removed before the item is trimmed, so a byte-order mark never keeps white
// space in a token: a file with a mark, the same file without it, and the same text
// pasted (which is read with a leading mark) give the same tokens.
TEST(ReferenceTokens, MarkIsRemovedBeforeTrimming) {
  const TCase cases[] = {
      {"lines: mark, then spaces",
       THow::JLines,
       "\xEF\xBB\xBF  hello\nnext\n",
       {"<doc>", "hello|hello|", "next|next|"}},
      {"vertical: mark, then a tab",
       THow::jSYN,
       "\xEF\xBB\xBF\tHaus\thaus\tNN1\n",
       {"<doc>", "Haus|haus|NN1"}},
      {"COCA: mark and a space before ##",
       THow::jCOCA,
       "\xEF\xBB\xBF ##5\nabc\n",
       {"<doc>", "abc||"}},
  };
  for (const TCase& c : cases) Check(c);
}

TEST(ReferenceTokens, PastedFirstLineIsTrimmedAsInAFile) {
  TTokenizationStream stream(THow::JLines);
  stream.LoadFromString(U16("  hello\nnext"));
  std::vector<std::string> words;
  while (!stream.GetEndOfStream()) {
    TToken* token = stream.ReadToken();
    if (token != nullptr && token->IsNormalWord()) words.push_back(U8(token->GetWord()));
  }
  EXPECT_EQ(words, (std::vector<std::string>{"hello", "next"}));
}

}  // namespace
}  // namespace tavora
