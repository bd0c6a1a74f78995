#include "base/TAtomicFile.h"
#include "TestFolders.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavora {
namespace {

namespace fs = std::filesystem;
using ::testing::ThrowsMessage;

class AtomicFile : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_atomic"};
  const fs::path& dir_ = folder_.Path();

  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// The target appears only at Commit, whole, replacing the old file; the temporary is a new
// regular file beside it with a name no other writer shares.
TEST_F(AtomicFile, TargetAppearsWholeAtCommit) {
  const fs::path target = dir_ / "out.csv";
  Write(target, "old");
  TAtomicFile a(target);
  TAtomicFile b(target);
  EXPECT_NE(a.GetTemporary(), b.GetTemporary());
  EXPECT_EQ(a.GetTemporary().parent_path(), dir_);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(a.GetTemporary())));
  a.Write("new ");
  a.Write(std::string(100000, 'x'));
  a.Finish();
  EXPECT_EQ(Read(target), "old");
  a.Commit();
  EXPECT_EQ(Read(target), "new " + std::string(100000, 'x'));
  EXPECT_TRUE(a.IsCommitted());
  EXPECT_THAT([&] { a.Write("late"); },
              ThrowsMessage<std::runtime_error>(::testing::HasSubstr("out.csv")));
}

TEST_F(AtomicFile, WriterDestroyedWithoutCommitLeavesNothing) {
  {
    TAtomicFile file(dir_ / "a.csv");
    file.Write("part");
  }
  {
    TAtomicFile file(dir_ / "b.csv");
    file.Write("part");
    file.Finish();
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

// Links planted under the names that temporaries used to have are never followed; neither is
// a link at the very name a new file is created under.
TEST_F(AtomicFile, PlantedLinksAreNotFollowed) {
  const fs::path victim = dir_ / "victim.txt";
  Write(victim, "keep");
  const fs::path target = dir_ / "AveragesWord5.csv";
  for (const char* suffix : {".part", ".tavora-part", ".tmp1"}) {
    fs::create_symlink(victim, fs::path(target.string() + suffix));
  }
  TAtomicFile file(target);
  file.Write("result");
  file.Commit();
  EXPECT_EQ(Read(victim), "keep");
  EXPECT_EQ(Read(target), "result");

  std::error_code ec;
  EXPECT_EQ(CreateNewFile(dir_ / "AveragesWord5.csv.part", ec), kNoFile);
  EXPECT_TRUE(ec);
  EXPECT_EQ(Read(victim), "keep");
}

TEST_F(AtomicFile, FailuresNameTheTarget) {
  const fs::path nowhere = dir_ / "no" / "list.txt";
  EXPECT_THAT(
      [&] { TAtomicFile file(nowhere, "the frequency list"); },
      ThrowsMessage<std::runtime_error>(::testing::StrEq(
          "Cannot write the frequency list \"" + nowhere.string() + "\": it cannot be created.")));
  // A target that is a folder cannot be replaced: the rename fails and the temporary goes.
  fs::create_directories(dir_ / "folder.csv" / "inside");
  EXPECT_THROW(
      {
        TAtomicFile file(dir_ / "folder.csv");
        file.Commit();
      },
      std::runtime_error);
  EXPECT_EQ(Names(), std::vector<std::string>{"folder.csv"});
}

}  // namespace
}  // namespace tavora
