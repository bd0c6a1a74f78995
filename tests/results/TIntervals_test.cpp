#include "results/TIntervals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tavora {
namespace {

std::vector<std::string> Output(const TIntervals& d, std::string_view sep = ",") {
  std::vector<std::string> lines;
  d.GetOutput(lines, sep);
  return lines;
}

TEST(TIntervals, WritesNegativeAndPositiveIntervalsInOrder) {
  TIntervals d(100);
  d.PridejKDistribuci(0.02, 1);
  d.PridejKDistribuci(0.02, 1);
  d.PridejKDistribuci(-0.01, 1);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"-0.01,0,0.01,0.02,", "1,0,0,2,"}));
}

TEST(TIntervals, RoundsTiesToTheEvenNeighbour) {
  struct Case {
    std::uint32_t granularity;
    double value;
    std::int32_t index;
  };
  // At granularity 100 the product value*100 decides, not the decimal text:
  // 0.015*100 is exactly 1.5 in binary (tie, to 2) while 0.575*100 lies just
  // below 57.5.
  const Case cases[] = {
      {1, 2.5, 2},      {1, 3.5, 4},      {1, -0.5, 0},       {1, -1.5, -2},     {1, 0.5, 0},
      {1, 1.5, 2},      {1, -2.5, -2},    {1, 2.4999, 2},     {1, 2.5001, 3},    {1, -0.4, 0},
      {100, 0.125, 12}, {100, 0.135, 14}, {100, 0.015, 2},    {100, 0.025, 2},   {100, 0.005, 0},
      {100, 0.575, 57}, {100, 0.285, 28}, {100, -0.125, -12}, {100, -0.015, -2},
  };
  for (const Case& c : cases) {
    std::int32_t index = 99999;
    ASSERT_TRUE(TIntervals::IntervalIndex(c.value, c.granularity, index)) << c.value;
    EXPECT_EQ(index, c.index) << c.value << " at granularity " << c.granularity;
    TIntervals d(c.granularity);
    d.PridejKDistribuci(c.value);
    EXPECT_EQ(d.GetCount(c.index), 1u) << c.value;
  }
}

TEST(TIntervals, NegativeTieCreatesTheEmptyIntervalsBetween) {
  TIntervals d(1);
  d.PridejKDistribuci(-1.5, 1);
  d.PridejKDistribuci(-0.5, 1);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"-2,-1,0,", "1,0,1,"}));
}

TEST(TIntervals, LabelsHundredthsInShortestForm) {
  TIntervals d(100);
  d.PridejKDistribuci(0.125, 1);
  d.PridejKDistribuci(-0.1, 3);
  std::string labels;
  d.AppendLabelLine(labels, ";");
  EXPECT_EQ(labels,
            "-0.1;-0.09;-0.08;-0.07;-0.06;-0.05;-0.04;-0.03;-0.02;-0.01;"
            "0;0.01;0.02;0.03;0.04;0.05;0.06;0.07;0.08;0.09;0.1;0.11;0.12;");
  std::string counts;
  d.AppendCountLine(counts, ";");
  EXPECT_EQ(counts, "3;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;1;");
}

TEST(TIntervals, LabelFormats) {
  struct Case {
    std::uint32_t granularity;
    std::int64_t index;
    const char* label;
  };
  const Case cases[] = {
      {1, 0, "0"},
      {1, 3, "3"},
      {1, -7, "-7"},
      {1, 2147483647, "2147483647"},
      {100, -1, "-0.01"},
      {100, 50, "0.5"},
      {100, 300, "3"},
      {100, -250, "-2.5"},
      {100, 2147483647, "21474836.47"},
      {100, -2147483648LL, "-21474836.48"},
      {10, 15, "1.5"},
      {10000, 1, "0.0001"},
      {10000, 12340, "1.234"},
      {4, 1, "0.25"},
      {3, 1, "0.333333333333333"},
      {3, -2, "-0.666666666666667"},
      {8, 20, "2.5"},
      {7, 0, "0"},
  };
  for (const Case& c : cases) {
    TIntervals d(c.granularity);
    std::string label;
    d.AppendLabel(label, c.index);
    EXPECT_EQ(label, c.label) << c.index << "/" << c.granularity;
  }
}

TEST(TIntervals, LinesStartAtIntervalZero) {
  TIntervals d(1);
  for (double v = 140.0; v <= 150.0; v += 0.25) d.PridejKDistribuci(v, 1);
  const auto lines = Output(d);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("0,1,2,3,", 0), 0u);
  std::string zeros;
  for (int i = 0; i < 140; ++i) zeros += "0,";
  EXPECT_EQ(lines[1].substr(0, zeros.size()), zeros);
  EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 151);
  EXPECT_EQ(d.GetCount(140), 3u);  // 140, 140.25, 140.5 (tie to even)
  EXPECT_EQ(d.GetCount(150), 3u);  // 149.5 (tie to even), 149.75, 150
  EXPECT_EQ(d.GetCount(141), 3u);  // 140.75, 141, 141.25
}

