#include "input/TTable.h"
#include "TestFolders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Rows = std::vector<TArrayOfStrings>;

Rows AllRows(const TTable& t) {
  Rows rows;
  for (std::uint64_t r = 0; r < t.Count(); ++r) rows.push_back(t.GetRow(r));
  return rows;
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

// A fresh folder per test, removed afterwards.
class TTableFiles : public ::testing::Test {
 protected:
  ::tavora::test::TTempFolder folder_{"tavora_table"};
  const fs::path& dir_ = folder_.Path();
};

TEST(TTable, DefaultIsEmptyAndTabSeparated) {
  TTable t;
  EXPECT_EQ(t.Count(), 0u);
  EXPECT_EQ(t.GetSeparator(), u'\t');
  EXPECT_EQ(t.GetEncoding(), TTableEncoding::teUTF8);
  EXPECT_EQ(t.RowToText(0), u"");
  EXPECT_EQ(t.SumColInt(0), 0);
  EXPECT_TRUE(t.GetIndex(0, u"x").empty());
}

TEST(TTable, ParseRowSplitsAtEverySeparator) {
  struct Case {
    std::u16string line;
    TArrayOfStrings cells;
  };
  const Case cases[] = {
      {u"", {}},
      {u";", {u"", u""}},
      {u"abc", {u"abc"}},
      {u"a;b;", {u"a", u"b", u""}},
      {u";;", {u"", u"", u""}},
      {u";x", {u"", u"x"}},
      {u"a\tb", {u"a\tb"}},
  };
  for (const Case& c : cases) {
    TTable t(u';');
    t.ParseRow(0, c.line);
    EXPECT_EQ(t.GetRow(0), c.cells) << std::string(c.line.begin(), c.line.end());
  }
}

TEST(TTable, ParseRowAddsMissingRowsAndKeepsARowForAnEmptyLine) {
  TTable t(u',');
  t.ParseRow(2, u"a,b");
  EXPECT_EQ(AllRows(t), (Rows{{}, {}, {u"a", u"b"}}));
  t.ParseRow(2, u"");
  EXPECT_EQ(t.GetRow(2), (TArrayOfStrings{u"a", u"b"}));
  t.ParseRow(2, u"c");
  EXPECT_EQ(t.GetRow(2), (TArrayOfStrings{u"c"}));
}

TEST(TTable, BuildsRowsCellByCell) {
  TTable t;
  t.AddCellToRow(1, u"b");
  t.AddCellToRow(1, u"c");
  t.AddRow(3);
  t.SetA(2, 1, u"x");
  EXPECT_EQ(AllRows(t), (Rows{{}, {u"b", u"c"}, {u"", u"x", u""}}));
  EXPECT_EQ(t.GetA(1, 1), u"c");
  t.SetRow(0, {u"z"});
  std::vector<std::u16string> col{u"stale"};
  t.Col(1, col);
  EXPECT_EQ(col, (std::vector<std::u16string>{u"c", u"x"}));
  t.Col(0, col);
  EXPECT_EQ(col, (std::vector<std::u16string>{u"z", u"b", u""}));
  t.Clear();
  EXPECT_EQ(t.Count(), 0u);
}

TEST(TTable, CellAccessOutsideTheTableThrows) {
  TTable t;
  t.AddRow(1);
  EXPECT_THROW((void)t.GetA(0, 1), std::out_of_range);
  EXPECT_THROW((void)t.GetA(1, 0), std::out_of_range);
  EXPECT_THROW(t.SetA(0, 5, u"x"), std::out_of_range);
  EXPECT_THROW((void)t.GetRow(1), std::out_of_range);
  EXPECT_THROW(t.SetRow(7, {}), std::out_of_range);
  EXPECT_THROW(t.ParseRow(UINT64_MAX, u"x"), std::length_error);
  EXPECT_EQ(t.Count(), 1u);
}

TEST(TTable, RowToTextAndVertical) {
  TTable t(u'|');
  t.LoadFromStrings({u"a|b|c", u"", u"|"});
  EXPECT_EQ(t.RowToText(0), u"a|b|c");
  EXPECT_EQ(t.RowToVertical(0), u"a\r\nb\r\nc");
  EXPECT_EQ(t.RowToText(1), u"");
  EXPECT_EQ(t.RowToVertical(2), u"\r\n");
  EXPECT_EQ(t.RowToText(3), u"");
  EXPECT_EQ(t.RowToVertical(99), u"");
}

TEST(TTable, SortsByNumericValue) {
  struct Case {
    std::vector<std::u16string> lines;
    std::vector<std::u16string> sorted;
  };
  const Case cases[] = {
      {{u"a\t10", u"b\t9", u"c\t100"}, {u"b\t9", u"a\t10", u"c\t100"}},
      {{u"x\t2.5", u"y\t-1e3", u"z\t 0.25 ", u"w\t+3"},
       {u"y\t-1e3", u"z\t 0.25 ", u"x\t2.5", u"w\t+3"}},
      // Equal keys keep their order.
      {{u"1\t5", u"2\t1", u"3\t5", u"4\t5.0", u"5\t1"},
       {u"2\t1", u"5\t1", u"1\t5", u"3\t5", u"4\t5.0"}},
      {{u"only\t7"}, {u"only\t7"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    TTable t;
    t.LoadFromStrings(c.lines);
    t.Sort(1);
    std::vector<std::u16string> got;
    for (std::uint64_t r = 0; r < t.Count(); ++r) got.push_back(t.RowToText(r));
    EXPECT_EQ(got, c.sorted);
  }
}

TEST(TTable, SortRejectsKeysThatAreNotNumbersAndKeepsTheRows) {
  const std::vector<std::u16string> bad[] = {
      {u"a\t3", u"b\tx", u"c\t1"}, {u"a\t3", u"b", u"c\t1"}, {u"a\t3", u"b\t1,5"},
      {u"a\t3", u"b\tnan"},        {u"a\t3", u"b\tinf"},     {u"a\t3", u"b\t"},
      {u"a\t3", u"b\t1e999"},      {u"a\t3", u"b\t++1"},
  };
  for (const auto& lines : bad) {
    TTable t;
    t.LoadFromStrings(lines);
    const Rows before = AllRows(t);
    EXPECT_THROW(t.Sort(1), std::invalid_argument);
    EXPECT_EQ(AllRows(t), before);
  }
  TTable t;
  t.LoadFromStrings({u"a\t3", u"b\tdrei"});
  EXPECT_THAT([&] { t.Sort(1); },
              ::testing::ThrowsMessage<std::invalid_argument>(HasSubstr("row 1 holds 'drei'")));
}

TEST(TTable, SumColIntCountsOnly32BitIntegers) {
  TTable t;
  t.LoadFromStrings({u"a\t3", u"b\tx", u"c\t4", u"d\t2.5", u"e", u"f\t-2", u"g\t+1",
                     u"h\t2147483648", u"i\t2147483647", u"j\t 5", u"k\t"});
  EXPECT_EQ(t.SumColInt(1), 3 + 4 - 2 + 1 + 2147483647LL);
  TTable small;
  small.LoadFromStrings({u"3", u"x", u"4", u"2.5"});
  EXPECT_EQ(small.SumColInt(0), 7);
  EXPECT_EQ(small.SumColInt(1), 0);
}

TEST(TTable, GetIndexFindsRowsAndIsBuiltOnce) {
  TTable t;
  t.LoadFromStrings({u"a\tX", u"b", u"c\tx", u"d\tX", u""});
  const TRowIndexList& upper = t.GetIndex(1, u"X");
  EXPECT_EQ(upper, (TRowIndexList{0, 3}));
  EXPECT_EQ(t.GetIndex(1, u"x"), (TRowIndexList{2}));
  EXPECT_TRUE(t.GetIndex(1, u"y").empty());
  EXPECT_EQ(t.GetIndex(0, u"b"), (TRowIndexList{1}));
  EXPECT_TRUE(t.GetIndex(9, u"").empty());
  // Later changes do not reach an index already built; the list stays valid.
  t.ParseRow(5, u"e\tX");
  t.Clear();
  EXPECT_EQ(&t.GetIndex(1, u"X"), &upper);
  EXPECT_EQ(upper, (TRowIndexList{0, 3}));
}

TEST_F(TTableFiles, BothLoadersReadMixedLineEndsAndSkipTheByteOrderMark) {
  const fs::path file = fs::path(TAVORA_TEST_DATA) / "table" / "mixed.tsv";
  const Rows expected{{u"slovo", u"počet"}, {u"kůň", u"3"}, {}, {u"\U0001F600", u"", u""}, {u"x"},
                      {u"", u""},           {u"konec"}};
  TTable whole;
  whole.LoadFromFile(file);
  EXPECT_EQ(AllRows(whole), expected);
  TTable streamed;
  streamed.AddRow(2);
  streamed.LoadFromLargeFile(file);
  EXPECT_EQ(AllRows(streamed), expected);
}

TEST_F(TTableFiles, LoadersAgreeAcrossBlockBoundaries) {
  // Multi-byte characters and CR LF pairs land on every offset of the read blocks.
  std::string bytes;
  std::vector<std::u16string> lines;
  for (int i = 0; bytes.size() < 300000; ++i) {
    const auto as = static_cast<std::size_t>(i % 7);
    const auto bs = static_cast<std::size_t>(i % 3);
    std::u16string line(u"ž");
    line.append(as, u'a').append(u"\t€\U00010348").append(bs, u'b');
    lines.push_back(line);
    bytes.append("\xC5\xBE")
        .append(as, 'a')
        .append("\t\xE2\x82\xAC\xF0\x90\x8D\x88")
        .append(bs, 'b');
    bytes.append(i % 2 ? "\r\n" : (i % 3 ? "\r" : "\n"));
  }
  const fs::path file = dir_ / "big.tsv";
  WriteBytes(file, bytes);
  TTable expected;
  expected.LoadFromStrings(lines);
  TTable whole;
  whole.LoadFromFile(file);
  TTable streamed;
  streamed.LoadFromLargeFile(file);
  EXPECT_EQ(whole.Count(), lines.size());
  EXPECT_TRUE(AllRows(whole) == AllRows(expected));
  EXPECT_TRUE(AllRows(streamed) == AllRows(expected));
}

TEST_F(TTableFiles, LineBreaksMakeRows) {
  struct Case {
    std::string bytes;
    Rows rows;
  };
  const Case cases[] = {
      {"", {}},
      {"\n", {{}}},
      {"a\n", {{u"a"}}},
      {"a", {{u"a"}}},
      {"a\r\r\nb\r\n", {{u"a"}, {}, {u"b"}}},
      {"\xEF\xBB\xBF", {}},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", {{u"\uFEFFx"}}},  // only the first mark is skipped
      {std::string("a\0b", 3), {{std::u16string(u"a\0b", 3)}}},
  };
  const fs::path file = dir_ / "lines.tsv";
  for (const Case& c : cases) {
    WriteBytes(file, c.bytes);
    TTable whole;
    whole.LoadFromFile(file);
    EXPECT_EQ(AllRows(whole), c.rows) << c.bytes;
    TTable streamed;
    streamed.LoadFromLargeFile(file);
    EXPECT_EQ(AllRows(streamed), c.rows) << c.bytes;
  }
}

TEST_F(TTableFiles, InvalidUtf8IsAnErrorNamingFileAndLineAndLeavesTheTable) {
  const std::string bad[] = {
      "ok\n\xFF",       "ok\r\n\xC0\x80", "ok\n\xED\xA0\x80", "ok\n\xF4\x90\x80\x80",
      "ok\nab\xE2\x82", "ok\n\x80",       "ok\n\xE2\x28\xA1", "ok\n\xC3",
  };
  const fs::path file = dir_ / "bad.tsv";
  for (const std::string& bytes : bad) {
    WriteBytes(file, bytes);
    for (bool streamed : {false, true}) {
      TTable t;
      t.ParseRow(0, u"keep");
      try {
        streamed ? t.LoadFromLargeFile(file) : t.LoadFromFile(file);
        ADD_FAILURE() << "no error for " << bytes;
      } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("bad.tsv"));
        EXPECT_THAT(e.what(), HasSubstr("line 2"));
      }
      EXPECT_EQ(AllRows(t), (Rows{{u"keep"}}));
    }
  }
}

TEST_F(TTableFiles, FileThatCannotBeOpenedIsAnErrorAndLeavesTheTable) {
  TTable t;
  t.ParseRow(0, u"keep");
  const fs::path missing = dir_ / "missing.tsv";
  EXPECT_THAT([&] { t.LoadFromFile(missing); },
              ::testing::ThrowsMessage<std::runtime_error>(
                  HasSubstr("missing.tsv\": the file does not exist")));
  EXPECT_THROW(t.LoadFromLargeFile(missing), std::runtime_error);
  EXPECT_THAT([&] { t.LoadFromFile(dir_); },
              ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("folder")));
  EXPECT_EQ(AllRows(t), (Rows{{u"keep"}}));
}

