// Output that cannot be written (a full disk, a folder that cannot be made) and measures whose
// values are undefined: the run either ends with an error naming the file, leaving the folder
// as the previous run left it, or finishes with the undefined values written as text.
#include <gmock/gmock.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <stdexcept>

#ifdef __unix__
#include <sys/resource.h>
#endif

#include "RunFixture.h"

namespace tavora::testing {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

// Many distinct words: the series file of this document is far larger than 64 KiB.
std::string LongText() {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "w" + std::to_string(i) + " ";
  return text;
}

class BadOutput : public RunFixture {
 protected:
  // Every file of the output folder by name, with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(out_))
      files[Utf8(e.path().filename())] = Read(e.path());
    return files;
  }
  // A complete run of one short document before the failing one.
  std::map<std::string, std::string> PreviousRun() {
    TRun r;
    r.Input = Lines({WriteInput("before.txt", "p q p r s")});
    Measure(r);
    const auto files = Snapshot();
    EXPECT_TRUE(files.count("TavoraRun.json") && files.count("Serie1Word3.csv"));
    return files;
  }
  // After a failed run: the folder holds the previous run's files exactly as they were (its
  // run record too), and the file named by the error is none of them.
  void ExpectPreviousRunKept(const std::map<std::string, std::string>& before,
                             const std::string& message) {
    EXPECT_EQ(Snapshot(), before);
    const std::size_t open = message.find('"');
    const std::size_t close = message.find('"', open + 1);
    ASSERT_NE(close, std::string::npos) << message;
    const std::string named = message.substr(open + 1, close - open - 1);
    EXPECT_THAT(named, ::testing::StartsWith(Utf8(out_)));
    EXPECT_FALSE(fs::exists(fs::path(std::u8string(named.begin(), named.end())))) << named;
  }
  TRun TwoDocuments() {
    TRun r;
    r.Input = Lines({WriteInput("a.txt", "a b a c"), WriteInput("b.txt", LongText())});
    return r;
  }
};

// A small file system fills up while the second document's series is written.
TEST_F(BadOutput, FullDiskNamesTheFileAndKeepsThePreviousRun) {
#ifdef __linux__
  fs::create_directories(out_);
  const std::string mount =
      "mount -t tmpfs -o size=64k tavora-full '" + Utf8(out_) + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) GTEST_SKIP() << "cannot mount a small file system here";
  struct TUnmount {
    std::string Command;
    ~TUnmount() { EXPECT_EQ(std::system(Command.c_str()), 0) << Command; }
  } unmount{"umount '" + Utf8(out_) + "'"};
  const auto before = PreviousRun();
  std::string message;
  try {
    Measure(TwoDocuments());
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  EXPECT_THAT(message, HasSubstr("Cannot write file \""));
  ExpectPreviousRunKept(before, message);
#else
  GTEST_SKIP() << "needs a small tmpfs";
#endif
}

// The same with a limit on the size of files: every write past it fails (on the second
// document's series file, the first that outgrows it).
TEST_F(BadOutput, FailingStreamNamesTheFileAndKeepsThePreviousRun) {
#ifdef __unix__
  const auto before = PreviousRun();
  const TRun run = TwoDocuments();  // the inputs are written before the limit is set
  struct TSizeLimit {
    rlimit Old{};
    TSizeLimit() {
      std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
      getrlimit(RLIMIT_FSIZE, &Old);
      rlimit small = Old;
      small.rlim_cur = 64 * 1024;
      setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TSizeLimit() {
      setrlimit(RLIMIT_FSIZE, &Old);
      std::signal(SIGXFSZ, SIG_DFL);
    }
  };
  std::string message;
  {
    const TSizeLimit limit;
    try {
      Measure(run);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message,
            "Cannot write file \"" + Utf8(out_ / "Serie2Word3.csv") + "\": writing failed.");
  ExpectPreviousRunKept(before, message);
#else
  GTEST_SKIP() << "needs a limit on the size of files";
#endif
}

// An output folder below a file cannot be made: the error names it and nothing is written.
TEST_F(BadOutput, OutputFolderThatCannotBeMadeIsNamed) {
  WriteInput("blocker", "a file, not a folder");
  out_ = dir_ / "blocker" / "out";
  TRun r = TwoDocuments();
  try {
    Measure(r);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("\"" + Utf8(out_) + "\""));
  }
  EXPECT_FALSE(fs::exists(out_));
}

// Values that no formula defines (repeat rates of a one-token window, cross measures without a
// reference list, relative entropy) are written as NaN, Inf or -Inf and the run goes on to the
// next document.
TEST_F(BadOutput, UndefinedMeasuresAreWrittenAndTheRunGoesOn) {
  TRun r;
  r.Input = Lines({WriteInput("one.txt", "a"), WriteInput("two.txt", "b c b")});
  r.Lag = 1;
  r.Measures = TMeasureSet{tMeasure::vTokens, tMeasure::vRRR, tMeasure::vCrossPerplexity,
                           tMeasure::vCrossRRR, tMeasure::vHillsContinuum};
  r.Secondary = tMeasureSecondarySet{
      tMeasureSecondary::vRepeatRate, tMeasureSecondary::vCrossEntropy,
      tMeasureSecondary::vRelativeEntropy, tMeasureSecondary::vRelativePerplexity,
      tMeasureSecondary::vRenyiRelativeEntropy};
  r.Q = 1.0;
  ASSERT_NO_THROW(Measure(r));
  const auto whole = ReadLines(out_ / "WholeTextsWord.csv");
  ASSERT_GE(whole.size(), 3u);
  std::string all;
  for (const auto& line : whole) all += line + "\n";
  EXPECT_THAT(all, AnyOf(HasSubstr("\"NaN\""), HasSubstr("\"Inf\""), HasSubstr("\"-Inf\"")));
  // Only finite numbers and the three names appear in the values.
  for (std::size_t i = 1; i < whole.size(); ++i) {
    EXPECT_THAT(whole[i], ::testing::Not(AnyOf(HasSubstr("nan"), HasSubstr("inf")))) << whole[i];
  }
  EXPECT_EQ(ReadLines(out_ / "Serie2Word1.csv").size(), 4u);
}

}  // namespace
}  // namespace tavora::testing