TEST(TIntervals, EmptyAndClearedDistributionsWriteTwoEmptyLines) {
  TIntervals d(100);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"", ""}));
  d.PridejKDistribuci(-3.0, 1);
  d.PridejKDistribuci(std::nan(""), 1);
  d.Clear();
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_EQ(d.GetOmittedCount(), 0u);
  EXPECT_EQ(d.GetGranularity(), 100u);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"", ""}));
  std::vector<std::u16string> wide;
  d.GetOutput(wide, u",");
  EXPECT_EQ(wide, (std::vector<std::u16string>{u"", u""}));
}

TEST(TIntervals, LeavesOutValuesWithoutA32BitIndex) {
  const double inf = std::numeric_limits<double>::infinity();
  const double omitted[] = {
      std::nan(""), inf,          -inf,          1e300,
      -1e300,       2147483647.5, -2147483648.6, std::numeric_limits<double>::max()};
  TIntervals d(1);
  d.PridejKDistribuci(1.0, 1);
  for (double v : omitted) d.PridejKDistribuci(v, 2);
  EXPECT_EQ(d.GetOmittedCount(), 16u);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"0,1,", "0,1,"}));

  // Granularity 100 pushes a value of 3e7 beyond the 32-bit range.
  TIntervals h(100);
  h.PridejKDistribuci(3e7, 1);
  EXPECT_TRUE(h.IsEmpty());
  EXPECT_EQ(h.GetOmittedCount(), 1u);

  std::int32_t index = 0;
  EXPECT_TRUE(TIntervals::IntervalIndex(-2147483648.4, 1, index));
  EXPECT_EQ(index, std::numeric_limits<std::int32_t>::min());
  EXPECT_TRUE(TIntervals::IntervalIndex(2147483647.4, 1, index));
  EXPECT_EQ(index, std::numeric_limits<std::int32_t>::max());
}

TEST(TIntervals, WeightsAddUp) {
  TIntervals d(1);
  d.PridejKDistribuci(2.0, 5);
  d.PridejKDistribuci(2.2, 7);
  d.PridejKDistribuci(-1.0, 0);
  EXPECT_EQ(Output(d), (std::vector<std::string>{"-1,0,1,2,", "0,0,0,12,"}));
  EXPECT_EQ(d.GetLowestIndex(), -1);
  EXPECT_EQ(d.GetHighestIndex(), 2);
}

TEST(TIntervals, AllWritersAgree) {
  TIntervals d(100);
  // Wide enough to cross the stream writer's buffer several times.
  for (int i = -30000; i <= 250000; i += 7) d.PridejKDistribuci(i / 100.0, 1);
  const auto lines = Output(d, ", ");
  std::ostringstream stream;
  d.WriteOutput(stream, ", ", "\r\n");
  EXPECT_EQ(stream.str(), lines[0] + "\r\n" + lines[1] + "\r\n");
  std::vector<std::u16string> wide;
  d.GetOutput(wide, u", ");
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(std::string(wide[1].begin(), wide[1].end()), lines[1]);
  EXPECT_EQ(std::string(wide[0].begin(), wide[0].end()), lines[0]);
  EXPECT_EQ(lines[0].substr(0, 14), "-300, -299.99,");
}

TEST(TIntervals, GetOutputAppends) {
  TIntervals d(1);
  d.PridejKDistribuci(1.0, 1);
  std::vector<std::string> lines{"header"};
  d.GetOutput(lines, ",");
  EXPECT_EQ(lines, (std::vector<std::string>{"header", "0,1,", "0,1,"}));
}

// The lines as the format defines them, from a plain map of interval counts.
std::vector<std::string> DenseReference(std::uint32_t granularity,
                                        const std::vector<double>& values, const std::string& sep) {
  std::map<std::int64_t, std::uint64_t> counts;
  for (double v : values) {
    std::int32_t index = 0;
    if (TIntervals::IntervalIndex(v, granularity, index)) ++counts[index];
  }
  std::string labels, line;
  if (!counts.empty()) {
    const std::int64_t lowest = std::min<std::int64_t>(counts.begin()->first, 0);
    const std::int64_t highest = std::max<std::int64_t>(counts.rbegin()->first, -1);
    const TIntervals format(granularity);
    for (std::int64_t i = lowest; i <= highest; ++i) {
      format.AppendLabel(labels, i);
      labels += sep;
      line += std::to_string(counts.count(i) != 0 ? counts[i] : 0) + sep;
    }
  }
  return {labels, line};
}

