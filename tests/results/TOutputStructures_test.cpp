#include "results/TOutputStructures.h"

#include <gmock/gmock.h>

#include <map>

#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ResultFiles = RunFixture;

// A small run compared byte for byte: byte-order mark, CR LF, quotes, digits.
TEST_F(ResultFiles, OneDocumentWholeFilesAreExact) {
  const fs::path a = WriteInput("a.txt", "a b a c");
  TRun r;
  r.Input = Lines({a});
  Measure(r);
  const std::string name = Utf8(a);
  EXPECT_EQ(Read(out_ / "Serie1Word3.csv"),
            "\xEF\xBB\xBF\"Window id\",\"Tokens\",\"Types\",\"TTR\"\r\n"
            "\"1\",\"3\",\"2\",\"0.667\"\r\n"
            "\"2\",\"3\",\"3\",\"1.000\"\r\n");
  EXPECT_EQ(Read(out_ / "AveragesWord3.csv"),
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"Tokens\",\"Types\",\"TTR\"\r\n"
            "\"" +
                name + "\",\"1\",\"3.0\",\"2.5\",\"0.833\"\r\n");
  EXPECT_EQ(Read(out_ / "WholeTextsWord.csv"),
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"Tokens\",\"Types\",\"TTR\"\r\n"
            "\"" +
                name + "\",\"1\",\"4\",\"3\",\"0.750\"\r\n");
  EXPECT_EQ(Read(out_ / "DistributionWord_Types3.csv"),
            "\xEF\xBB\xBF\"" + name +
                "\",\"1\"\r\n0,1,2,3,\r\n0,0,1,1,\r\n"
                "\"TOTAL\"\r\n0,1,2,3,\r\n0,0,1,1,\r\n");
  EXPECT_EQ(Read(out_ / "DistributionWord_Tokens3.csv"),
            "\xEF\xBB\xBF\"" + name +
                "\",\"1\"\r\n0,1,2,3,\r\n0,0,0,2,\r\n"
                "\"TOTAL\"\r\n0,1,2,3,\r\n0,0,0,2,\r\n");
}

TEST_F(ResultFiles, EveryFamilyForBothKinds) {
  const fs::path a = WriteInput("a.txt", "one two three two one four");
  TRun r;
  r.Input = Lines({a});
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  r.Measures = TMeasureSet{tMeasure::vTypes, tMeasure::vCrossPerplexity};
  r.Secondary = tMeasureSecondarySet{tMeasureSecondary::vRenyiEntropy};
  r.Lag = 200;
  Measure(r);
  EXPECT_THAT(
      OutputNames(),
      ElementsAre(
          "AveragesLemma200.csv", "AveragesWord200.csv",
          "DistributionLemma_Cross Perplexity200.csv", "DistributionLemma_Rényi Entropy200.csv",
          "DistributionLemma_Types200.csv", "DistributionWord_Cross Perplexity200.csv",
          "DistributionWord_Rényi Entropy200.csv", "DistributionWord_Types200.csv",
          "Serie1Lemma200.csv", "Serie1Word200.csv", "WholeTextsLemma.csv", "WholeTextsWord.csv"));
}

TEST_F(ResultFiles, OnlyTheChosenFamiliesAreWritten) {
  const fs::path a = WriteInput("a.txt", "one two three");
  TRun r;
  r.Input = Lines({a});
  r.Outputs = TOutputTypeSet{TOutputType::outAverage};
  Measure(r);
  EXPECT_THAT(OutputNames(), ElementsAre("AveragesWord3.csv"));
}

