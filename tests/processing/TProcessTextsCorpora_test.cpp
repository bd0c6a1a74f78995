// Runs over the shared real corpora; skipped when they are absent.

#include <gmock/gmock.h>

#include <map>

#include "engine/TReferenceDictionary.h"
#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

class Corpora : public RunFixture {
 protected:
  void SetUp() override {
    corpora_ = TAVORA_SHARED_CORPORA;
    if (!fs::is_directory(corpora_)) GTEST_SKIP() << "no shared corpora at " << corpora_;
    RunFixture::SetUp();
  }
  fs::path corpora_;
};

// Every document of a CoNLL-U corpus gets one number, one averages line, one series
// file per kind, and distribution blocks that add up to the "TOTAL" block.
TEST_F(Corpora, ConlluRunIsConsistent) {
  const fs::path file = corpora_ / "conllu" / "en_ewt-ud-test.conllu";
  if (!fs::exists(file)) GTEST_SKIP();
  std::size_t documents = 0;
  {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) documents += line.starts_with("# newdoc");
  }
  ASSERT_GT(documents, 10u);

  TRun r;
  r.How = THow::jCONLLU;
  r.Input = Lines({file});
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  r.Measures = TMeasureSet::All();
  r.Secondary = tMeasureSecondarySet::All();
  r.Lag = 20;
  Measure(r);

  for (const char* kind : {"Word", "Lemma"}) {
    EXPECT_EQ(ReadLines(out_ / (std::string("Averages") + kind + "20.csv")).size(), documents + 1);
    EXPECT_EQ(ReadLines(out_ / (std::string("WholeTexts") + kind + ".csv")).size(), documents + 1);
    EXPECT_TRUE(fs::exists(out_ / ("Serie" + std::to_string(documents) + kind + "20.csv")));
    EXPECT_FALSE(fs::exists(out_ / ("Serie" + std::to_string(documents + 1) + kind + "20.csv")));
  }
  std::size_t distributionFiles = 0;
  for (const std::string& name : OutputNames()) {
    EXPECT_FALSE(name.ends_with(".part")) << name;
    if (!name.starts_with("Distribution")) continue;
    ++distributionFiles;
    SCOPED_TRACE(name);
    const auto lines = ReadLines(out_ / name);
    ASSERT_EQ(lines.size(), 3 * (documents + 1));
    EXPECT_EQ(lines[lines.size() - 3], "\"TOTAL\"");
    // Sum the document blocks label by label.
    auto blocks = DistributionBlocks(lines);
    std::map<std::string, std::uint64_t> total = std::move(blocks.back().second), sum;
    blocks.pop_back();
    for (const auto& [name, counts] : blocks)
      for (const auto& [label, count] : counts) sum[label] += count;
    std::erase_if(sum, [](const auto& e) { return e.second == 0; });
    std::erase_if(total, [](const auto& e) { return e.second == 0; });
    EXPECT_EQ(sum, total);
  }
  EXPECT_EQ(distributionFiles, 2u * (13 + 17));
}

// A frequency list made from a corpus serves as the reference of a measurement: the
// cross perplexity then differs from 0.
TEST_F(Corpora, FrequencyListServesAsReference) {
  const fs::path file = corpora_ / "plain_text" / "en_austen_pride_and_prejudice_ch01-25.txt";
  if (!fs::exists(file)) GTEST_SKIP();
  TProcessTexts p;
  const auto lists = p.PrepareDictionary(
      THow::JStandard, Lines({file}), dir_ / "wf.tsv", dir_ / "lemma.tsv", false, true, true,
      TCasesensitiveness::csCaseInsensitive, TWordOrLemmaSet{tWordOrLemma::tokWord}, {});
  ASSERT_NE(lists[0], nullptr);
  EXPECT_GT(lists[0]->TotalTokens, 40000u);
  EXPECT_NE(lists[0]->Find(u"elizabeth"), nullptr);
  EXPECT_EQ(lists[0]->Find(u"Elizabeth"), nullptr);

  TRun r;
  r.Input = Lines({file});
  r.Measures = TMeasureSet{tMeasure::vCrossPerplexity};
  r.Secondary = {};
  r.Lag = 100;
  r.Outputs = TOutputTypeSet{TOutputType::outAverage};
  r.Reference[tWordOrLemma::tokWord] = lists[0].get();
  Measure(r);
  const auto lines = ReadLines(out_ / "AveragesWord100.csv");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_THAT(lines[1], ::testing::Not(::testing::EndsWith(",\"0.0\"")));
}

// English EWT under the Universal Dependencies conventions with the UPOS rule: about 55%
// of the words are content words (the built-in rule, made for other tag sets, finds 13%),
// and every document carries its newdoc id.
TEST_F(Corpora, UniversalDependenciesContentWordShare) {
  const fs::path file = corpora_ / "conllu" / "en_ewt-ud-test.conllu";
  if (!fs::exists(file)) GTEST_SKIP();
  TRun r;
  r.How = THow::jCONLLU;
  r.Input = Lines({file});
  r.Measures = TMeasureSet{tMeasure::vTokens, tMeasure::vAutosemantics};
  r.Secondary = {};
  r.Lag = 20;
  r.Outputs = TOutputTypeSet{TOutputType::outWholeTexts};
  r.Corpus.UniversalDependencies = true;
  r.Corpus.AutosemanticRule = TAutosemanticChoice::Upos;
  r.Corpus.DocumentIds = true;
  Measure(r);
  const auto lines = ReadLines(out_ / "WholeTextsWord.csv");
  ASSERT_EQ(lines.size(), 317u);
  double tokens = 0;
  double content = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    // "file","n","id","tokens","share"
    std::vector<std::string> fields;
    for (std::size_t at = 0; (at = lines[i].find('"', at)) != std::string::npos;) {
      const std::size_t end = lines[i].find('"', at + 1);
      fields.push_back(lines[i].substr(at + 1, end - at - 1));
      at = end + 1;
    }
    ASSERT_EQ(fields.size(), 5u) << lines[i];
    EXPECT_FALSE(fields[2].empty()) << lines[i];
    tokens += std::stod(fields[3]);
    content += std::stod(fields[3]) * std::stod(fields[4]);
  }
  EXPECT_NEAR(content / tokens, 0.55, 0.03);
}

}  // namespace
}  // namespace tavora::testing