std::vector<double> Range(double from, double to, double step) {
  std::vector<double> values;
  for (double v = from; v <= to; v += step) values.push_back(v);
  return values;
}

// Whatever the storage does (values far from 0, long runs of empty intervals,
// growth below and above, reuse after Clear), the lines stay dense and exact.
TEST(TIntervals, OutputMatchesDenseReference) {
  struct Case {
    const char* name;
    std::uint32_t granularity;
    std::vector<double> before;  // added, then cleared
    std::vector<double> values;
  };
  std::vector<double> runs;  // empty runs of 15, 16, 17, 4095 ... 10001 intervals
  double at = 10;
  for (int gap : {15, 16, 17, 1, 4095, 4096, 4097, 8193, 10001}) {
    runs.push_back(at);
    at += gap + 1;
  }
  runs.push_back(at);
  const Case cases[] = {
      {"far from zero", 1, {}, Range(94000, 95000, 37)},
      {"runs of zeros", 1, {}, runs},
      {"both signs", 100, {}, {-3.2, 0.5, -0.01, 7.77, 7.77, -3.2}},
      {"only negative", 1, {}, {-9000, -12}},
      {"grows below", 1, {}, {500, 400, 100, 3, -2, -700}},
      {"grows above", 100, {}, {0.01, 1, 50, 3000}},
      {"cleared then below", 1, Range(5000, 6000, 1), {20, 4000}},
      {"cleared then above", 1, {-50, 10}, {90000}},
      {"cleared then nothing", 1, {1, 2, 3}, {}},
      {"thirds", 3, {}, {-1.0 / 3, 2.5, 4}},
      {"sparse, descending, repeated",
       1,
       {},
       [] {
         std::vector<double> v = Range(0, 100000, 997);
         std::reverse(v.begin(), v.end());
         v.insert(v.end(), {-130, 997, 997, 64, 63, -64, -65});
         return v;
       }()},
  };
  for (const Case& c : cases) {
    TIntervals d(c.granularity);
    for (double v : c.before) d.PridejKDistribuci(v);
    d.Clear();
    for (double v : c.values) d.PridejKDistribuci(v);
    for (const std::string sep : {",", ", "}) {
      EXPECT_EQ(Output(d, sep), DenseReference(c.granularity, c.values, sep))
          << c.name << " '" << sep << "'";
    }
    std::ostringstream stream;
    d.WriteOutput(stream, ",", "\r\n");
    const auto expected = DenseReference(c.granularity, c.values, ",");
    EXPECT_EQ(stream.str(), expected[0] + "\r\n" + expected[1] + "\r\n") << c.name;
  }
}

TEST(TIntervals, SharedLabelsServeEveryRange) {
  TIntervals a(100), b(100), own(100);
  b.ShareLabels(a);
  own.ShareLabels(b);  // the same texts, whoever built them
  a.PridejKDistribuci(-0.05);
  EXPECT_EQ(Output(a)[0], "-0.05,-0.04,-0.03,-0.02,-0.01,");
  b.PridejKDistribuci(-0.4);
  b.PridejKDistribuci(0.2);
  own.PridejKDistribuci(0.03);
  EXPECT_EQ(Output(b), DenseReference(100, {-0.4, 0.2}, ","));
  EXPECT_EQ(Output(a), DenseReference(100, {-0.05}, ","));
  EXPECT_EQ(Output(own), DenseReference(100, {0.03}, ","));
  TIntervals other(1);
  other.ShareLabels(a);  // another granularity keeps its own labels
  other.PridejKDistribuci(2);
  EXPECT_EQ(Output(other)[0], "0,1,2,");
}

// The run's distribution may be summed from the documents'.
TEST(TIntervals, AddSumsCountersAndOmittedValues) {
  const std::vector<double> first{3, 140, 141, std::nan("")}, second{-2, 141, 900};
  TIntervals sum(1), one(1), all(1);
  for (const auto* values : {&first, &second}) {
    one.Clear();
    for (double v : *values) {
      one.PridejKDistribuci(v);
      all.PridejKDistribuci(v);
    }
    sum.Add(one);
  }
  sum.Add(TIntervals(1));
  EXPECT_EQ(Output(sum), Output(all));
  EXPECT_EQ(sum.GetOmittedCount(), 1u);
  EXPECT_EQ(sum.GetCount(141), 2u);
  EXPECT_THROW(sum.Add(TIntervals(100)), std::invalid_argument);
}

TEST(TIntervals, RejectsZeroGranularity) { EXPECT_THROW(TIntervals(0), std::invalid_argument); }

}  // namespace
}  // namespace tavora
