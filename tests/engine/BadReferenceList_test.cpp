// Reference lists written by hand or by other tools: counts that are negative, too large or not
// numbers, lines without a TAB, broken UTF-8, and types that the list format cannot store.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestFolders.h"
#include "engine/TReferenceDictionary.h"

namespace tavora {
namespace {

namespace fs = std::filesystem;

class BadReferenceList : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_badlist"};
  const fs::path& dir_ = folder_.Path();
  fs::path Write(const std::string& bytes) {
    const fs::path p = dir_ / "list.tsv";
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
};

// Each line: what Load makes of it. A bad count (negative, beyond 2^63 - 1, not a number) is
// taken as 0 and adds nothing to the total; a bad length is the type's own length; the line is
// never rejected.
TEST_F(BadReferenceList, BadCountsAreZeroAndNoLineIsRejected) {
  struct TCase {
    const char* Line;
    std::u16string Type;
    TCount Expected;
  };
  const TCase cases[] = {
      {"neg\t-5", u"neg", {0, 3}},
      {"big\t99999999999999999999", u"big", {0, 3}},
      {"max\t9223372036854775807", u"max", {9223372036854775807u, 3}},
      {"over\t9223372036854775808", u"over", {0, 4}},
      {"web\t4294967296", u"web", {4294967296u, 3}},
      {"word\tfive", u"word", {0, 4}},
      {"half\t1.5", u"half", {0, 4}},
      {"space\t 7", u"space", {0, 5}},
      {"notab 12", u"notab 12", {0, 8}},
      {"len\t3\t-1", u"len", {3, 3}},
      {"len2\t3\t99999999999", u"len2", {3, 4}},
      {"bad\xFFutf\t2", u"bad\uFFFDutf", {2, 7}},
  };
  std::string file = "\xEF\xBB\xBF";
  for (const TCase& c : cases) file += std::string(c.Line) + "\r\n";
  file += "\t9\r\n\r\n";  // no type: skipped
  TReferenceDictionary list;
  list.Load(Write(file));
  EXPECT_TRUE(list.IsLoaded);
  EXPECT_EQ(list.Size(), std::size(cases));
  for (const TCase& c : cases) {
    const TCount* found = list.Find(c.Type);
    ASSERT_NE(found, nullptr) << c.Line;
    EXPECT_EQ(*found, c.Expected) << c.Line;
  }
  EXPECT_EQ(list.TotalTokens, 9223372036854775807u + 4294967296u + 3 + 3 + 2);
  // Counts that add up beyond 64 bits are no list at all.
  EXPECT_THAT([&] { list.Load(Write("a\t9223372036854775807\nb\t9223372036854775807\nc\t2\n")); },
              ::testing::ThrowsMessage<std::runtime_error>(
                  ::testing::HasSubstr("list.tsv\" add up to more than 18446744073709551615")));
}

// Binary garbage loads without an error into some list; it never fails the run.
TEST_F(BadReferenceList, BinaryFileLoads) {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919) & 0xFF);
  TReferenceDictionary list;
  EXPECT_NO_THROW(list.Load(Write(bytes)));
  EXPECT_TRUE(list.IsLoaded);
}

// Types holding a TAB or a line break (a one-word-per-line file can make them) are left out of
// the saved list and counted; the rest loads back unchanged.
TEST_F(BadReferenceList, SaveLeavesOutTypesWithTabsAndLineBreaks) {
  TReferenceDictionary list;
  for (const std::u16string_view type :
       {u"ok", u"tab\there", u"line\nbreak", u"cr\rhere", u"also ok", u"ok"})
    list.AddToken(type);
  const fs::path file = dir_ / "saved.tsv";
  EXPECT_EQ(list.Save(file), 3u);
  TReferenceDictionary again;
  again.Load(file);
  EXPECT_EQ(again.Size(), 2u);
  ASSERT_NE(again.Find(u"ok"), nullptr);
  EXPECT_EQ(again.Find(u"ok")->Count, 2u);
  ASSERT_NE(again.Find(u"also ok"), nullptr);
  EXPECT_EQ(again.TotalTokens, 3u);
}

// A list that is a folder, or that cannot be saved, fails with an error naming the file.
TEST_F(BadReferenceList, UnreadableAndUnwritableListsAreNamed) {
  TReferenceDictionary list;
  fs::create_directories(dir_ / "folder.tsv");
  EXPECT_THAT([&] { list.Load(dir_ / "folder.tsv"); },
              ::testing::ThrowsMessage<std::runtime_error>(::testing::HasSubstr("folder.tsv\"")));
  list.AddToken(u"a");
  const fs::path blocked = dir_ / "no such folder" / "list.tsv";
  EXPECT_THAT([&] { list.Save(blocked); },
              ::testing::ThrowsMessage<std::runtime_error>(
                  ::testing::HasSubstr("\"" + blocked.string() + "\"")));
}

}  // namespace
}  // namespace tavora
