// The pipeline reads formats whose tokens are their raw text alone (plain text, one word per
// line, words between white space) through the stream's plain words instead of its tokens.
// Both ways must give the same words, classes, documents and warnings, whatever the block size.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "input/InputTestUtil.h"
#include "input/TTokenizationStream.h"
#include "processing/TLowercaser.h"
#include "processing/TTokenPipeline.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;

// One line per word: document starts, the word as the batch holds it, its classes; then the
// warnings.
std::string ThroughTokens(THow how, const std::u16string& files, const TLowercaser* lower) {
  TTokenizationStream stream(how);
  stream.LoadFromFiles(files);
  std::string out;
  std::u16string lowered;
  while (const TToken* token = stream.ReadToken()) {
    if (!token->IsNormalWord()) continue;
    if (token->IndexInDocument() == 1) out += "#" + Utf16ToUtf8(stream.GetMetadata().GetFileName());
    lowered.clear();
    if (lower != nullptr)
      lower->LowerAppend(token->GetWord(), lowered);
    else
      lowered = token->GetWord();
    const TToken::TClasses classes = token->GetClasses();
    out += Utf16ToUtf8(lowered) + (classes.IsPunctuation ? "|p" : "|") +
           (classes.IsDigit ? "d\n" : "\n");
  }
  for (const std::string& warning : stream.TakeWarnings()) out += "!" + warning + "\n";
  return out;
}

std::string ThroughBatches(THow how, const std::u16string& files, const TLowercaser* lower,
                           std::size_t blockSize, bool threaded) {
  TTokenizationStream stream(how, blockSize);
  stream.LoadFromFiles(files);
  EXPECT_TRUE(stream.ReadsPlainWords());
  TTokenPipeline pipeline(stream, false, threaded, 1000, lower,
                          lower != nullptr ? TCasesensitiveness::csCaseInsensitive
                                           : TCasesensitiveness::csCaseSensitive);
  std::string out, warnings;
  while (const TTokenBatch* batch = pipeline.Next()) {
    std::size_t document = 0;
    for (std::size_t i = 0; i < batch->Size(); ++i) {
      const TTokenBatch::TWord& w = (*batch)[i];
      if (w.StartsDocument) out += "#" + Utf16ToUtf8(batch->DocumentName(document++));
      out +=
          Utf16ToUtf8(batch->Word(w)) + (w.IsPunctuation ? "|p" : "|") + (w.IsDigit ? "d\n" : "\n");
    }
    for (const std::string& warning : batch->Warnings()) warnings += "!" + warning + "\n";
  }
  return out + warnings;
}

// Text made to trip a splitter: invalid and cut UTF-8, byte-order marks and U+FEFF anywhere,
// characters whose lower case differs in length or by locale, characters beyond U+FFFF,
// U+FFFD, controls, every line break, digits and punctuation stuck to words.
std::string Adversarial(unsigned seed, std::size_t pieces) {
  // Pieces between bars; the last line holds runs of letters longer than a step of the
  // splitter, ended by each neighbour of the ASCII letters.
  static const std::vector<std::string> kPieces = [] {
    const std::string all =
        "word|Word|WORD|İstanbul|ΣΟΦΙΑ|ΌΣΟΣ|Straße|DŽungla|IJssel|ǅ|ǈ|Ω|ﬁ|Ä|\xF0\x9F\x98\x80|"
        "a\xF0\x90\x8D\x88z|\xEF\xBF\xBD|ab\xEF\xBF\xBD"
        "cd|\xFF|\xC0\xAF|\x80\x80|\xE2\x82|\xED\xA0\x80|\xF4\x90\x80\x80|\xEF\xBB\xBF|"
        "x\xEF\xBB\xBFy|1999|3,14|٣٤٥|０１|12ab|ab12|-|\xE2\x80\x93|--|.|?!|\"|'tis|don't|"
        "\xC2\xA0|\x01|\x0B|\x0C|\x7F|\xC2\x85|«»|×|_| |  |\t|\n|\r|\r\n|\n\n|"
        "abcdefghijklmnopqrstuvwxyz|ABCDEFGHIJKLMNOPQRSTUVWXYZ|longer'than'eight|abcdefgh@ij|"
        "abcdefghi[j|abcdefghij`k|abcdefghijk{l|Abcdefghijkl\x7Fm|abcdefghĀij|abcdefgh0123|"
        "abcdefgh\xEF\xBF\xBDij|abcdefghijklmnop-q";
    std::vector<std::string> pieces;
    for (std::size_t start = 0, bar; start <= all.size(); start = bar + 1) {
      bar = std::min(all.find('|', start), all.size());
      pieces.push_back(all.substr(start, bar - start));
    }
    return pieces;
  }();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) {
    text += kPieces[pick(rng)];
    if (rng() % 3 == 0) text += ' ';
  }
  return text;
}

// Every shared corpus and three generated files, read as each format that makes tokens of raw
// text alone, with and without lower-casing (Turkish lowers "I" otherwise), at block sizes
// from one byte to 1 MiB, on the reading thread and on the caller's.
TEST(TTokenPipeline, PlainWordsAreTheTokenStreamsWords) {
  testing_input::TTempDir dir;
  std::u16string files;
  files +=
      testing_input::PathLine(dir.Write("a.txt", "\xEF\xBB\xBF" + Adversarial(1, 3000))) + u"\n";
  files += testing_input::PathLine(dir.Write("b.txt", "")) + u"\n";
  files +=
      testing_input::PathLine(dir.Write("c.txt", Adversarial(2, 3000) + "\xF0\x9F\x98")) + u"\n";
  files += testing_input::PathLine(dir.Write("d.txt", Adversarial(3, 20))) + u"\n";
  const fs::path corpora(TAVORA_SHARED_CORPORA);
  std::u16string shared;
  for (const char* folder : {"plain_text", "lines", "vertical", "conllu"})
    if (fs::is_directory(corpora / folder)) shared += (corpora / folder).u16string() + u"/\n";

  const TLowercaser english("en_US");
  const TLowercaser turkish("tr_TR");
  for (const THow how : {THow::JStandard, THow::JLines, THow::JWhiteSpaces}) {
    for (const TLowercaser* lower :
         {&english, &turkish, static_cast<const TLowercaser*>(nullptr)}) {
      SCOPED_TRACE("format " + std::to_string(static_cast<int>(how)) + ", " +
                   (lower ? lower->GetLocale() : "case kept"));
      const std::string expected = ThroughTokens(how, files, lower);
      ASSERT_NE(expected.find("!"), std::string::npos);  // the invalid bytes were counted
      for (const std::size_t blockSize : {std::size_t{1}, std::size_t{2}, std::size_t{3},
                                          std::size_t{7}, std::size_t{4096}, std::size_t{1} << 20})
        EXPECT_EQ(ThroughBatches(how, files, lower, blockSize, blockSize % 2 == 0), expected)
            << "block size " << blockSize;
      if (shared.empty() || lower == &turkish) continue;
      const std::string expectedShared = ThroughTokens(how, shared, lower);
      for (const std::size_t blockSize : {std::size_t{7}, std::size_t{1} << 20})
        EXPECT_EQ(ThroughBatches(how, shared, lower, blockSize, true), expectedShared)
            << "shared corpora, block size " << blockSize;
    }
  }
}

}  // namespace
}  // namespace tavora
