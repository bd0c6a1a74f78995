// The reading and writing choices for real corpora (TCorpusOptions) in whole runs.

#include <charconv>

#include <gmock/gmock.h>

#include "processing/RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::ElementsAre;

using CorpusRun = RunFixture;

// The third field of a result line (the "Document id" column).
std::string ThirdField(const std::string& line) {
  std::size_t at = 0;
  for (int i = 0; i < 2; ++i) at = line.find("\",\"", at) + 3;
  return line.substr(at, line.find('"', at) - at);
}

// The "Document id" column holds the id each format gives, empty where it gives none.
TEST_F(CorpusRun, DocumentIdsOfEveryFormat) {
  struct TCase {
    THow How;
    std::string Input;
    std::vector<std::string> Ids;
  };
  const TCase cases[] = {
      {THow::jSYN,
       "<doc title=\"t\" id=\"a1\">\nx\tx\tX\n<doc id=\"a2\">\ny\ty\tY\n",
       {"a1", "a2"}},
      {THow::jCustomVertical, "<doc id=\"c1\">\nx\tx\tX\n", {"c1"}},
      {THow::jCONLLU, "# newdoc id = n-1\n1\tx\tx\tX\tX\n# newdoc\n1\ty\ty\tY\tY\n", {"n-1", ""}},
      {THow::jCOCA, "##4001 text\nx\tx\tnn1\n##4002\ny\ty\tnn1\n", {"4001", "4002"}},
      {THow::jBNC,
       "<?xml version=\"1.0\"?>\n<bncDoc xml:id=\"A0B\"><teiHeader>h</teiHeader>\n<wtext>"
       "<s n=\"1\"><w c5=\"NN1\" hw=\"x\" pos=\"SUBST\">x </w></s></wtext></bncDoc>\n",
       {"A0B"}},
      {THow::JStandard, "x y", {""}},
  };
  for (const TCase& c : cases) {
    TRun r;
    r.How = c.How;
    r.Custom = TCustomVertical{c.How == THow::jCustomVertical, 1, 2, 3, u"<doc"};
    r.Input = Lines({WriteInput("in.txt", c.Input)});
    r.Outputs = TOutputTypeSet{TOutputType::outWholeTexts};
    r.Corpus.DocumentIds = true;
    Measure(r);
    const auto lines = ReadLines(out_ / "WholeTextsWord.csv");
    ASSERT_EQ(lines.size(), c.Ids.size() + 1) << c.Input;
    EXPECT_TRUE(lines[0].starts_with("\"File Name\",\"Text id\",\"Document id\",\"Tokens\""));
    for (std::size_t i = 0; i < c.Ids.size(); ++i)
      EXPECT_EQ(ThirdField(lines[i + 1]), c.Ids[i]) << c.Input;
    fs::remove_all(out_);
  }
}

// A file without a document marker continues the document before it, with a warning that
// names the file and the document; with DocumentPerFile every file starts one.
TEST_F(CorpusRun, FilesWithoutMarkersContinueOrStartDocuments) {
  const fs::path a = WriteInput("a.vert", "x\tx\tX\ny\ty\tY\n");
  const fs::path b = WriteInput("b.vert", "z\tz\tZ\n");
  TRun r;
  r.How = THow::jSYN;
  r.Input = Lines({a, b});
  r.Outputs = TOutputTypeSet{TOutputType::outWholeTexts};
  Measure(r);
  EXPECT_EQ(report_.Documents, 1u);
  EXPECT_THAT(report_.Warnings,
              ElementsAre("File \"" + Utf8(b) +
                          "\" has no document marker before its first word: its words were added "
                          "to document 1 (\"" +
                          Utf8(a) + "\")."));
  EXPECT_EQ(ReadLines(out_ / "WholeTextsWord.csv").size(), 2u);

  r.Corpus.DocumentPerFile = true;
  Measure(r);
  EXPECT_EQ(report_.Documents, 2u);
  EXPECT_TRUE(report_.Warnings.empty());
  const auto lines = ReadLines(out_ / "WholeTextsWord.csv");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[2].starts_with("\"" + Utf8(b) + "\",\"2\",\"1\","));
}

// Full precision: each value is the shortest text that reads back to the very double.
TEST_F(CorpusRun, FullPrecisionReadsBackToTheSameDouble) {
  TRun r;
  r.Input = Lines({WriteInput("in.txt", "a b a c d")});
  r.Outputs = TOutputTypeSet{TOutputType::outAverage, TOutputType::outSerie};
  r.Corpus.Precision = TPrecision::Full;
  Measure(r);
  // The quoted fields of a line, read as numbers from the third on.
  auto values = [](const std::string& line) {
    std::vector<double> read;
    for (std::size_t at = line.find("\",\"", line.find("\",\"") + 1); at != std::string::npos;
         at = line.find("\",\"", at + 1)) {
      const char* begin = line.data() + at + 3;
      double value = 0;
      const auto [end, ec] = std::from_chars(begin, line.data() + line.size(), value);
      EXPECT_TRUE(ec == std::errc() && *end == '"') << line;
      read.push_back(value);
    }
    return read;
  };
  // Windows a b a, b a c, a c d: types 2, 3, 3; TTRs 2/3, 1, 1.
  const auto serie = ReadLines(out_ / "Serie1Word3.csv");
  ASSERT_EQ(serie.size(), 4u);
  EXPECT_EQ(serie[1], "\"1\",\"3\",\"2\",\"0.6666666666666666\"");
  const auto averages = ReadLines(out_ / "AveragesWord3.csv");
  ASSERT_EQ(averages.size(), 2u);
  EXPECT_EQ(values(averages[1]),
            (std::vector<double>{3.0, (2.0 + 3 + 3) / 3, (2.0 / 3 + 1 + 1) / 3}));
}

}  // namespace
}  // namespace tavora::testing