TEST_F(ResultFiles, TwoDocumentsAddUpToTotal) {
  const fs::path a = WriteInput("a.txt", "a b a c d e a b");
  const fs::path b = WriteInput("b.txt", "x x x y z x y y y z w");
  TRun r;
  r.Input = Lines({a, b});
  Measure(r);
  for (const char* file : {"DistributionWord_Types3.csv", "DistributionWord_TTR3.csv"}) {
    SCOPED_TRACE(file);
    const auto blocks = DistributionBlocks(ReadLines(out_ / file));
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].first, "\"" + Utf8(a) + "\",\"1\"");
    EXPECT_EQ(blocks[1].first, "\"" + Utf8(b) + "\",\"2\"");
    EXPECT_EQ(blocks[2].first, "\"TOTAL\"");
    std::map<std::string, std::uint64_t> sum = blocks[0].second;
    for (const auto& [label, count] : blocks[1].second) sum[label] += count;
    std::erase_if(sum, [](const auto& e) { return e.second == 0; });
    auto total = blocks[2].second;
    std::erase_if(total, [](const auto& e) { return e.second == 0; });
    EXPECT_EQ(sum, total);
    std::uint64_t windows = 0;
    for (const auto& [label, count] : total) windows += count;
    EXPECT_EQ(windows, 6u + 9u);
  }
  EXPECT_THAT(ReadLines(out_ / "Serie2Word3.csv").size(), 1u + 9u);
}

// A document shorter than the window has no average: NaN, counted in the run's report.
TEST_F(ResultFiles, DocumentShorterThanTheWindow) {
  const fs::path a = WriteInput("a.txt", "a b");
  const fs::path b = WriteInput("b.txt", "a b c");
  TRun r;
  r.Input = Lines({a, b});
  Measure(r);
  EXPECT_THAT(ReadLines(out_ / "Serie1Word3.csv"),
              ElementsAre("\"Window id\",\"Tokens\",\"Types\",\"TTR\""));
  EXPECT_THAT(ReadLines(out_ / "DistributionWord_Types3.csv"),
              ElementsAre("\"" + Utf8(a) + "\",\"1\"", "", "", "\"" + Utf8(b) + "\",\"2\"",
                          "0,1,2,3,", "0,0,0,1,", "\"TOTAL\"", "0,1,2,3,", "0,0,0,1,"));
  const auto averages = ReadLines(out_ / "AveragesWord3.csv");
  EXPECT_EQ(averages.at(1), "\"" + Utf8(a) + "\",\"1\",\"NaN\",\"NaN\",\"NaN\"");
  EXPECT_EQ(averages.at(2), "\"" + Utf8(b) + "\",\"2\",\"3.0\",\"3.0\",\"1.000\"");
  EXPECT_EQ(ReadLines(out_ / "WholeTextsWord.csv").at(1),
            "\"" + Utf8(a) + "\",\"1\",\"2\",\"2\",\"1.000\"");
  EXPECT_EQ(report_.Documents, 2u);
  EXPECT_EQ(report_.ShortDocuments, 1u);
}

TEST_F(ResultFiles, FileWithoutTokensGetsNoNumber) {
  const fs::path a = WriteInput("a.txt", "a b c");
  const fs::path empty = WriteInput("empty.txt", " \r\n\t\r\n");
  const fs::path c = WriteInput("c.txt", "d e f");
  TRun r;
  r.Input = Lines({a, empty, c});
  Measure(r);
  const auto averages = ReadLines(out_ / "AveragesWord3.csv");
  ASSERT_EQ(averages.size(), 3u);
  EXPECT_TRUE(averages[2].starts_with("\"" + Utf8(c) + "\",\"2\""));
  EXPECT_TRUE(fs::exists(out_ / "Serie2Word3.csv"));
  EXPECT_FALSE(fs::exists(out_ / "Serie3Word3.csv"));
}

