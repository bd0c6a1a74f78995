// The output folder holds one consistent run: a second run into a busy folder is refused, a
// killed run's lock is taken over, signals cancel a run and leave the previous run's files,
// the output folder inside an input folder is left out, and --safe-csv guards names that a
// spreadsheet would run as formulas. Runs are spawned, so that signals reach a real process.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CliProcess.h"
#include "results/TResultFolder.h"
#include "results/TSqliteDatabase.h"
#include "results/TSqliteStatement.h"

#ifndef _WIN32
#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace fs = std::filesystem;
using tavora::TSqliteStatement;
using tavora::test::Quote;
using tavora::test::ReadWholeFile;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

class CliFolder : public tavora::test::TCliTest {
 protected:
  // Every file of a folder with its bytes.
  static std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
      files[e.path().filename().string()] = ReadWholeFile(e.path());
    return files;
  }
  // Whether the folder holds a temporary file; with resultsOnly, one of a result file (not
  // of the run record, which a run writes before any result).
  static bool HasTemporary(const fs::path& folder, bool resultsOnly = false) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path().extension() != ".part") continue;
      if (!resultsOnly || !it->path().filename().string().starts_with("TavoraRun")) return true;
    }
    return false;
  }
  // A complete run of one text into out, with series.
  void SmallRun(const fs::path& out) const {
    const auto r =
        Run("measure -w 10 --outputs averages,series -o " + Quote(out) + " data/plain/letter.txt");
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
  }
  // Texts that take a spawned run a good while to measure.
  fs::path BigInput() const {
    const fs::path folder = Dir / "big";
    fs::create_directories(folder);
    std::string text;
    for (std::uint64_t i = 0; i < 1200000; ++i) {
      text += 'w';
      text += std::to_string(i * 7919 % 6007);
      text += ' ';
    }
    for (int f = 0; f < 3; ++f)
      std::ofstream(folder / ("t" + std::to_string(f) + ".txt"), std::ios::binary) << text;
    return folder;
  }

