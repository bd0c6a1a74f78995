#include "results/TResultFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "processing/RunFixture.h"
#include "results/TIntervals.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ResultFolder : public RunFixture {
 protected:
  // A result file in the output folder, written with a byte-order mark and CR LF ends.
  fs::path WriteResult(const std::string& name, const std::vector<std::string>& lines) {
    fs::create_directories(out_);
    std::string bytes = "\xEF\xBB\xBF";
    for (const std::string& l : lines) bytes += l + "\r\n";
    const fs::path p = out_ / fs::path(std::u8string(name.begin(), name.end()));
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
};

TEST_F(ResultFolder, NamesOfEveryFamilyAreRecognised) {
  struct TCase {
    const char* Name;
    bool Recognised;
    TOutputType Family;
    tWordOrLemma Kind;
    std::int64_t Lag;
    std::int64_t Doc;
    std::u16string Caption;
  };
  const TCase cases[] = {
      {"Serie12Lemma200.csv", true, TOutputType::outSerie, tWordOrLemma::tokLemma, 200, 12, u""},
      {"Serie1Word3.csv", true, TOutputType::outSerie, tWordOrLemma::tokWord, 3, 1, u""},
      {"AveragesWord50.csv", true, TOutputType::outAverage, tWordOrLemma::tokWord, 50, 0, u""},
      {"WholeTextsLemma.csv", true, TOutputType::outWholeTexts, tWordOrLemma::tokLemma, 0, 0, u""},
      {"IndicesWord.csv", true, TOutputType::outIndices, tWordOrLemma::tokWord, 0, 0, u""},
      {"DistributionWord_Reverse Repeat Rate50.csv", true, TOutputType::outDistribution,
       tWordOrLemma::tokWord, 50, 0, u"Reverse Repeat Rate"},
      {"DistributionLemma_R\xC3\xA9nyi Entropy7.csv", true, TOutputType::outDistribution,
       tWordOrLemma::tokLemma, 7, 0, u"R\u00E9nyi Entropy"},
      {"SerieWord3.csv", false, {}, {}, 0, 0, u""},
      {"AveragesWord.csv", false, {}, {}, 0, 0, u""},
      {"Serie1Word3.csv.part", false, {}, {}, 0, 0, u""},
      {"DistributionWord_50.csv", false, {}, {}, 0, 0, u""},
      {"Serie99999999999999999999Word3.csv", false, {}, {}, 0, 0, u""},
      {"notes.txt", false, {}, {}, 0, 0, u""},
  };
  for (const TCase& c : cases) {
    const auto info =
        TResultFolder::Classify(fs::path(std::u8string(reinterpret_cast<const char8_t*>(c.Name))));
    ASSERT_EQ(info.has_value(), c.Recognised) << c.Name;
    if (!info) continue;
    EXPECT_EQ(info->Family, c.Family) << c.Name;
    EXPECT_EQ(info->Kind, c.Kind) << c.Name;
    EXPECT_EQ(info->Lag, c.Lag) << c.Name;
    EXPECT_EQ(info->Doc, c.Doc) << c.Name;
    EXPECT_EQ(info->Caption, c.Caption) << c.Name;
    // The writer's name of what was recognised is the name itself.
    EXPECT_EQ(fs::path(ResultFileName(*info)),
              fs::path(std::u8string(reinterpret_cast<const char8_t*>(c.Name))))
        << c.Name;
  }
}