TEST_F(TTableFiles, SaveWritesByteOrderMarkAndCrLf) {
  TTable t;
  t.LoadFromStrings({u"a\tb", u"", u"\t", u"č\t\U0001F600"});
  struct Case {
    std::int64_t count;
    std::string bytes;
  };
  const Case cases[] = {
      {-1,
       "\xEF\xBB\xBF"
       "a\tb\r\n\r\n\t\r\n\xC4\x8D\t\xF0\x9F\x98\x80\r\n"},
      {100,
       "\xEF\xBB\xBF"
       "a\tb\r\n\r\n\t\r\n\xC4\x8D\t\xF0\x9F\x98\x80\r\n"},
      {2,
       "\xEF\xBB\xBF"
       "a\tb\r\n\r\n"},
      {0, "\xEF\xBB\xBF"},
  };
  const fs::path file = dir_ / "out.tsv";
  for (const Case& c : cases) {
    t.SaveToFile(file, c.count);
    EXPECT_EQ(ReadBytes(file), c.bytes) << c.count;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
            1);  // no temporary
}

TEST_F(TTableFiles, SaveAndLoadRoundTrip) {
  TTable t(u';');
  t.LoadFromStrings({u"a;b", u"", u";", u"x;;y", u"ž"});
  t.SetRow(1, {u""});  // one empty cell comes back as a row without cells
  const fs::path file = dir_ / "round.csv";
  t.SaveToFile(file);
  TTable back(u';');
  back.LoadFromFile(file);
  EXPECT_EQ(AllRows(back), (Rows{{u"a", u"b"}, {}, {u"", u""}, {u"x", u"", u"y"}, {u"ž"}}));
  for (TTableEncoding enc : {TTableEncoding::teUTF16LE, TTableEncoding::teUTF16BE}) {
    TTable wide(enc, u';');
    wide.LoadFromStrings({u"a;\U0001F600", u"č"});
    wide.SaveToFile(file);
    TTable again(enc, u';');
    again.LoadFromLargeFile(file);
    EXPECT_EQ(AllRows(again), AllRows(wide));
  }
  EXPECT_EQ(ReadBytes(file),
            std::string("\xFE\xFF\0a\0;\xD8\x3D\xDE\x00\0\r\0\n\x01\x0D\0\r\0\n", 20));
}

