// The command line's names and option mapping, without running the program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliNames.h"
#include "cli/TCliOptionMapper.h"
#include "cli/TCommandLine.h"
#include "cli/TUsageError.h"
#include "options/ControlNames.h"
#include "options/TOptionsModel.h"

namespace tavora {
namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

// A command line parsed and mapped onto one option model, as tavora-cli does.
class CliOptions : public ::testing::Test {
 protected:
  TMeasureParameters Measure(std::vector<const char*> args) {
    args.insert(args.begin(), {"tavora-cli", "measure", "-o", "out"});
    args.push_back("input.txt");
    EXPECT_EQ(line_.Parse(static_cast<int>(args.size()), args.data()), std::nullopt);
    return TCliOptionMapper(line_.Choices(), model_).MeasureParameters();
  }

  TOptionsModel model_;
  TCommandLine line_{model_};
};

TEST_F(CliOptions, MeasureNamesMakeTheMeasureSets) {
  const TMeasureParameters p = Measure({"-m", "hapax,cross-types,ttr,renyi-entropy", "-w", "5"});
  EXPECT_EQ(p.measures, (TMeasureSet{tMeasure::vTokens, tMeasure::vHapax, tMeasure::vCrossTypes}));
  EXPECT_EQ(p.MeasuresSecondary,
            (tMeasureSecondarySet{tMeasureSecondary::vTTR, tMeasureSecondary::vRenyiEntropy}));
  EXPECT_EQ(p.LagLength, 5u);                                // below the window's bound of 10
  EXPECT_TRUE(model_.IsChecked(ctl::CheckBoxOtherMetrics));  // where the hapax box is
}

// Safe CSV is the window's start value; the command line keeps its files byte-exact unless
// --safe-csv is given.
TEST_F(CliOptions, SafeCsvIsTheWindowsDefaultAndOptInOnTheCommandLine) {
  EXPECT_TRUE(TOptionsModel().GetMeasureParameters().SafeCsv);
  EXPECT_FALSE(Measure({}).SafeCsv);
  TOptionsModel model;
  TCommandLine line(model);
  const char* args[] = {"tavora-cli", "measure", "--safe-csv", "-o", "out", "input.txt"};
  ASSERT_EQ(line.Parse(6, args), std::nullopt);
  EXPECT_TRUE(TCliOptionMapper(line.Choices(), model).MeasureParameters().SafeCsv);
}

// --outputs names where results go beside the families: the CSV files unless it names only
// sqlite; a list that names no family takes the averages. --database and --replace are
// ignored, with a warning, without the database.
TEST(CliDestinations, OutputsChooseTheCsvFilesAndTheDatabase) {
  struct TCase {
    std::vector<const char*> Args;
    TResultDestinations Expected;
    TOutputTypeSet Families;
    std::size_t Warnings;
  };
  const TOutputTypeSet averages{TOutputType::outAverage};
  const TOutputTypeSet series{TOutputType::outSerie};
  const TCase cases[] = {
      {{}, {true, false, u"", false}, averages, 0},
      {{"--outputs", "series,sqlite"}, {false, true, u"", false}, series, 0},
      {{"--outputs", "sqlite", "--database", "r.db", "--replace"},
       {false, true, u"r.db", true},
       averages,
       0},
      {{"--outputs", "csv,series,sqlite"}, {true, true, u"", false}, series, 0},
      {{"--outputs", "series", "--database", "r.db", "--replace"},
       {true, false, u"", false},
       series,
       2},
  };
  for (const TCase& c : cases) {
    TOptionsModel model;
    TCommandLine line(model);
    std::vector<const char*> args{"tavora-cli", "measure", "-o", "out"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    args.push_back("input.txt");
    ASSERT_EQ(line.Parse(static_cast<int>(args.size()), args.data()), std::nullopt);
    TCliOptionMapper mapper(line.Choices(), model);
    const TMeasureParameters p = mapper.MeasureParameters();
    EXPECT_EQ(p.Destinations, c.Expected) << c.Args.size();
    EXPECT_EQ(p.OutputTypes, c.Families);
    EXPECT_EQ(mapper.Warnings().size(), c.Warnings);
    EXPECT_EQ(model.IsChecked(ctl::CheckBoxOutputDatabase), c.Expected.Database);
  }
}

TEST_F(CliOptions, FormatNamesAreTheInputFormats) {
  EXPECT_EQ(Measure({"-f", "conllu", "--kinds", "word,lemma"}).How, THow::jCONLLU);
  EXPECT_EQ(model_.GetItemIndex(ctl::RGInputType), static_cast<int>(THow::jCONLLU));
  for (std::size_t i = 0; i < kCliFormatNames.size(); ++i) {
    TOptionsModel model;
    TCommandLine line(model);
    std::string format(kCliFormatNames[i]);
    const char* args[] = {"tavora-cli",  "freqlist", "-f",       format.c_str(),
                          "--word-list", "w.tsv",    "input.txt"};
    ASSERT_EQ(line.Parse(7, args), std::nullopt);
    EXPECT_EQ(TCliOptionMapper(line.Choices(), model).DictionaryParameters().How,
              static_cast<THow>(i));
  }
}

TEST_F(CliOptions, ValuesOutOfRangeAreUsageErrors) {
  TOptionsModel model;
  TCommandLine line(model);
  const char* window[] = {"tavora-cli", "measure", "-w", "0", "-o", "out", "input.txt"};
  EXPECT_THAT([&] { (void)line.Parse(7, window); },
              ThrowsMessage<TUsageError>(HasSubstr("--window")));
  EXPECT_THAT(
      [&] {
        (void)Measure({"-m", "types,foo"});
      },
      ThrowsMessage<TUsageError>(HasSubstr("Unknown measure 'foo'; did you mean '")));
}

// Names in any letter case, and mattr for the moving-average TTR.
TEST_F(CliOptions, MeasureIndexAndFormatNamesInAnyCase) {
  const TMeasureParameters p = Measure(
      {"-m", "Types,MATTR", "-f", "CoNLLU", "--outputs", "indices", "--indices", "MTLD,Yule-K"});
  EXPECT_EQ(p.How, THow::jCONLLU);
  EXPECT_EQ(p.measures, (TMeasureSet{tMeasure::vTokens, tMeasure::vTypes}));
  EXPECT_EQ(p.MeasuresSecondary, tMeasureSecondarySet{tMeasureSecondary::vTTR});
  EXPECT_EQ(p.Indices, (TIndexSet{tIndex::ixMTLD, tIndex::ixYuleK}));
  EXPECT_EQ(ClosestName("TTTR", {"ttr", "log-ttr", "types"}), "ttr");
}

TEST(CliNames, IndexListsByName) {
  for (const tIndex i : TIndexSet::All()) EXPECT_EQ(FindIndex(IndexName(i)), i);
  EXPECT_EQ(FindIndex("MTLD"), tIndex::ixMTLD);
  EXPECT_EQ(FindIndex("mtl"), std::nullopt);
  EXPECT_EQ(ParseIndexList("mtld"), TIndexSet{tIndex::ixMTLD});
  EXPECT_EQ(ParseIndexList("cttr, hdd,mtld"),
            (TIndexSet{tIndex::ixMTLD, tIndex::ixHDD, tIndex::ixCTTR}));
  EXPECT_THAT([] { (void)ParseIndexList("mtld,ttr"); },
              ThrowsMessage<std::invalid_argument>(
                  StrEq("Unknown index 'ttr' (known indices: mtld, mtld-ma, hdd, msttr, yule-k, "
                        "yule-i, simpson-d, herdan-vm, maas, dugast, summer, cttr, mtld-ma-wrap, "
                        "mtld-ma-bid, vocd-d, vocd-d-3, lgv0, lgev0, uber; all for every one)")));
  EXPECT_EQ(ParseIndexList("all"), TIndexSet::All());
  EXPECT_EQ(ParseIndexList("cttr, all"), TIndexSet::All());
  EXPECT_THROW((void)ParseIndexList(""), std::invalid_argument);
  EXPECT_THROW((void)ParseIndexList("mtld,"), std::invalid_argument);
}

}  // namespace
}  // namespace tavora