// Every family written by a run of both kinds is found and read back with its values.
TEST_F(ResultFolder, ReadsWhatARunWrites) {
  const fs::path a = WriteInput("a.txt", "one two three one two four five one");
  const fs::path b = WriteInput("b.txt", "six six seven");
  TRun r;
  r.Input = Lines({a, b});
  r.WoL = TWordOrLemmaSet{tWordOrLemma::tokWord, tWordOrLemma::tokLemma};
  Measure(r);

  const TResultFolder folder(out_);
  EXPECT_EQ(folder.Find(TOutputType::outSerie).size(), 4u);
  ASSERT_EQ(folder.Find(TOutputType::outSerie, tWordOrLemma::tokWord, 3).size(), 2u);
  EXPECT_EQ(folder.Find(TOutputType::outAverage).size(), 2u);
  EXPECT_EQ(folder.Find(TOutputType::outWholeTexts).size(), 2u);
  EXPECT_EQ(folder.Find(TOutputType::outDistribution, tWordOrLemma::tokWord).size(), 3u);

  const auto series = folder.Find(TOutputType::outSerie, tWordOrLemma::tokWord, 3);
  EXPECT_EQ(series[0].Doc, 1);
  const TSeriesTable s = TResultFolder::ReadSeries(series[0].Path);
  EXPECT_THAT(s.Captions, ElementsAre(u"Tokens", u"Types", u"TTR"));
  EXPECT_THAT(s.WindowIds, ElementsAre(1, 2, 3, 4, 5, 6));
  ASSERT_TRUE(s.ColumnOf(u"Types"));
  // Windows: one two three | two three one | three one two | one two four | two four five | four
  // five one
  EXPECT_THAT(s.Columns[*s.ColumnOf(u"Types")], ElementsAre(3, 3, 3, 3, 3, 3));
  EXPECT_FALSE(s.ColumnOf(u"Hapax"));

  EXPECT_EQ(TResultFolder::ReadSeriesCaptions(series[1].Path), s.Captions);
  EXPECT_EQ(folder.ReadAverage(tWordOrLemma::tokWord, 3, 1, u"Tokens"), 3.0);
  EXPECT_EQ(folder.ReadAverage(tWordOrLemma::tokWord, 3, 9, u"Tokens"), std::nullopt);
  EXPECT_EQ(folder.ReadAverage(tWordOrLemma::tokWord, 7, 1, u"Tokens"), std::nullopt);
  EXPECT_EQ(folder.ReadAverage(tWordOrLemma::tokWord, 3, 1, u"Hapax"), std::nullopt);

  const TTextTable avg = TResultFolder::ReadTextTable(
      folder.Find(TOutputType::outAverage, tWordOrLemma::tokWord)[0].Path);
  ASSERT_EQ(avg.Rows.size(), 2u);
  EXPECT_EQ(avg.Rows[0].FileName, a.u16string());
  EXPECT_EQ(avg.Rows[1].TextId, u"2");
  EXPECT_DOUBLE_EQ(avg.Rows[0].Values[*avg.ColumnOf(u"Tokens")], 3.0);

  const auto dist = TResultFolder::ReadDistribution(
      folder.Find(TOutputType::outDistribution, tWordOrLemma::tokWord, 3)[1].Path);
  ASSERT_EQ(dist.size(), 3u);
  EXPECT_EQ(dist[0].Name, a.u16string());
  EXPECT_EQ(dist[2].Name, u"TOTAL");
  EXPECT_EQ(dist[2].TextId, u"");
  // The total counts every window of both documents.
  std::uint64_t total = 0;
  for (const std::uint64_t c : dist[2].Counts) total += c;
  EXPECT_EQ(total, 7u);
}

// A folder that held several runs shows only the latest complete one, as its run record
// lists it: the series of an earlier run stay on disk but are never paired with the new
// averages. A killed run's record still names the run before it; a folder written by an older
// version (no record) is read whole; a record that cannot be read is named.
TEST_F(ResultFolder, OnlyTheLatestCompleteRunIsShown) {
  const fs::path a = WriteInput("a.txt", "a b a c d"), b = WriteInput("b.txt", "e f e g");
  TRun r;
  r.Input = Lines({a, b, a});
  Measure(r);
  r.Input = Lines({b});
  Measure(r);
  EXPECT_TRUE(fs::exists(out_ / "Serie3Word3.csv"));
  const TResultFolder latest(out_);
  EXPECT_EQ(latest.GetFiles().size(), 6u);  // a series, averages, whole texts, 3 distributions
  ASSERT_EQ(latest.Find(TOutputType::outSerie).size(), 1u);
  EXPECT_EQ(latest.ReadAverage(tWordOrLemma::tokWord, 3, 1, u"Tokens"), 3.0);
  EXPECT_EQ(latest.ReadAverage(tWordOrLemma::tokWord, 3, 2, u"Tokens"), std::nullopt);

  const fs::path record = out_ / "TavoraRun.json";
  const std::string complete = Read(record);
  std::ofstream(record, std::ios::binary)
      << "{\"state\": \"running\", \"files\": [], \"previous\": " << complete << "}";
  EXPECT_EQ(TResultFolder(out_).GetFiles(), latest.GetFiles());

  fs::remove(record);
  EXPECT_EQ(TResultFolder(out_).Find(TOutputType::outSerie).size(), 3u);

  std::ofstream(record, std::ios::binary) << "{\"state\": ";
  EXPECT_THAT([&] { const TResultFolder broken(out_); },
              ::testing::ThrowsMessage<std::runtime_error>(
                  HasSubstr("Cannot read the run record \"" + Utf8(record) + "\": line 1:")));
}

