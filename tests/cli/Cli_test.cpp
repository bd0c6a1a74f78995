#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
      {"measure --hill-q -1 -o OUT data/plain",
       "Hill's Q must be a number from 0 to 1000000, not -1."},
      {"measure --hill-q 1000000.5 -o OUT data/plain", "from 0 to 1000000, not 1000000.5."},
      {"measure -f rtf -o OUT data/plain", "--format"},
      {"measure --case upper -o OUT data/plain", "--case"},
      {"measure --kinds words -o OUT data/plain", "--kinds"},
      {"measure --kinds lemma -o OUT data/plain", "carries no lemmata"},
      {"measure -f custom --kinds word,lemma -o OUT data/vertical", "--lemma-column"},
      {"measure --kinds lemma -o OUT -", "carries no lemmata"},
      {"measure -m autosemantics -o OUT data/plain", "autosemantics"},
      {"measure -f custom -m autosemantics -o OUT data/vertical", "--tag-column"},
      {"measure --outputs averages,tables -o OUT data/plain", "tables"},
      {"measure -f custom --word-column 0 -o OUT data/vertical", "--word-column"},
      {"measure -f vertical --autosemantic-rule upos -o OUT data/vertical", "--format conllu"},
      {"measure --autosemantic-rule content -o OUT data/plain", "--autosemantic-rule"},
      {"measure --precision all -o OUT data/plain", "--precision"},
      {"measure data/plain", "--output"},
      {"measure -o OUT", "INPUT"},
      {"measure -o OUT - data/plain", "- must be the only INPUT"},
      {"measure --outputs indices --indices mtld,foo -o OUT data/plain", "Unknown index 'foo'"},
      {"measure --indices mtld -o OUT data/plain", "--indices needs --outputs"},
      {"measure --encoding no-such-encoding -o OUT data/plain", "--encoding: unknown encoding"},
      {"measure --mtld-threshold 1 -o OUT data/plain", "--mtld-threshold: '1' is not an MTLD"},
      {"measure --mtld-threshold 0,7 -o OUT data/plain", "--mtld-threshold: '0,7' is not an MTLD"},
      {"measure --mtld-rule lt -o OUT data/plain", "--mtld-rule"},
      {"measure --hdd-sample 0 -o OUT data/plain", "--hdd-sample"},
      {"measure --log-base 2 -o OUT data/plain", "--log-base"},
      {"measure --seed -1 -o OUT data/plain", "--seed"},
      {"freqlist data/plain", "--word-list"},
      {"freqlist -f vertical --kinds lemma --word-list w.tsv data/vertical", "--lemma-list"},
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
        "--mtld-threshold TEXT=0.72",
        "--mtld-rule TEXT:{le,lt-min10}=le",
        "--hdd-sample INT:INT in [1 - 1000000]=42",
        "--log-base TEXT:{e,10}=e",
        "--seed INT:INT in [0 - 2147483647]=42",
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

// The later indices and the variants of the definitions; a seed gives the same values in
// every run.
TEST_F(Cli, IndexVariantsAndTheSeed) {
  const std::string args =
      "measure -w 50 --outputs indices --indices maas,uber,hdd,vocd-d,vocd-d-3 "
      "--log-base 10 --hdd-sample 30 --mtld-rule lt-min10 --mtld-threshold 0.7 ";
  const auto first = Run(args + "--seed 7 -o " + Quote(Dir / "a") + " data/plain/letter.txt");
  ASSERT_EQ(first.ExitCode, 0) << first.Err;
  const auto again = Run(args + "--seed 7 -o " + Quote(Dir / "b") + " data/plain/letter.txt");
  ASSERT_EQ(again.ExitCode, 0) << again.Err;
  const auto other = Run(args + "--seed 8 -o " + Quote(Dir / "c") + " data/plain/letter.txt");
  ASSERT_EQ(other.ExitCode, 0) << other.Err;
  const std::string a = ReadWholeFile(Dir / "a" / "IndicesWord.csv");
  const auto lines = Lines(a);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "\xEF\xBB\xBF\"File Name\",\"Text id\",\"HD-D\",\"Maas a\xC2\xB2\",\"vocd-D\","
            "\"vocd-D (3 trials)\",\"Uber U\"");
  EXPECT_EQ(ReadWholeFile(Dir / "b" / "IndicesWord.csv"), a);
  EXPECT_NE(ReadWholeFile(Dir / "c" / "IndicesWord.csv"), a);
  // Decimal logarithms make Maas a² ln 10 times the natural one.
  const auto natural = Run("measure -w 50 --outputs indices --indices maas -o " + Quote(Dir / "e") +
                           " data/plain/letter.txt");
  ASSERT_EQ(natural.ExitCode, 0) << natural.Err;
  const auto maas = [](const std::string& line, std::size_t field) {
    std::size_t at = 0;
    for (std::size_t f = 0; f < field; ++f) at = line.find("\",\"", at) + 3;
    return std::stod(line.substr(at));
  };
  EXPECT_NEAR(maas(lines[1], 3),
              maas(Lines(ReadWholeFile(Dir / "e" / "IndicesWord.csv"))[1], 2) * std::log(10.0),
              1e-3);
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

