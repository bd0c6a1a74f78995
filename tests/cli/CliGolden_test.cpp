// Runs over the sample corpus whose result files are compared byte for byte with the files
// in tests/golden/<case>/. TAVORA_UPDATE_GOLDEN=1 writes the current results there instead.

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "CliProcess.h"

namespace fs = std::filesystem;
using tavora::test::Quote;
using tavora::test::ReadWholeFile;

namespace {

struct TGoldenCase {
  const char* Name;
  const char* Args;  // the output folder is appended
};

// Several formats, every family, both kinds, a reference list, measures with and without
// a check box of their own.
const TGoldenCase kCases[] = {
    {"plain",
     "measure -w 50 -m types,hapax,perplexity,rrr,length,ttr,entropy "
     "--outputs averages,distributions,series,wholetexts data/plain"},
    {"vertical",
     "measure -f vertical --kinds word,lemma -w 50 -m types,hapax,autosemantics,root-ttr "
     "--outputs averages,distributions,series,wholetexts data/vertical/stories.vert"},
    {"conllu",
     "measure -f conllu --case sensitive --keep-punctuation -w 40 "
     "-m types,hill,difference,log-ttr,repeat-rate,log-types,renyi-entropy --hill-q 2 "
     "--outputs averages,wholetexts data/conllu/letters.conllu"},
    {"custom",
     "measure -f custom --lemma-column 2 --tag-column 3 --autosemantic-tags \"NN|VV\" "
     "--kinds lemma -w 50 -m types,autosemantics --outputs averages,series "
     "data/vertical/stories.vert"},
    {"reference",
     "measure -f conllu -w 50 --word-list WORDLIST "
     "-m types,cross-types,cross-perplexity,cross-rrr,relative-entropy,relative-types "
     "--outputs averages,wholetexts data/conllu/letters.conllu"},
};

// The run record holds the run's times; the result files are compared.
constexpr const char* kRecord = "TavoraRun.json";

class CliGolden : public tavora::test::TCliTest {};

TEST_F(CliGolden, SampleCorpusResultsMatchTheCheckedInFiles) {
  const bool update = std::getenv("TAVORA_UPDATE_GOLDEN") != nullptr &&
                      std::string(std::getenv("TAVORA_UPDATE_GOLDEN")) == "1";
  // The reference list of the last case: word forms of the plain texts.
  const fs::path wordList = Dir / "plain-words.tsv";
  const auto list = Run("freqlist --word-list " + Quote(wordList) + " data/plain");
  ASSERT_EQ(list.ExitCode, 0) << list.Err;

  for (const TGoldenCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    std::string args = c.Args;
    if (const auto at = args.find("WORDLIST"); at != std::string::npos) {
      args.replace(at, 8, Quote(wordList));
    }
    const fs::path out = Dir / c.Name;
    const auto r = Run(args + " -o " + Quote(out));
    ASSERT_EQ(r.ExitCode, 0) << r.Err;

    const fs::path golden = SourceDir / "tests" / "golden" / c.Name;
    if (update) {
      fs::remove_all(golden);
      fs::create_directories(golden);
      for (const auto& entry : fs::directory_iterator(out))
        if (entry.path().filename() != kRecord)
          fs::copy_file(entry.path(), golden / entry.path().filename());
      continue;
    }
    std::set<std::string> produced;
    std::set<std::string> expected;
    for (const auto& entry : fs::directory_iterator(out))
      if (entry.path().filename() != kRecord) produced.insert(entry.path().filename().string());
    ASSERT_TRUE(fs::is_directory(golden))
        << golden << " is missing; run with TAVORA_UPDATE_GOLDEN=1";
    for (const auto& entry : fs::directory_iterator(golden))
      expected.insert(entry.path().filename().string());
    EXPECT_EQ(produced, expected);
    for (const std::string& name : expected) {
      if (!produced.count(name)) continue;
      EXPECT_EQ(ReadWholeFile(out / name), ReadWholeFile(golden / name)) << name;
    }
  }
}

}  // namespace
