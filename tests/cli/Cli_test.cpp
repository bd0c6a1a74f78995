#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CliProcess.h"

namespace fs = std::filesystem;
using tavora::test::Quote;
using tavora::test::ReadWholeFile;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

class Cli : public tavora::test::TCliTest {
 protected:
  std::string Out() const { return Quote(Dir / "out"); }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  // The values of a result line, without its key fields.
  static std::string AfterKeys(const std::string& line, int keys) {
    std::size_t at = 0;
    for (int i = 0; i < keys; ++i) at = line.find("\",\"", at) + 3;
    return line.substr(at);
  }

  static void ExpectOneLineError(const tavora::test::TCliResult& r) {
    EXPECT_THAT(r.Err, StartsWith("tavora-cli: "));
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_THAT(r.Out, Not(HasSubstr("Complete")));
  }
};

struct TUsageCase {
  const char* Args;  // "OUT" stands for the output folder
  const char* Message;
};

// Every usage error ends with status 2, one line on standard error, and nothing written.
TEST_F(Cli, UsageErrorsExitWithTwoBeforeTouchingAnyFile) {
  const TUsageCase cases[] = {
      {"measure --bogus -o OUT data/plain", "--bogus"},
      {"measure -m types,foo -o OUT data/plain", "Unknown measure 'foo'"},
      {"measure -m Typs -o OUT data/plain",
       "Unknown measure 'Typs'; did you mean 'types'? "
       "Measures: tokens, types, hapax,"},
      {"measure -m ttr,renyi-entropie -o OUT data/plain", "did you mean 'renyi-entropy'?"},
      {"mesure -o OUT data/plain", "unknown command 'mesure'; did you mean 'measure'?"},
      {"measure -o \"\" data/plain", "--output: name the folder for the result files"},
      {"measure -w 0 -o OUT data/plain", "--window"},
      {"measure -w 1000001 -o OUT data/plain", "--window"},
      {"measure -w abc -o OUT data/plain", "--window"},
      {"measure --hill-q abc -o OUT data/plain", "'abc' is not a valid floating point value"},
      {"measure --hill-q 2,5 -o OUT data/plain", "'2,5' is not a valid floating point value"},
      {"measure --hill-q \"\" -o OUT data/plain", "is not a valid floating point value"},
      {"measure -f rtf -o OUT data/plain", "--format"},
      {"measure --case upper -o OUT data/plain", "--case"},
      {"measure --kinds words -o OUT data/plain", "--kinds"},
      {"measure --kinds lemma -o OUT data/plain", "carries no lemmata"},
      {"measure -f custom --kinds word,lemma -o OUT data/vertical", "--lemma-column"},
      {"measure --kinds lemma -o OUT -", "carries no lemmata"},
      {"measure -m autosemantics -o OUT data/plain", "autosemantics"},
      {"measure -f custom -m autosemantics -o OUT data/vertical", "--tag-column"},
      {"measure --outputs averages,tables -o OUT data/plain", "tables"},
      {"measure --lemma-column 2 -o OUT data/plain", "--format custom"},
      {"measure -f custom --word-column 0 -o OUT data/vertical", "--word-column"},
      {"measure --lemma-list l.tsv -o OUT data/plain", "--lemma-list"},
      {"measure data/plain", "--output"},
      {"measure -o OUT", "INPUT"},
      {"measure -o OUT - data/plain", "- must be the only INPUT"},
      {"measure --outputs indices --indices mtld,foo -o OUT data/plain", "Unknown index 'foo'"},
      {"measure --indices mtld -o OUT data/plain", "--indices needs --outputs"},
      {"freqlist data/plain", "--word-list"},
      {"freqlist -f vertical --kinds lemma --word-list w.tsv data/vertical", "--word-list"},
      {"", "subcommand"},
  };
  for (const TUsageCase& c : cases) {
    std::string args = c.Args;
    if (const auto at = args.find("OUT"); at != std::string::npos) args.replace(at, 3, Out());
    const auto r = Run(args);
    EXPECT_EQ(r.ExitCode, 2) << c.Args << "\n" << r.Err;
    EXPECT_THAT(r.Err, HasSubstr(c.Message)) << c.Args;
    EXPECT_THAT(r.Err, StartsWith("tavora-cli: error: ")) << c.Args;
    ExpectOneLineError(r);
    EXPECT_FALSE(fs::exists(Dir / "out")) << c.Args;
  }
}