// What the window would ignore (a hidden or disabled field) is accepted and ignored with
// one warning line naming the option; the run goes on as without it.
TEST_F(Cli, IgnoredOptionsWarnAndTheRunGoesOn) {
  struct TCase {
    std::string Args;
    std::vector<std::string> Warnings;
  };
  const TCase cases[] = {
      {"--lemma-column 2 --doc-marker \"<text\"",
       {"--lemma-column applies only to --format custom; ignored",
        "--doc-marker applies only to --format custom; ignored"}},
      {"--lemma-list l.tsv", {"--lemma-list needs lemma in --kinds; ignored"}},
      {"--autosemantic-tags NN", {"--autosemantic-tags needs a format with tags; ignored"}},
      {"--ud", {"--ud applies only to --format conllu; ignored"}},
  };
  const auto plain = Run("measure -w 50 -o " + Quote(Dir / "plain") + " data/plain/letter.txt");
  ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
  for (const TCase& c : cases) {
    const auto r = Run("measure -w 50 " + c.Args + " -o " + Out() + " data/plain/letter.txt");
    EXPECT_EQ(r.ExitCode, 0) << c.Args << "\n" << r.Err;
    std::string expected;
    for (const std::string& w : c.Warnings) expected += "tavora-cli: warning: " + w + "\n";
    EXPECT_EQ(r.Err, expected) << c.Args;
    EXPECT_EQ(ReadWholeFile(Dir / "out" / "AveragesWord50.csv"),
              ReadWholeFile(Dir / "plain" / "AveragesWord50.csv"))
        << c.Args;
  }
}

// A type that the list format cannot store is left out, and the command says how many.
TEST_F(Cli, FrequencyListSaysHowManyTypesItLeftOut) {
  std::ofstream(Dir / "words.txt", std::ios::binary) << "a\tb\nc\nc d\tx\n";
  const fs::path list = Dir / "words.tsv";
  const auto r =
      Run("freqlist -f lines --word-list " + Quote(list) + " " + Quote(Dir / "words.txt"));
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(r.Err, "tavora-cli: warning: The list " + Quote(list) +
                       " leaves out 2 types that hold a TAB or a line break, which the list "
                       "format cannot store.\n");
  EXPECT_EQ(Lines(ReadWholeFile(list)), (std::vector<std::string>{"\xEF\xBB\xBF"
                                                                  "c\t1"}));
}