TEST_F(TTableFiles, SaveToCsvQuotesEveryCell) {
  TTable t;
  // A line break inside a cell is written as it is.
  t.LoadFromStrings({u"plain\t12", u"", u"say \"hi\"\t\t\"", u"line\r\nbreak"});
  const fs::path file = dir_ / "out.csv";
  t.SaveToCSVFile(file, u",");
  EXPECT_EQ(ReadBytes(file),
            "\xEF\xBB\xBF\"plain\",\"12\"\r\n\r\n\"say "
            "\"\"hi\"\"\",\"\",\"\"\"\"\r\n\"line\r\nbreak\"\r\n");
  t.SaveToCSVFile(file, u"; ", 1);
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF\"plain\"; \"12\"\r\n");
  t.SaveToCSVFile(file, u",", 0);
  EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF");
}

TEST_F(TTableFiles, FailedSaveNamesTheFileAndKeepsTheOldOne) {
  const fs::path file = dir_ / "keep.tsv";
  WriteBytes(file, "old");
  TTable t;
  t.LoadFromStrings({u"fine", std::u16string(u"bad \xD800 surrogate")});
  EXPECT_THAT([&] { t.SaveToFile(file); },
              ::testing::ThrowsMessage<std::runtime_error>(::testing::AllOf(
                  HasSubstr("keep.tsv"), HasSubstr("row 1"), HasSubstr("surrogate"))));
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
            1);           // no temporary
  t.SaveToFile(file, 1);  // rows before the bad one are fine
  EXPECT_EQ(ReadBytes(file),
            "\xEF\xBB\xBF"
            "fine\r\n");

  const fs::path nowhere = dir_ / "no" / "such" / "folder.tsv";
  EXPECT_THAT([&] { t.SaveToCSVFile(nowhere, u",", 1); },
              ::testing::ThrowsMessage<std::runtime_error>(HasSubstr("folder.tsv")));
}

}  // namespace
}  // namespace tavora