#ifndef _WIN32
  // Starts tavora-cli with the arguments, its output in Dir/spawn-out.txt and -err.txt.
  pid_t Spawn(const std::vector<std::string>& args) const {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = (Dir / "spawn-out.txt").string(),
                      err = (Dir / "spawn-err.txt").string();
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{TAVORA_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, TAVORA_CLI, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // Waits until the run has begun to write into the folder (a temporary exists).
  static bool WaitForTemporary(const fs::path& folder, pid_t pid) {
    for (int i = 0; i < 12000; ++i) {
      if (HasTemporary(folder, true)) return true;
      if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  // The exit status of the process, or -1 when a signal ended it.
  static int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
#endif
};

#ifndef _WIN32

// A run into a folder that another run is writing fails at once and names the folder, and so
// does a frequency list written there; once the first run ends, the folder is free again.
TEST_F(CliFolder, SecondRunIntoABusyFolderIsRefused) {
  const fs::path out = Dir / "out";
  const fs::path big = BigInput();
  const pid_t first =
      Spawn({"measure", "--outputs", "averages,series", "-o", out.string(), big.string()});
  ASSERT_TRUE(WaitForTemporary(out, first));
  const auto second = Run("measure -o " + Quote(out) + " data/plain");
  EXPECT_EQ(second.ExitCode, 1);
  EXPECT_THAT(second.Err, StartsWith("tavora-cli: The output folder " + Quote(out) +
                                     " is in use by another run of Tavora (process " +
                                     std::to_string(first) + " on "));
  const auto list = Run("freqlist --word-list " + Quote(out / "words.tsv") + " data/plain");
  EXPECT_EQ(list.ExitCode, 1);
  EXPECT_THAT(list.Err, StartsWith("tavora-cli: The folder of the frequency list " + Quote(out) +
                                   " is in use by another run of Tavora"));
  kill(first, SIGTERM);
  EXPECT_EQ(Wait(first), 1);
  SmallRun(out);
  EXPECT_FALSE(fs::exists(out / "TavoraRun.lock"));
}

// A run killed outright leaves its lock file, its temporaries and a "running" record; the
// next run takes the lock over, removes the temporaries and completes.
TEST_F(CliFolder, LockOfAKilledRunIsTakenOver) {
  const fs::path out = Dir / "out";
  SmallRun(out);
  const pid_t killed =
      Spawn({"measure", "--outputs", "averages,series", "-o", out.string(), BigInput().string()});
  ASSERT_TRUE(WaitForTemporary(out, killed));
  kill(killed, SIGKILL);
  EXPECT_EQ(Wait(killed), -1);
  EXPECT_THAT(ReadWholeFile(out / "TavoraRun.lock"), StartsWith("pid=" + std::to_string(killed)));
  EXPECT_THAT(ReadWholeFile(out / "TavoraRun.json"), HasSubstr("\"state\": \"running\""));
  EXPECT_TRUE(HasTemporary(out));

  SmallRun(out);
  EXPECT_FALSE(HasTemporary(out));
  EXPECT_FALSE(fs::exists(out / "TavoraRun.lock"));
  EXPECT_THAT(ReadWholeFile(out / "TavoraRun.json"), HasSubstr("\"state\": \"complete\""));
}

// A run killed while it adds to the results database leaves the database of the run before: the
// next reader rolls the killed run's journal back, and the database opens, whole, with that run.
TEST_F(CliFolder, KilledRunLeavesThePreviousDatabase) {
  const fs::path out = Dir / "out";
  const fs::path db = out / "Tavora.sqlite";
  ASSERT_EQ(
      Run("measure -w 10 --outputs averages,sqlite -o " + Quote(out) + " data/plain").ExitCode, 0);
  const std::string before = ReadWholeFile(db);
  const pid_t killed = Spawn(
      {"measure", "--outputs", "averages,series,sqlite", "-o", out.string(), BigInput().string()});
  // Killed once the run has written series into the database file itself.
  bool grown = false;
  for (int i = 0; i < 12000 && !grown && waitpid(killed, nullptr, WNOHANG) != killed; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::error_code ec;
    grown = fs::file_size(db, ec) > before.size() + (std::uintmax_t{4} << 20);
  }
  ASSERT_TRUE(grown);
  kill(killed, SIGKILL);
  EXPECT_EQ(Wait(killed), -1);
  EXPECT_TRUE(fs::exists(out / "Tavora.sqlite-journal"));

  const tavora::TResultFolder results(out);
  EXPECT_EQ(results.GetDatabaseRun(), 1);
  EXPECT_EQ(results.Find(tavora::TOutputType::outAverage).size(), 1u);
  EXPECT_FALSE(fs::exists(out / "Tavora.sqlite-journal"));
  EXPECT_EQ(ReadWholeFile(db), before);
  tavora::TSqliteDatabase check(db, tavora::TSqliteDatabase::TOpen::ReadOnly, "Cannot read");
  EXPECT_EQ(check.QueryInteger("SELECT count(*) FROM runs;"), 1);
  TSqliteStatement integrity(check, "PRAGMA integrity_check;");
  ASSERT_TRUE(integrity.Step());
  EXPECT_EQ(integrity.Text(0), "ok");
}

// SIGTERM, SIGINT and SIGHUP end a run as a cancel does: status 1, a message, no temporary
// left, and the previous run's files exactly as they were.
TEST_F(CliFolder, SignalsCancelTheRunAndKeepThePreviousFiles) {
  const fs::path out = Dir / "out";
  const fs::path big = BigInput();
  SmallRun(out);
  const auto before = Snapshot(out);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    const pid_t run = Spawn({"measure", "--outputs", "averages,series,distributions", "-w", "10",
                             "-o", out.string(), big.string()});
    ASSERT_TRUE(WaitForTemporary(out, run));
    kill(run, signal);
    EXPECT_EQ(Wait(run), 1);
    EXPECT_EQ(ReadWholeFile(Dir / "spawn-err.txt"), "tavora-cli: The run was cancelled.\n");
    EXPECT_THAT(ReadWholeFile(Dir / "spawn-out.txt"), Not(HasSubstr("Complete")));
    EXPECT_EQ(Snapshot(out), before);
  }
}

#endif

// An output folder inside an input folder, and the files runs write, are not read as texts;
// a warning says so once.
TEST_F(CliFolder, OutputFolderInsideTheInputIsLeftOut) {
  const fs::path corpus = Dir / "corpus";
  fs::create_directories(corpus);
  fs::copy(SourceDir / "data" / "plain", corpus);
  std::size_t texts = 0;
  for (const auto& e : fs::directory_iterator(corpus)) texts += e.is_regular_file();
  // Result files of a run into another folder, moved beside the texts.
  SmallRun(Dir / "elsewhere");
  fs::copy_file(Dir / "elsewhere" / "AveragesWord10.csv", corpus / "AveragesWord10.csv");
  const std::string args = "measure -o " + Quote(corpus / "out") + " " + Quote(corpus);
  ASSERT_EQ(Run(args).ExitCode, 0);
  const auto second = Run(args);
  ASSERT_EQ(second.ExitCode, 0) << second.Err;
  EXPECT_EQ(second.Err, "tavora-cli: warning: The output folder " + Quote(corpus / "out") +
                            " and 1 file that Tavora writes (result files, run records, "
                            "frequency lists) were left out of the input.\n");
  const std::string averages = ReadWholeFile(corpus / "out" / "AveragesWord200.csv");
  EXPECT_EQ(std::count(averages.begin(), averages.end(), '\n'), 1 + static_cast<long>(texts));
}

// --safe-csv puts an apostrophe before a name that begins with =, + or @; without it the
// names stay as they are.
TEST_F(CliFolder, SafeCsvGuardsNamesThatLookLikeFormulas) {
  for (const char* name : {"=HYPERLINK(1).txt", "+1.txt", "@SUM.txt", "plain.txt"})
    std::ofstream(Dir / name, std::ios::binary) << "a b c a b";
  const std::string inputs = "\"=HYPERLINK(1).txt\" +1.txt @SUM.txt plain.txt";
  for (const bool safe : {true, false}) {
    const auto r = tavora::test::RunCli(
        std::string("measure -w 2 ") + (safe ? "--safe-csv " : "") + "-o out " + inputs, Dir, Dir);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const std::string averages = ReadWholeFile(Dir / "out" / "AveragesWord2.csv");
    const std::string guard = safe ? "'" : "";
    for (const char* name : {"=HYPERLINK(1).txt", "+1.txt", "@SUM.txt"})
      EXPECT_THAT(averages, HasSubstr("\r\n\"" + guard + name + "\",\"")) << name;
    EXPECT_THAT(averages, HasSubstr("\r\n\"plain.txt\",\""));
  }
}

}  // namespace