TEST_F(ResultFiles, InputWithoutAnyTokenWritesHeadersAndTotalsOnly) {
  const fs::path empty = WriteInput("empty.txt", "");
  TRun r;
  r.Input = Lines({empty});
  Measure(r);
  EXPECT_THAT(OutputNames(), ElementsAre("AveragesWord3.csv", "DistributionWord_TTR3.csv",
                                         "DistributionWord_Tokens3.csv",
                                         "DistributionWord_Types3.csv", "WholeTextsWord.csv"));
  EXPECT_EQ(Read(out_ / "AveragesWord3.csv"),
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"Tokens\",\"Types\",\"TTR\"\r\n");
  EXPECT_EQ(Read(out_ / "DistributionWord_TTR3.csv"), "\xEF\xBB\xBF\"TOTAL\"\r\n\r\n\r\n");
}

TEST_F(ResultFiles, NoMeasureLeavesOnlyTheKeyColumns) {
  const fs::path a = WriteInput("a.txt", "a b c d");
  TRun r;
  r.Input = Lines({a});
  r.Measures = {};
  r.Secondary = {};
  Measure(r);
  EXPECT_THAT(ReadLines(out_ / "AveragesWord3.csv"),
              ElementsAre("\"File Name\",\"Text id\"", "\"" + Utf8(a) + "\",\"1\""));
  EXPECT_THAT(ReadLines(out_ / "Serie1Word3.csv"), ElementsAre("\"Window id\"", "\"1\"", "\"2\""));
}

TEST_F(ResultFiles, PastedTextHasAnEmptyName) {
  TRun r;
  r.Input = u"a b a\r\nc";
  r.IsWholeText = true;
  Measure(r);
  EXPECT_EQ(ReadLines(out_ / "WholeTextsWord.csv").at(1), "\"\",\"1\",\"4\",\"3\",\"0.750\"");
}

#ifndef _WIN32
TEST_F(ResultFiles, QuotesInAFileNameAreDoubled) {
  const fs::path a = WriteInput("say \"hi\", bye.txt", "a b a");
  TRun r;
  r.Input = Lines({a});
  Measure(r);
  std::string quoted;
  for (const char c : Utf8(a)) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  EXPECT_EQ(ReadLines(out_ / "AveragesWord3.csv").at(1),
            "\"" + quoted + "\",\"1\",\"3.0\",\"2.0\",\"0.667\"");
  EXPECT_EQ(ReadLines(out_ / "DistributionWord_Types3.csv").at(0), "\"" + quoted + "\",\"1\"");
}
#endif

TEST_F(ResultFiles, OutputFolderIsCreatedWithItsParents) {
  const fs::path a = WriteInput("a.txt", "a b a");
  out_ = dir_ / "x" / "y" / "z";
  TRun r;
  r.Input = Lines({a});
  Measure(r);
  EXPECT_TRUE(fs::exists(out_ / "AveragesWord3.csv"));
}

TEST_F(ResultFiles, EmptyOutputFolderIsRefused) {
  out_.clear();
  TRun r;
  r.Input = u"a b c";
  r.IsWholeText = true;
  EXPECT_THROW(
      {
        try {
          Measure(r);
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "Unable to create directory");
          throw;
        }
      },
      std::runtime_error);
}

TEST_F(ResultFiles, FolderThatCannotBeCreatedIsNamed) {
  WriteInput("blocker", "a file, not a folder");
  out_ = dir_ / "blocker" / "out";
  TRun r;
  r.Input = u"a b c";
  r.IsWholeText = true;
  try {
    Measure(r);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(),
                ::testing::StartsWith("Unable to create directory \"" + Utf8(out_) + "\""));
  }
}

// A result file that cannot be put in place ends the run with its name before any file is
// renamed: nothing of the run is left, no partial file and no series of an ended document.
TEST_F(ResultFiles, FailedSaveNamesTheFileAndLeavesNothingPartial) {
  const fs::path a = WriteInput("a.txt", "a b a c");
  const fs::path b = WriteInput("b.txt", "d e f");
  fs::create_directories(out_ / "AveragesWord3.csv");  // a folder where the file should go
  TRun r;
  r.Input = Lines({a, b});
  try {
    Measure(r);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("\"" + Utf8(out_ / "AveragesWord3.csv") + "\""));
  }
  EXPECT_THAT(OutputNames(), ElementsAre("AveragesWord3.csv"));
  EXPECT_FALSE(fs::exists(out_ / "TavoraRun.json"));
}