// Documents shorter than the window: NaN averages, counted in the closing line.
TEST_F(Cli, ClosingLineCountsDocumentsShorterThanTheWindow) {
  std::ofstream(Dir / "short.txt") << "only four words here\n";
  const auto r =
      Run("measure -w 50 -o " + Out() + " data/plain/letter.txt " + Quote(Dir / "short.txt"));
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_THAT(r.Out, HasSubstr("\". 1 of 2 documents were shorter than the window of 50 tokens; "
                               "its averages are NaN.\n"));
  const auto lines = Lines(ReadWholeFile(Dir / "out" / "AveragesWord50.csv"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(AfterKeys(lines[2], 2), "NaN\",\"NaN\",\"NaN\"");
}
#ifndef _WIN32
// Bytes that are not UTF-8 give a warning with their count and stay inside their words; a
// name that is not UTF-8, in a folder or given directly, is read and shown with U+FFFD; a
// file in another encoding is read with --encoding.
TEST_F(Cli, BrokenBytesOtherEncodingsAndNamesThatAreNotUtf8) {
  fs::create_directories(Dir / "corpus");
  const fs::path latin1 = Dir / "corpus" / "caf\xE9.txt";
  std::ofstream(latin1, std::ios::binary) << "caf\xE9 r\xE9sum\xE9 caf\xE9";
  const std::string shown = "\"" + (Dir / "corpus").string() + "/caf\xEF\xBF\xBD.txt\"";
  const auto broken =
      Run("freqlist --word-list " + Quote(Dir / "w.tsv") + " " + Quote(Dir / "corpus"));
  EXPECT_EQ(broken.ExitCode, 0) << broken.Err;
  EXPECT_EQ(broken.Err, "tavora-cli: warning: 4 byte sequences in file " + shown +
                            " are not valid UTF-8 and were read as U+FFFD; if the text is in "
                            "another encoding, name it with --encoding (in the window: \"Text "
                            "encoding\").\n");
  EXPECT_EQ(ReadWholeFile(Dir / "w.tsv"),
            "\xEF\xBB\xBF"
            "caf\xEF\xBF\xBD\t2\r\nr\xEF\xBF\xBDsum\xEF\xBF\xBD\t1\r\n");

  const auto named = Run("measure --encoding windows-1252 -w 1 -m types --outputs wholetexts -o " +
                         Out() + " " + Quote(latin1));
  EXPECT_EQ(named.ExitCode, 0) << named.Err;
  EXPECT_EQ(named.Err, "");
  const auto lines = Lines(ReadWholeFile(Dir / "out" / "WholeTextsWord.csv"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], shown + ",\"1\",\"3\",\"2\"");

  std::ofstream(Dir / "koi8.txt", std::ios::binary) << "\xF0\xD2\xC9\xD7\xC5\xD4 \xCD\xC9\xD2";
  const auto cyrillic = Run("freqlist --encoding KOI8-R --word-list " + Quote(Dir / "k.tsv") + " " +
                            Quote(Dir / "koi8.txt"));
  EXPECT_EQ(cyrillic.ExitCode, 0) << cyrillic.Err;
  EXPECT_EQ(ReadWholeFile(Dir / "k.tsv"),
            "\xEF\xBB\xBF\xD0\xBC\xD0\xB8\xD1\x80\t1\r\n"
            "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\t1\r\n");
}

// A FIFO given as input is read as it is written; Ctrl+C ends a run that waits for its
// writer, with exit status 1.
TEST_F(Cli, FifoIsReadAndCtrlCEndsTheWait) {
  const fs::path fifo = Dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string cli = Quote(TAVORA_CLI);
  std::ofstream(Dir / "run.sh") << "set -m\n"  // the background run gets SIGINT, as from a terminal
                                << "(sleep 0.2; printf 'b a b' > fifo) &\n"
                                << cli << " freqlist --word-list w.tsv fifo > out1 2> err1\n"
                                << "echo $? > rc1\n"
                                << cli << " freqlist --word-list w2.tsv fifo > out2 2> err2 &\n"
                                << "pid=$!\n"
                                << "sleep 0.5\n"
                                << "kill -INT $pid\n"
                                << "wait $pid\n"
                                << "echo $? > rc2\n";
  ASSERT_EQ(std::system(("cd " + Quote(Dir) + " && bash run.sh").c_str()), 0);
  EXPECT_EQ(ReadWholeFile(Dir / "rc1"), "0\n") << ReadWholeFile(Dir / "err1");
  EXPECT_EQ(ReadWholeFile(Dir / "w.tsv"),
            "\xEF\xBB\xBF"
            "b\t2\r\na\t1\r\n");
  EXPECT_EQ(ReadWholeFile(Dir / "rc2"), "1\n") << ReadWholeFile(Dir / "err2");
  EXPECT_THAT(ReadWholeFile(Dir / "err2"), HasSubstr("ancel"));
  EXPECT_FALSE(fs::exists(Dir / "w2.tsv"));
}
#endif

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
