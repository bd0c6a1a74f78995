// The results database: read back through TResultFolder it gives what the CSV files of the
// same run give (exactly at full precision, within the CSV's rounding otherwise, NaN and the
// infinities included), and the frequency lists their files hold; runs are added under new
// ids, --replace starts afresh, and a run that fails leaves the database as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "processing/RunFixture.h"
#include "results/TResultFolder.h"
#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;

class ResultDatabase : public RunFixture {
 protected:
  // A run of two texts, one shorter than the window (NaN averages), with measures that give
  // the infinities at some windows (reverse repeat rate, relative entropy).
  TRun TwoTexts() {
    TRun r;
    r.Input = Lines({WriteInput("a.txt", "a a b c a b b d a"), WriteInput("b.txt", "x")});
    r.Lag = 2;
    r.Measures = {tMeasure::vTokens, tMeasure::vTypes, tMeasure::vRRR};
    r.Secondary = {tMeasureSecondary::vTTR, tMeasureSecondary::vRelativeEntropy};
    return r;
  }
  void MeasureTo(const TRun& r, const TResultDestinations& d, const TProgressCallback& p = {}) {
    TProcessTexts process;
    TCorpusOptions corpus = r.Corpus;
    corpus.Precision = precision_;
    process.SetCorpusOptions(corpus);
    process.SetIndices(TIndexSet::All());
    process.SetResultDestinations(d);
    process.Measure(r.How, r.Input, out_, r.IsWholeText, r.OmitPunctuation, r.OmitDigits, r.CS,
                    r.WoL, r.Measures, r.Secondary, r.Custom, r.Lag, r.Reference, r.Outputs, r.Q,
                    false, p);
  }
  // The run ids in the database, in order.
  std::vector<std::int64_t> Runs(const fs::path& file) const {
    TSqliteDatabase db(file, TSqliteDatabase::TOpen::ReadOnly, "Cannot read");
    std::vector<std::int64_t> runs;
    for (std::int64_t id = 0;
         (id = db.QueryInteger("SELECT min(id) FROM runs WHERE id > " + std::to_string(id))) > 0;)
      runs.push_back(id);
    return runs;
  }
  void ExpectSame(const std::vector<double>& csv, const std::vector<double>& db) {
    ASSERT_EQ(csv.size(), db.size());
    for (std::size_t i = 0; i < csv.size(); ++i) {
      if (std::isnan(csv[i])) {
        EXPECT_TRUE(std::isnan(db[i])) << i;
        ++nans_;
      } else if (precision_ == TPrecision::Full || std::isinf(csv[i])) {
        EXPECT_EQ(csv[i], db[i]) << i;
        infinities_ += std::isinf(csv[i]) ? 1 : 0;
      } else {
        // Written with at least one decimal, or exactly when a whole number.
        EXPECT_NEAR(csv[i], db[i], 0.05 + 1e-12) << i;
      }
    }
  }
  void ExpectSameTables(const TTextTable& csv, const TTextTable& db) {
    EXPECT_EQ(csv.Captions, db.Captions);
    ASSERT_EQ(csv.Rows.size(), db.Rows.size());
    for (std::size_t r = 0; r < csv.Rows.size(); ++r) {
      EXPECT_EQ(csv.Rows[r].FileName, db.Rows[r].FileName);
      EXPECT_EQ(csv.Rows[r].TextId, db.Rows[r].TextId);
      ExpectSame(csv.Rows[r].Values, db.Rows[r].Values);
    }
  }
  void ExpectSameFile(const TResultFileInfo& f, const fs::path& csv) {
    SCOPED_TRACE(Utf8(csv.filename()));
    switch (f.Family) {
      case TOutputType::outSerie: {
        const TSeriesTable a = TResultFolder::ReadSeries(csv);
        const TSeriesTable b = TResultFolder::ReadSeries(f.Path);
        EXPECT_EQ(a.Captions, b.Captions);
        EXPECT_EQ(a.WindowIds, b.WindowIds);
        ASSERT_EQ(a.Columns.size(), b.Columns.size());
        for (std::size_t c = 0; c < a.Columns.size(); ++c) ExpectSame(a.Columns[c], b.Columns[c]);
        EXPECT_EQ(TResultFolder::SeriesHasNoWindow(csv), TResultFolder::SeriesHasNoWindow(f.Path));
        break;
      }
      case TOutputType::outDistribution: {
        const auto a = TResultFolder::ReadDistribution(csv);
        const auto b = TResultFolder::ReadDistribution(f.Path);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
          EXPECT_EQ(a[i].Name, b[i].Name);
          EXPECT_EQ(a[i].TextId, b[i].TextId);
          EXPECT_EQ(a[i].Labels, b[i].Labels);
          EXPECT_EQ(a[i].LabelValues, b[i].LabelValues);
          EXPECT_EQ(a[i].Counts, b[i].Counts);
        }
        break;
      }
      default:
        ExpectSameTables(TResultFolder::ReadTextTable(csv), TResultFolder::ReadTextTable(f.Path));
    }
  }

  TPrecision precision_ = TPrecision::Full;
  int nans_ = 0;
  int infinities_ = 0;
};

class ResultDatabasePrecision : public ResultDatabase,
                                public ::testing::WithParamInterface<TPrecision> {};