// Distributions of a measure of granularity 1 begin at interval 0 whatever the values.
TEST_F(ResultFiles, DistributionStartsAtIntervalZero) {
  std::string text;
  for (int i = 0; i < 160; ++i) text += std::string{char('a' + i / 26), char('a' + i % 26), ' '};
  const fs::path a = WriteInput("a.txt", text);
  TRun r;
  r.Input = Lines({a});
  r.Lag = 150;
  r.Outputs = TOutputTypeSet{TOutputType::outDistribution};
  Measure(r);
  const auto lines = ReadLines(out_ / "DistributionWord_Types150.csv");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_TRUE(lines[1].starts_with("0,1,2,"));
  EXPECT_TRUE(lines[1].ends_with(",149,150,"));
  EXPECT_TRUE(lines[2].ends_with(",0,11,"));
  EXPECT_EQ(std::count(lines[2].begin(), lines[2].end(), ','), 151);
}

// A distribution wider than a line held in memory is streamed; the blocks stay in order.
TEST_F(ResultFiles, WideDistributionIsStreamedInPlace) {
  std::string text;
  for (int i = 0; i < 9001; ++i)
    text += std::string{char('a' + i / 676), char('a' + i / 26 % 26), char('a' + i % 26), ' '};
  const fs::path a = WriteInput("a.txt", text);
  TRun r;
  r.Input = Lines({a, a});
  r.Lag = 9000;
  r.Measures = TMeasureSet{tMeasure::vTypes};
  r.Secondary = {};
  r.Outputs = TOutputTypeSet{TOutputType::outDistribution};
  Measure(r);
  const auto lines = ReadLines(out_ / "DistributionWord_Types9000.csv");
  ASSERT_EQ(lines.size(), 9u);
  for (const std::size_t i : {0u, 3u})
    EXPECT_EQ(lines[i], "\"" + Utf8(a) + "\",\"" + std::to_string(i / 3 + 1) + "\"");
  EXPECT_EQ(lines[6], "\"TOTAL\"");
  for (const std::size_t i : {1u, 4u, 7u}) {
    EXPECT_TRUE(lines[i].starts_with("0,1,2,3,")) << i;
    EXPECT_TRUE(lines[i].ends_with(",8999,9000,")) << i;
  }
  EXPECT_TRUE(lines[2].ends_with(",0,0,2,"));
  EXPECT_TRUE(lines[5].ends_with(",0,0,2,"));
  EXPECT_TRUE(lines[8].ends_with(",0,0,4,"));
  EXPECT_EQ(std::count(lines[8].begin(), lines[8].end(), ','), 9001);
}

// Values that are not finite numbers are written as text and left out of distributions.
TEST_F(ResultFiles, UndefinedValuesAreWrittenAndLeftOutOfDistributions) {
  TRun r;
  r.Input = u"a b a c";
  r.IsWholeText = true;
  r.Measures = TMeasureSet{tMeasure::vHillsContinuum};
  r.Secondary = tMeasureSecondarySet{tMeasureSecondary::vRenyiEntropy};
  r.Q = 1.0;  // divides by 1 - Q
  Measure(r);
  const auto serie = ReadLines(out_ / "Serie1Word3.csv");
  ASSERT_EQ(serie.size(), 3u);
  EXPECT_THAT(serie[1],
              ::testing::AnyOf(::testing::EndsWith("\"NaN\""), ::testing::EndsWith("\"Inf\""),
                               ::testing::EndsWith("\"-Inf\"")));
  EXPECT_THAT(ReadLines(out_ / "DistributionWord_Rényi Entropy3.csv"),
              ElementsAre("\"\",\"1\"", "", "", "\"TOTAL\"", "", ""));
}

}  // namespace
}  // namespace tavora::testing