TEST_F(Cli, HelpListsEveryOptionWithItsDefault) {
  const auto r = Run("--help");
  EXPECT_EQ(r.ExitCode, 0);
  for (const char* option :
       {"--format TEXT:{plain,lines,whitespace,vertical,coca,custom,conllu,bnc}=plain",
        "--case TEXT:{sensitive,lemma,insensitive}=insensitive",
        "--keep-punctuation",
        "--keep-digits",
        "--kinds TEXT=word",
        "--word-column INT:INT in [1 - 128]=1",
        "--lemma-column",
        "--tag-column",
        "--doc-marker TEXT=<doc",
        "--output",
        "--window INT:INT in [1 - 1000000]=200",
        "--measures TEXT=types,perplexity",
        "--outputs TEXT=averages",
        "--hill-q TEXT=3",
        "--word-list",
        "--lemma-list",
        "--reference-contains-texts",
        "--autosemantic-tags TEXT=N|A|V|D",
        "renyi-relative-entropy",
        "freqlist",
        "measure"}) {
    EXPECT_THAT(r.Out, HasSubstr(option));
  }
  const auto version = Run("--version");
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_THAT(version.Out, StartsWith("tavora-cli "));
}

// Failed runs: status 1, one line that names the file at fault, no success message.
TEST_F(Cli, MissingReferenceListFailsBeforeAnyOutput) {
  const auto r = Run("measure -m cross-perplexity --word-list " + Quote(Dir / "none.tsv") + " -o " +
                     Out() + " data/plain");
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_THAT(r.Err, HasSubstr((Dir / "none.tsv").string()));
  ExpectOneLineError(r);
  EXPECT_FALSE(fs::exists(Dir / "out"));
}

// A listed entry that does not exist adds nothing: a warning names it and the run goes on.
TEST_F(Cli, MissingInputIsSkippedWithAWarning) {
  const auto r = Run("measure -w 50 -o " + Out() + " data/plain/letter.txt data/no-such/");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err, "tavora-cli: warning: input \"data/no-such/\" does not exist; skipped.\n");
  EXPECT_EQ(Lines(ReadWholeFile(Dir / "out" / "AveragesWord50.csv")).size(), 2u);
  // The closing lines say what the run did.
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 4u) << r.Out;
  EXPECT_THAT(lines[0], StartsWith("Complete! Results are in "));
  EXPECT_THAT(lines[1], StartsWith("Files read: 1. Documents: 1. Tokens: 282. Time: "));
  EXPECT_EQ(lines[2], "Documents shorter than the window of 50 tokens: 0.");
  EXPECT_EQ(lines[3], "Skipped, does not exist: \"data/no-such/\".");
}

// The engine's diagnostics are warnings on standard error; the results stay as they are.
TEST_F(Cli, EngineDiagnosticsAreWarningsOnStandardError) {
  std::ofstream(Dir / "t.txt") << "b b a a b\n";
  std::ofstream(Dir / "list.tsv") << "a\t1\nb\t5\n";
  // The second a takes the reduced reference count of a below 0, so r^^(Q-1) is undefined.
  const auto r =
      Run("measure -w 2 -m cross-hill --hill-q 0.5 --reference-contains-texts "
          "--word-list " +
          Quote(Dir / "list.tsv") + " -o " + Out() + " " + Quote(Dir / "t.txt"));
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err,
            "tavora-cli: warning: vCrossHillsContinuum in troubles\n"
            "tavora-cli: warning: vCrossHillsContinuum in troubles\n");
  EXPECT_THAT(r.Out, StartsWith("Complete!"));
  // The summary gives every warning once, with its count.
  EXPECT_THAT(r.Out, HasSubstr("\nDocuments shorter than the window of 2 tokens: 0.\n"
                               "Warning (2 times): vCrossHillsContinuum in troubles\n"));
}

