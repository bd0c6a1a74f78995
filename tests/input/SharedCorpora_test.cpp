#include <filesystem>

#include <gtest/gtest.h>

#include "input/InputTestUtil.h"
#include "input/TTokenizationStream.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;
using testing_input::U16;
using testing_input::U8;

struct TCorpusFact {
  const char* File;  // relative to the shared corpora folder
  THow How;
  std::uint64_t Tokens;
  std::uint64_t Documents;
  std::uint64_t StructuralLines;
  const char* FirstWord;
  const char* LastWord;
};

// Counted once with this reader and checked by hand: CoNLL-U token counts equal token lines plus
// multiword ranges plus empty nodes; line counts equal non-empty lines; vertical counts equal
// lines not starting with "<" plus one "<" token line in excerpt 3.
const TCorpusFact kFacts[] = {
    {"plain_text/en_austen_pride_and_prejudice_ch01-25.txt", THow::JStandard, 53637, 1, 0, "PRIDE",
     "."},
    {"plain_text/de_kafka_die_verwandlung.txt", THow::JStandard, 22516, 1, 0, "DIE", "."},
    {"plain_text/ru_gogol_shinel.txt", THow::JStandard, 12663, 1, 0,
     "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xBE\xD0\xBB\xD0\xB0\xD0\xB9", "!"},
    {"lines/bg_wbulgarian.first200k.txt", THow::JLines, 10673, 1, 0,
     "\xD0\x90\xD0\xB1\xD0\xB0\xD0\xB4\xD0\xB6\xD0\xB8\xD0\xB5\xD0\xB2",
     "\xD0\xB0\xD0\xBA\xD1\x86\xD0\xB5\xD0\xBF\xD1\x82\xD0\xB8\xD1\x80\xD0\xB0\xD0\xB9\xD1\x82\xD0"
     "\xB5"},
    {"lines/de_wngerman_ngerman.first300k.txt", THow::JLines, 22165, 1, 0, "ABC", "Donner"},
    {"lines/en_wamerican_american-english.txt", THow::JLines, 104334, 1, 0, "A", "zygotes"},
    {"vertical/et_enc2017_excerpt_1.vert", THow::jSYN, 70, 2, 33, "\xE2\x80\x93", "edasi"},
    {"vertical/et_enc2017_excerpt_2.vert", THow::jSYN, 106, 1, 31, "TALLINN", "."},
    {"vertical/et_enc2017_excerpt_3.vert", THow::jSYN, 55, 3, 33, "Kuidas", "1979/82"},
    {"vertical/hu_emagyardemo.vert", THow::jSYN, 39, 1, 15, "H\xC3\xA1t", "."},
    {"conllu/en_ewt-ud-test.conllu", THow::jCONLLU, 25450, 316, 5008, "What", "."},
    {"conllu/cs_cltt-ud-test.conllu", THow::jCONLLU, 11420, 6, 1060, "(2)", "."},
    {"conllu/de_gsd-ud-test.first300k.conllu", THow::jCONLLU, 4311, 1, 604, "Der", "."},
};

fs::path CorporaFolder() { return fs::path(TAVORA_SHARED_CORPORA); }

TEST(SharedCorpora, EveryFileReadsInItsFormat) {
  if (!fs::is_directory(CorporaFolder())) GTEST_SKIP() << "shared corpora not present";
  for (const TCorpusFact& fact : kFacts) {
    SCOPED_TRACE(fact.File);
    const fs::path path = CorporaFolder() / fact.File;
    TTokenizationStream stream(fact.How);
    stream.LoadFromFiles(path.u16string());
    std::uint64_t tokens = 0, documents = 0, structural = 0;
    std::string first, last;
    while (TToken* token = stream.ReadToken()) {
      if (!token->IsNormalWord()) {
        if (!token->GetRaw().empty()) ++structural;
        continue;
      }
      EXPECT_EQ(token->IndexInCorpus(), ++tokens);
      if (token->IndexInDocument() == 1) ++documents;
      if (tokens == 1) first = U8(token->GetWord());
      last = U8(token->GetWord());
    }
    EXPECT_EQ(tokens, fact.Tokens);
    EXPECT_EQ(documents, fact.Documents);
    EXPECT_EQ(structural, fact.StructuralLines);
    EXPECT_EQ(first, fact.FirstWord);
    EXPECT_EQ(last, fact.LastWord);
    EXPECT_EQ(stream.GetBytesRead(), fs::file_size(path));
    EXPECT_EQ(stream.GetTotalBytes(), fs::file_size(path));
  }
}

TEST(SharedCorpora, FolderOfConlluFilesKeepsDocumentIds) {
  if (!fs::is_directory(CorporaFolder())) GTEST_SKIP() << "shared corpora not present";
  TTokenizationStream stream(THow::jCONLLU);
  stream.LoadFromFiles((CorporaFolder() / "conllu").u16string());
  std::string firstId;
  std::uint64_t tokens = 0, documents = 0;
  while (TToken* token = stream.ReadToken()) {
    if (!token->IsNormalWord()) continue;
    ++tokens;
    if (token->IndexInDocument() != 1) continue;
    if (++documents == 1) firstId = U8(stream.GetMetadata().Find(u"ID"));
  }
  // cs_cltt comes first in name order; de_gsd has no markers and continues its last document.
  EXPECT_EQ(tokens, 11420u + 4311u + 25450u);
  EXPECT_EQ(documents, 6u + 316u);
  EXPECT_EQ(firstId, "zakon.iso-003");
  EXPECT_EQ(stream.GetMetadata().GetFileIndex(), 3);
}

}  // namespace
}  // namespace tavora