TEST_F(ResultFolder, QuotedNamesAndSpecialValues) {
  const fs::path avg =
      WriteResult("AveragesWord3.csv", {"\"File Name\",\"Text id\",\"Tokens\",\"Entropy\"",
                                        "\"say \"\"hi\"\", 2.txt\",\"1\",\"3.0\",\"NaN\"",
                                        "\"\",\"2\",\"Inf\",\"-Inf\""});
  const TTextTable t = TResultFolder::ReadTextTable(avg);
  ASSERT_EQ(t.Rows.size(), 2u);
  EXPECT_EQ(t.Rows[0].FileName, u"say \"hi\", 2.txt");
  EXPECT_TRUE(std::isnan(t.Rows[0].Values[1]));
  EXPECT_EQ(t.Rows[1].FileName, u"");
  EXPECT_EQ(t.Rows[1].Values[0], INFINITY);
  EXPECT_EQ(t.Rows[1].Values[1], -INFINITY);

  const fs::path serie =
      WriteResult("Serie1Word3.csv",
                  {"\"Window id\",\"LogTTR\"", "\"1\",\"NaN\"", "\"2\",\"-Inf\"", "\"3\",\"0.5\""});
  const TSeriesTable s = TResultFolder::ReadSeries(serie);
  ASSERT_EQ(s.Columns[0].size(), 3u);
  EXPECT_TRUE(std::isnan(s.Columns[0][0]));
  EXPECT_EQ(s.Columns[0][1], -INFINITY);
  EXPECT_EQ(s.Columns[0][2], 0.5);
}

// Blocks as the run writes them, with intervals below zero and the closing total.
TEST_F(ResultFolder, DistributionWithNegativeIntervalsAndTotal) {
  TIntervals doc(100);
  doc.PridejKDistribuci(-0.015, 2);
  doc.PridejKDistribuci(0.02, 1);
  std::string labels;
  std::string counts;
  doc.AppendLabelLine(labels, ",");
  doc.AppendCountLine(counts, ",");
  const fs::path p =
      WriteResult("DistributionWord_Relative Entropy3.csv",
                  {"\"a \"\"b\"\".txt\",\"1\"", labels, counts, "\"TOTAL\"", labels, counts});
  const auto blocks = TResultFolder::ReadDistribution(p);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].Name, u"a \"b\".txt");
  EXPECT_EQ(blocks[0].TextId, u"1");
  EXPECT_EQ(blocks[1].Name, u"TOTAL");
  ASSERT_FALSE(blocks[0].LabelValues.empty());
  EXPECT_LT(blocks[0].LabelValues.front(), 0.0);
  EXPECT_EQ(blocks[0].Labels.size(), blocks[0].Counts.size());
  std::uint64_t total = 0;
  for (const std::uint64_t c : blocks[1].Counts) total += c;
  EXPECT_EQ(total, 3u);
}

TEST_F(ResultFolder, BadFilesNameTheFileAndTheProblem) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Lines;
    const char* Problem;
  };
  const TCase cases[] = {
      {"Serie1Word3.csv",
       {"\"Window\",\"Types\""},
       "line 1: the header does not begin with \"Window id\""},
      {"Serie2Word3.csv",
       {"\"Window id\",\"Types\"", "\"1\",\"x\""},
       "line 2: \"x\" is not a number"},
      {"Serie3Word3.csv",
       {"\"Window id\",\"Types\"", "\"1\""},
       "line 2: the line has 1 fields, the header 2"},
      {"Serie4Word3.csv", {"\"Window id\",\"Types", "\"1\",\"2\""}, "a quoted field"},
      {"DistributionWord_Types3.csv",
       {"\"a\",\"1\"", "0,1,", "4,"},
       "line 3: 2 labels but 1 counts"},
      {"DistributionWord_Tokens3.csv", {"0,1,", "4,5,"}, "a quoted document name was expected"},
      {"DistributionWord_TTR3.csv", {"\"a\",\"1\"", "0,1,"}, "without its counts"},
  };
  for (const TCase& c : cases) {
    const fs::path p = WriteResult(c.Name, c.Lines);
    try {
      if (std::string(c.Name).starts_with("Serie")) {
        (void)TResultFolder::ReadSeries(p);
      } else {
        (void)TResultFolder::ReadDistribution(p);
      }
      ADD_FAILURE() << c.Name << " was read";
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.Name));
      EXPECT_THAT(e.what(), HasSubstr(c.Problem)) << e.what();
    }
  }
  EXPECT_THROW(TResultFolder(dir_ / "missing"), std::runtime_error);
}

TEST_F(ResultFolder, ProgressCanCancelALongRead) {
  std::vector<std::string> lines{"\"Window id\",\"Types\""};
  for (int i = 1; i <= 70000; ++i) lines.push_back("\"" + std::to_string(i) + "\",\"1\"");
  const fs::path p = WriteResult("Serie1Word3.csv", lines);
  double last = 0;
  const TSeriesTable s = TResultFolder::ReadSeries(p, [&](double share) {
    last = share;
    return true;
  });
  EXPECT_EQ(s.WindowIds.size(), 70000u);
  EXPECT_EQ(last, 1.0);
  EXPECT_THROW((void)TResultFolder::ReadSeries(p, [](double) { return false; }),
               std::runtime_error);
}

}  // namespace
}  // namespace tavora::testing