TEST_P(ResultDatabasePrecision, HoldsWhatTheCsvFilesHold) {
  precision_ = GetParam();
  TRun r = TwoTexts();
  r.WoL = {tWordOrLemma::tokWord};
  MeasureTo(r, {true, true, u"", false});
  const TResultFolder folder(out_);
  EXPECT_EQ(folder.GetDatabase(), out_ / "Tavora.sqlite");
  EXPECT_EQ(folder.GetDatabaseRun(), 1);
  std::size_t csvFiles = 0;
  for (const auto& e : fs::directory_iterator(out_)) csvFiles += e.path().extension() == ".csv";
  EXPECT_EQ(folder.GetFiles().size(), csvFiles);
  for (const TResultFileInfo& f : folder.GetFiles()) ExpectSameFile(f, out_ / f.Path.filename());
  EXPECT_GT(nans_, 0);
  EXPECT_GT(infinities_, 0);
  // The database file itself is a result folder of its latest complete run.
  EXPECT_EQ(TResultFolder(out_ / "Tavora.sqlite").GetFiles().size(), csvFiles);
}

INSTANTIATE_TEST_SUITE_P(BothPrecisions, ResultDatabasePrecision,
                         ::testing::Values(TPrecision::Full, TPrecision::Fixed));

// A frequency-list run puts each list into the database as its file has it, rank by rank.
TEST_F(ResultDatabase, HoldsTheFrequencyLists) {
  const fs::path input = WriteInput("a.vert", "The\tthe\tDT\ncats\tcat\tNN\nthe\tthe\tDT\n");
  TProcessTexts process;
  TDictionaryParameters p;
  p.How = THow::JStandard;
  p.InputFile = Lines({input});
  p.OutputFileWF = (dir_ / "wf.tsv").u16string();
  p.OutputFileLemma = (dir_ / "lemma.tsv").u16string();
  p.WoL = TWordOrLemmaSet::All();
  p.Destinations = {true, true, u"", false};
  (void)process.PrepareDictionary(p);
  TSqliteDatabase db(dir_ / "Tavora.sqlite", TSqliteDatabase::TOpen::ReadOnly, "Cannot read");
  for (const auto& [kind, file] : {std::pair{"word", "wf.tsv"}, {"lemma", "lemma.tsv"}}) {
    TSqliteStatement rows(
        db, std::string("SELECT type, count FROM frequency_lists WHERE kind = '") + kind +
                "' ORDER BY rank;");
    std::vector<std::string> fromDb;
    while (rows.Step()) fromDb.push_back(rows.Text(0) + "\t" + std::to_string(rows.Integer(1)));
    EXPECT_EQ(fromDb, ReadLines(dir_ / file)) << kind;
  }
}

// Runs are added under new ids and the folder shows the latest; a run that replaces the
// database goes on counting and leaves only itself; a later run without the database is read
// from its CSV files.
TEST_F(ResultDatabase, RunsAreAddedOrReplaceTheDatabase) {
  const fs::path db = out_ / "Tavora.sqlite";
  TRun r = TwoTexts();
  MeasureTo(r, {false, true, u"", false});
  r.Lag = 3;
  MeasureTo(r, {false, true, u"", false});
  EXPECT_THAT(Runs(db), ElementsAre(1, 2));
  EXPECT_EQ(TResultFolder(out_).Find(TOutputType::outAverage).front().Lag, 3);
  MeasureTo(r, {false, true, u"", true});
  EXPECT_THAT(Runs(db), ElementsAre(3));
  EXPECT_EQ(TResultFolder(out_).GetDatabaseRun(), 3);
  MeasureTo(r, {true, false, u"", false});
  EXPECT_TRUE(TResultFolder(out_).GetDatabase().empty());
  EXPECT_THAT(Runs(db), ElementsAre(3));
}

// A run that fails after the database is opened (here: cancelled at the end) leaves an
// existing database byte for byte as it was, and creates none where there was none.
TEST_F(ResultDatabase, FailedRunLeavesTheDatabaseAsItWas) {
  const TRun r = TwoTexts();
  const auto cancel = [](std::uint64_t done, std::uint64_t total, std::uint64_t) {
    return done < total || total == 0;
  };
  EXPECT_THROW(MeasureTo(r, {false, true, u"", false}, cancel), TRunCancelled);
  EXPECT_THAT(OutputNames(), ::testing::IsEmpty());
  MeasureTo(r, {false, true, u"", false});
  const std::string before = Read(out_ / "Tavora.sqlite");
  for (const bool replace : {false, true}) {
    EXPECT_THROW(MeasureTo(r, {false, true, u"", replace}, cancel), TRunCancelled);
    EXPECT_EQ(Read(out_ / "Tavora.sqlite"), before);
    EXPECT_THAT(OutputNames(), ElementsAre("Tavora.sqlite"));
  }
}

// A file that is no results database of Tavora is neither added to nor replaced.
TEST_F(ResultDatabase, OtherFilesAreLeftAlone) {
  const fs::path other = WriteInput("notes.db", "not a database at all, just text\n");
  for (const bool replace : {false, true}) {
    EXPECT_THROW(MeasureTo(TwoTexts(), {true, true, U16(other), replace}), std::runtime_error);
    EXPECT_EQ(Read(other), "not a database at all, just text\n");
  }
}

}  // namespace
}  // namespace tavora::testing