// With no input left there is nothing to measure: a failure, never "Complete!".
TEST_F(Cli, OnlyMissingInputsFail) {
  const auto r = Run("measure -o " + Out() + " data/no-such.txt data/none/");
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_THAT(r.Err, HasSubstr("data/no-such.txt"));
  ExpectOneLineError(r);
}

TEST_F(Cli, UnwritableOutputFolderFails) {
  std::ofstream(Dir / "blocker") << "a file, not a folder";
  const fs::path output = Dir / "blocker" / "results";
  const auto r = Run("measure -o " + Quote(output) + " data/plain");
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_THAT(r.Err, HasSubstr(output.string()));
  ExpectOneLineError(r);
}

TEST_F(Cli, UnwritableFrequencyListFails) {
  std::ofstream(Dir / "blocker") << "a file, not a folder";
  const fs::path list = Dir / "blocker" / "words.tsv";
  const auto r = Run("freqlist --word-list " + Quote(list) + " data/plain");
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_THAT(r.Err, HasSubstr(list.string()));
  ExpectOneLineError(r);
}

TEST_F(Cli, SuccessfulRunIsQuietOnStandardErrorThatIsNoTerminal) {
  const auto r = Run("measure -w 50 -o " + Out() + " data/plain");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_THAT(r.Out, HasSubstr("Complete!"));
  const auto lines = Lines(ReadWholeFile(Dir / "out" / "AveragesWord50.csv"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "\xEF\xBB\xBF\"File Name\",\"Text id\",\"Tokens\",\"Types\",\"Perplexity\"");
  EXPECT_THAT(lines[1], StartsWith("\"data/plain/bakery.txt\",\"1\","));
}

TEST_F(Cli, IndicesFamilyWritesTheChosenIndicesOnly) {
  const auto all = Run("measure -w 50 --outputs averages,indices -o " + Quote(Dir / "all") +
                       " data/plain/letter.txt");
  ASSERT_EQ(all.ExitCode, 0) << all.Err;
  const auto allLines = Lines(ReadWholeFile(Dir / "all" / "IndicesWord.csv"));
  ASSERT_EQ(allLines.size(), 2u);
  EXPECT_EQ(allLines[0],
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"MTLD\",\"MTLD-MA\",\"HD-D\",\"MSTTR\","
            "\"Yule's K\",\"Yule's I\",\"Simpson's D\",\"Herdan's Vm\",\"Maas a\xC2\xB2\","
            "\"Dugast U\",\"Summer S\",\"CTTR\"");

  const auto some = Run("measure -w 50 --outputs indices --indices cttr,mtld -o " +
                        Quote(Dir / "some") + " data/plain/letter.txt");
  ASSERT_EQ(some.ExitCode, 0) << some.Err;
  const auto lines = Lines(ReadWholeFile(Dir / "some" / "IndicesWord.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "\xEF\xBB\xBF\"File Name\",\"Text id\",\"MTLD\",\"CTTR\"");
  EXPECT_THAT(lines[1], StartsWith("\"data/plain/letter.txt\",\"1\","));
  // The indices family adds a file; it leaves the others as they were.
  const auto plain = Run("measure -w 50 -o " + Quote(Dir / "plain") + " data/plain/letter.txt");
  ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
  EXPECT_EQ(ReadWholeFile(Dir / "plain" / "AveragesWord50.csv"),
            ReadWholeFile(Dir / "all" / "AveragesWord50.csv"));
  EXPECT_FALSE(fs::exists(Dir / "plain" / "IndicesWord.csv"));
}

// The command line allows windows shorter than the window's lower bound of 10.
TEST_F(Cli, WindowBelowTheWindowsBoundIsKept) {
  const auto r = Run("measure -w 3 --outputs series -o " + Out() + " data/plain/letter.txt");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  const auto lines = Lines(ReadWholeFile(Dir / "out" / "Serie1Word3.csv"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, 12), "\"1\",\"3\",\"3\",");
}

TEST_F(Cli, StandardInputIsReadAsPastedTextWithAnEmptyName) {
  const auto fromFile =
      Run("measure -w 50 -m types,hapax,ttr -o " + Quote(Dir / "file") + " data/plain/bakery.txt");
  const auto fromStdin = Run("measure -w 50 -m types,hapax,ttr -o " + Quote(Dir / "stdin") + " -",
                             SourceDir / "data" / "plain" / "bakery.txt");
  ASSERT_EQ(fromFile.ExitCode, 0) << fromFile.Err;
  ASSERT_EQ(fromStdin.ExitCode, 0) << fromStdin.Err;
  const auto a = Lines(ReadWholeFile(Dir / "file" / "AveragesWord50.csv"));
  const auto b = Lines(ReadWholeFile(Dir / "stdin" / "AveragesWord50.csv"));
  ASSERT_EQ(a.size(), 2u);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_THAT(b[1], StartsWith("\"\",\"1\","));
  EXPECT_EQ(AfterKeys(a[1], 2), AfterKeys(b[1], 2));
}

// Standard input in a vertical format gives the same lemma values as the file itself.
TEST_F(Cli, StandardInputInAVerticalFormatCarriesLemmataAndTags) {
  const std::string args = " -f vertical --kinds word,lemma -w 50 -m types,autosemantics -o ";
  const auto fromFile = Run("measure" + args + Quote(Dir / "file") + " data/vertical/stories.vert");
  const auto fromStdin = Run("measure" + args + Quote(Dir / "stdin") + " -",
                             SourceDir / "data" / "vertical" / "stories.vert");
  ASSERT_EQ(fromFile.ExitCode, 0) << fromFile.Err;
  ASSERT_EQ(fromStdin.ExitCode, 0) << fromStdin.Err;
  for (const char* name : {"AveragesWord50.csv", "AveragesLemma50.csv"}) {
    const auto a = Lines(ReadWholeFile(Dir / "file" / name));
    const auto b = Lines(ReadWholeFile(Dir / "stdin" / name));
    ASSERT_EQ(a.size(), 3u) << name;
    ASSERT_EQ(b.size(), 3u) << name;
    for (std::size_t i = 1; i < a.size(); ++i) EXPECT_EQ(AfterKeys(a[i], 2), AfterKeys(b[i], 2));
  }
}

TEST_F(Cli, StandardInputIsReadInTheChosenFormat) {
  const auto r = Run("measure -f vertical -w 50 -o " + Out() + " -",
                     SourceDir / "data" / "vertical" / "stories.vert");
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  // Two documents, as in the file; read as plain text the tags would be words.
  const auto lines = Lines(ReadWholeFile(Dir / "out" / "AveragesWord50.csv"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_THAT(lines[2], StartsWith("\"\",\"2\","));
}

TEST_F(Cli, FrequencyListsThenMeasureAgainstThem) {
  const fs::path words = Dir / "lists" / "words.tsv";
  const fs::path lemmata = Dir / "lists" / "lemmata.tsv";
  fs::create_directories(Dir / "lists");
  const auto lists = Run("freqlist -f vertical --kinds word,lemma --word-list " + Quote(words) +
                         " --lemma-list " + Quote(lemmata) + " data/vertical/stories.vert");
  ASSERT_EQ(lists.ExitCode, 0) << lists.Err;
  EXPECT_THAT(lists.Out, HasSubstr("Complete!"));
  // Word forms are lowered, lemmata stay as they stand; both count the whole input.
  auto wordLines = Lines(ReadWholeFile(words));
  auto lemmaLines = Lines(ReadWholeFile(lemmata));
  ASSERT_FALSE(wordLines.empty());
  ASSERT_FALSE(lemmaLines.empty());
  EXPECT_THAT(wordLines[0], StartsWith("\xEF\xBB\xBF"));
  wordLines[0].erase(0, 3);
  for (const std::string& line : wordLines) {
    EXPECT_EQ(line.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << line;
  }

  const auto measured =
      Run("measure -f vertical --kinds word,lemma -w 50 "
          "-m types,cross-perplexity,relative-entropy --reference-contains-texts "
          "--word-list " +
          Quote(words) + " --lemma-list " + Quote(lemmata) + " -o " + Out() +
          " data/vertical/stories.vert");
  ASSERT_EQ(measured.ExitCode, 0) << measured.Err;
  for (const char* file : {"AveragesWord50.csv", "AveragesLemma50.csv"}) {
    const auto lines = Lines(ReadWholeFile(Dir / "out" / file));
    ASSERT_EQ(lines.size(), 3u) << file;
    EXPECT_THAT(lines[0], HasSubstr("\"Cross Perplexity\",\"Relative Entropy\""));
    // Against an empty list the cross perplexity would be 0.
    EXPECT_THAT(lines[1], Not(HasSubstr(",\"0.0\",")));
  }
}

// What every measure says, as the window's tooltips say it.
TEST_F(Cli, HelpMeasuresExplainsEveryMeasureAndIndex) {
  const auto r = Run("measure --help-measures");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  for (const char* name :
       {"\ntokens\n", "\nhill\n", "\nrenyi-relative-entropy\n", "\nmtld\n", "\ncttr\n"})
    EXPECT_THAT(r.Out, HasSubstr(name));
  EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n') > 200, true);
  EXPECT_THAT(r.Out, HasSubstr("\nttr\n  The share of different words in the window;"));
  EXPECT_THAT(r.Out, HasSubstr("  Names: in the window \"Type-token ratio (TTR + MATTR)\"; "
                               "command line ttr or mattr; result column \"TTR\".\n"));
  EXPECT_THAT(r.Out,
              HasSubstr("  Formula: (sum p(t)^Q)^(1/(1-Q)).\n  Range: 1 to N.\n  Source: Hill"));
}

// A series output estimated at more than a gigabyte is announced before the run, with the
// way to leave it out.
TEST_F(Cli, HugeSeriesAreAnnouncedBeforeTheRun) {
  const fs::path big = Dir / "big.txt";
  std::ofstream(big).close();
  fs::resize_file(big, 600'000'000);  // sparse where the file system allows
  std::ofstream(Dir / "blocker") << "a file, not a folder";
  // The output folder cannot be made, so the run ends before reading the input.
  const auto r = Run("measure --outputs averages,series -o " + Quote(Dir / "blocker" / "out") +
                     " " + Quote(big));
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_THAT(r.Err, StartsWith("tavora-cli: warning: the series files will take about "));
  EXPECT_THAT(r.Err, HasSubstr("(estimated from 0.6 GB of input); leave series out of --outputs"));
  const auto small = Run("measure --outputs series -o " + Out() + " data/plain");
  EXPECT_EQ(small.ExitCode, 0) << small.Err;
  EXPECT_EQ(small.Err, "");
}

// The folder of a frequency list is created, as a measurement run creates its output folder.
TEST_F(Cli, FrequencyListInANewFolder) {
  const fs::path list = Dir / "new" / "lists" / "words.tsv";
  const auto r = Run("freqlist --word-list " + Quote(list) + " data/plain");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_TRUE(fs::exists(list));
  EXPECT_THAT(r.Out, HasSubstr("\nFiles read: 3. Documents: 3. Tokens: "));
}

}  // namespace
