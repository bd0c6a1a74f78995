#include "engine/TReferenceDictionary.h"
#include "TestFolders.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavora {
namespace {

namespace fs = std::filesystem;

class TReferenceDictionaryFiles : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_refdict"};
  const fs::path& dir_ = folder_.Path();
  fs::path Write(const std::string& name, const std::string& bytes) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(TReferenceDictionaryFiles, LoadsTheOddLinesOfAHandMadeList) {
  const fs::path file = Write("list.txt",
                              "\xEF\xBB\xBF"
                              "the\t5000\r\n"     // CR LF
                              "two\t7\t2\n"       // LF, third column
                              "only\r"            // CR, no count
                              "\tskipped\t9\r\n"  // empty first field
                              "\r\n"              // empty line
                              "dup\t3\n"
                              "bad\tx1\tzz\n"               // count and length not integers
                              "neg\t-4\t-2\n"               // negative numbers count as absent
                              "big\t9223372036854775808\n"  // beyond 2^63 - 1
                              "wide\t4\t9\textra\tmore\n"
                              "\xC5\x99\x65ka\t2\n"  // UTF-8 type
                              "dup\t5\t1");          // repeated type, no final line end
  TReferenceDictionary d;
  d.Load(file);
  EXPECT_TRUE(d.IsLoaded);
  EXPECT_EQ(d.LastFileName, file);
  struct Row {
    std::u16string type;
    std::uint64_t count;
    std::uint32_t length;
  };
  const Row rows[] = {
      {u"the", 5000, 3}, {u"two", 7, 2}, {u"only", 0, 4}, {u"dup", 5, 1},       {u"bad", 0, 3},
      {u"neg", 0, 3},    {u"big", 0, 3}, {u"wide", 4, 9}, {u"\u0159eka", 2, 4},
  };
  for (const Row& row : rows) {
    const TCount* c = d.Find(row.type);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Count, row.count);
    EXPECT_EQ(c->TokLength, row.length);
  }
  EXPECT_EQ(d.Size(), std::size(rows));
  EXPECT_EQ(d.TotalTokens, 5000u + 7 + 3 + 4 + 2 + 5);
}

TEST_F(TReferenceDictionaryFiles, LoadWithoutByteOrderMarkAndMissingFile) {
  TReferenceDictionary d;
  d.Load(Write("plain.txt", "a\t1\nb\t2\n"));
  EXPECT_EQ(d.TotalTokens, 3u);
  const fs::path before = d.LastFileName;
  d.Load(dir_ / "absent.txt");
  EXPECT_EQ(d.TotalTokens, 3u);
  EXPECT_EQ(d.LastFileName, before);

  TReferenceDictionary fresh;
  fresh.Load(dir_ / "absent.txt");
  EXPECT_FALSE(fresh.IsLoaded);
  EXPECT_TRUE(fresh.Empty());
}

TEST_F(TReferenceDictionaryFiles, SaveThenLoadGivesTheSameTypesAndCounts) {
  TReferenceDictionary d;
  for (const char16_t* t : {u"a", u"b", u"a", u"", u"\u0159eka", u"\U0001F600", u"a"})
    d.AddToken(t);
  EXPECT_EQ(d.TotalTokens, 6u);  // the empty token is not counted
  d.Set(u"long", TCount(10, 2));
  const fs::path file = dir_ / "out.txt";
  EXPECT_EQ(d.Save(file), 0u);
  EXPECT_EQ(d.LastFileName, file);
  const std::string bytes = Read(file);
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_THAT(bytes, ::testing::HasSubstr("a\t3\r\n"));
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

  TReferenceDictionary back;
  back.Load(file);
  EXPECT_EQ(back.Size(), d.Size());
  for (const auto& [type, count] : d) {
    const TCount* c = back.Find(type);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Count, count.Count);
    EXPECT_EQ(c->TokLength, type.size());  // lengths are not stored
  }
  EXPECT_EQ(back.TotalTokens, 16u);  // the sum of the counts, not the tokens added
  EXPECT_EQ(back.Find(u"\U0001F600")->TokLength, 2u);  // UTF-16 units
}

TEST_F(TReferenceDictionaryFiles, SaveLeavesOutTypesTheFormatCannotHold) {
  TReferenceDictionary d;
  d.AddToken(u"ok");
  d.AddToken(u"tab\there");
  d.AddToken(u"line\nbreak");
  d.AddToken(u"cr\rhere");
  const fs::path file = dir_ / "odd.txt";
  EXPECT_EQ(d.Save(file), 3u);
  EXPECT_EQ(Read(file), "\xEF\xBB\xBFok\t1\r\n");
}

TEST_F(TReferenceDictionaryFiles, SaveWritesTheMostFrequentFirstAndTiesInTypeOrder) {
  TReferenceDictionary d;
  for (const char16_t* w : {u"b", u"the", u"a", u"the", u"\u00e9", u"the", u"b", u"Z"})
    d.AddToken(w);
  const fs::path file = dir_ / "sorted.txt";
  d.Save(file);
  EXPECT_EQ(Read(file), "\xEF\xBB\xBFthe\t3\r\nb\t2\r\nZ\t1\r\na\t1\r\n\xC3\xA9\t1\r\n");
}

TEST(TReferenceDictionary, CountsPassThirtyTwoBitsWithoutWrapping) {
  TReferenceDictionary d;
  const std::uint64_t top = std::numeric_limits<std::uint32_t>::max();
  d.Set(u"the", TCount(top - 1, 3));
  d.AddToken(u"the");
  d.AddToken(u"the");
  ASSERT_NE(d.Find(u"the"), nullptr);
  EXPECT_EQ(d.Find(u"the")->Count, top + 1);
}

TEST_F(TReferenceDictionaryFiles, SaveReplacesAnExistingFileAndLeavesNoTemporary) {
  const fs::path file = Write("list.txt", "old\t1\n");
  TReferenceDictionary d;
  d.AddToken(u"new");
  d.Save(file);
  EXPECT_EQ(Read(file), "\xEF\xBB\xBFnew\t1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TReferenceDictionaryFiles, SaveIntoAMissingFolderNamesTheFile) {
  TReferenceDictionary d;
  d.AddToken(u"x");
  const fs::path file = dir_ / "no" / "such" / "list.txt";
  EXPECT_THAT([&] { d.Save(file); },
              ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr(file.string())));
}

TEST_F(TReferenceDictionaryFiles, LoadOfAFolderNamesIt) {
  TReferenceDictionary d;
  EXPECT_THAT([&] { d.Load(dir_); },
              ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr(dir_.string())));
}

}  // namespace
}  // namespace tavora
