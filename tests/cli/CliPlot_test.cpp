// tavora-cli plot: a series chart from an output folder, drawn without a window.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CliProcess.h"

namespace {

using tavora::test::Quote;
using tavora::test::ReadWholeFile;
using ::testing::HasSubstr;

class CliPlot : public tavora::test::TCliTest {
 protected:
  // Measures the sample corpus into Dir/out.
  void MeasureSample() {
#ifndef TAVORA_WITH_PLOT
    GTEST_SKIP() << "tavora-cli is built without the window and has no plot command";
#endif
    const auto r = Run("measure data/plain -w 50 --kinds word -o " + Quote(Dir / "out") +
                       " --outputs series,averages");
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
  }
  // The width and height of a PNG file, from its header.
  static std::pair<unsigned, unsigned> PngSize(const std::string& bytes) {
    auto at = [&](std::size_t i) {
      return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
    };
    const unsigned w = at(16) << 24 | at(17) << 16 | at(18) << 8 | at(19);
    const unsigned h = at(20) << 24 | at(21) << 16 | at(22) << 8 | at(23);
    return {w, h};
  }
};

TEST_F(CliPlot, WritesAPngAndAnSvg) {
  MeasureSample();
  if (IsSkipped()) return;
  const auto png =
      Run("plot --measure types --out " + Quote(Dir / "types.png") + " " + Quote(Dir / "out"));
  ASSERT_EQ(png.ExitCode, 0) << png.Err;
  const std::string bytes = ReadWholeFile(Dir / "types.png");
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  EXPECT_EQ(PngSize(bytes), (std::pair<unsigned, unsigned>{1000, 600}));

  const auto svg = Run("plot --measure perplexity --doc 2 --kind word --out " +
                       Quote(Dir / "p.svg") + " " + Quote(Dir / "out"));
  ASSERT_EQ(svg.ExitCode, 0) << svg.Err;
  const std::string text = ReadWholeFile(Dir / "p.svg");
  EXPECT_THAT(text, HasSubstr("<svg"));
  EXPECT_THAT(text, HasSubstr("Perplexity"));
}

TEST_F(CliPlot, BadRequestsFailWithOneLine) {
  MeasureSample();
  if (IsSkipped()) return;
  struct TCase {
    std::string Args;
    int Exit;
    const char* Message;
  };
  const std::string out = Quote(Dir / "out");
  const TCase cases[] = {
      {"plot --measure nosuch --out x.png " + out, 2, "Unknown measure 'nosuch'"},
      {"plot --measure ttr --out " + Quote(Dir / "x.png") + " " + out, 1, "has no column \"TTR\""},
      {"plot --measure types --doc 9 --out " + Quote(Dir / "x.png") + " " + out, 1, "for text 9"},
      {"plot --measure types --out " + Quote(Dir / "x.png") + " " + Quote(Dir / "none"), 1,
       "does not exist"},
      {"plot --measure types --kind lemma --out " + Quote(Dir / "x.png") + " " + out, 1,
       "no series of lemmata"},
      {"plot --measure types " + out, 2, "--out"},
  };
  for (const TCase& c : cases) {
    const auto r = Run(c.Args);
    EXPECT_EQ(r.ExitCode, c.Exit) << c.Args << "\n" << r.Err;
    EXPECT_THAT(r.Err, HasSubstr(c.Message)) << c.Args;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir / "x.png"));
  }
}

// --doc takes a document id as well as a number; a document shorter than the window has
// nothing to draw, and the command says so instead of writing an empty chart.
TEST_F(CliPlot, DocumentByIdAndDocumentShorterThanTheWindow) {
#ifndef TAVORA_WITH_PLOT
  GTEST_SKIP() << "tavora-cli is built without the window and has no plot command";
#endif
  std::ofstream(Dir / "two.conllu") << "# newdoc id = long-one\n"
                                       "1\ta\n2\tb\n3\tc\n4\ta\n5\td\n"
                                       "# newdoc id = short-one\n1\te\n";
  const std::string out = Quote(Dir / "out");
  const auto r = Run("measure -f conllu -w 3 --doc-ids --outputs series,wholetexts -o " + out +
                     " " + Quote(Dir / "two.conllu"));
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const auto byId =
      Run("plot --measure types --doc long-one --out " + Quote(Dir / "x.svg") + " " + out);
  EXPECT_EQ(byId.ExitCode, 0) << byId.Err;
  EXPECT_THAT(ReadWholeFile(Dir / "x.svg"), HasSubstr("Text 1"));
  for (const char* doc : {"2", "short-one"}) {
    const auto shortOne = Run("plot --measure types --doc " + std::string(doc) + " --out " +
                              Quote(Dir / "y.png") + " " + out);
    EXPECT_EQ(shortOne.ExitCode, 1);
    EXPECT_THAT(shortOne.Err, HasSubstr("Nothing to draw: text 2 is shorter than the window of 3 "
                                        "tokens (1 token)"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "y.png"));
  }
}

}  // namespace
