#include "engine/TEditDistance.h"

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace tavora {
namespace {

TEST(RelativeEditDistance, KnownPairs) {
  struct Row {
    std::u16string a, b;
    double d;
  };
  const Row rows[] = {
      {u"house", u"mouse", 0.2},
      {u"a", u"ab", 0.5},
      {u"word", u"word", 0},
      {u"", u"abc", 1},
      {u"abc", u"", 1},
      {u"", u"", 0},
      {u"kitten", u"sitting", 3.0 / 7},
      {u"Abc", u"abc", 1.0 / 3},  // case counts
      {u"\U0001F600", u"x", 1},   // two UTF-16 units against one
  };
  TEditDistance fast;
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(RelativeEditDistance(row.a, row.b), row.d) << "d(a, b)";
    EXPECT_DOUBLE_EQ(RelativeEditDistance(row.b, row.a), row.d) << "d(b, a)";
    fast.SetPattern(row.a);
    EXPECT_DOUBLE_EQ(fast.RelativeTo(row.b), row.d);
  }
}

TEST(TEditDistance, BitParallelAgreesWithTwoRowsAcrossLengths) {
  std::mt19937 rng(7);
  TEditDistance fast;
  for (int round = 0; round < 3000; ++round) {
    auto make = [&] {
      std::u16string s(rng() % 90, u'a');
      for (auto& c : s) c = static_cast<char16_t>(u'a' + rng() % 4 + (rng() % 9 == 0 ? 0x100 : 0));
      return s;
    };
    const std::u16string a = make();
    const std::u16string b = make();
    fast.SetPattern(a);
    ASSERT_EQ(fast.DistanceTo(b), Levenshtein(a, b)) << a.size() << " " << b.size();
  }
}

TEST(TEditDistance, BatchGivesTheSameValuesAsOneByOne) {
  // Batches of every size around the group of four, texts of unequal lengths
  // (empty ones too), patterns up to and beyond 64 units.
  std::mt19937 rng(13);
  auto make = [&](std::size_t maxLength) {
    std::u16string s(rng() % (maxLength + 1), u'a');
    for (auto& c : s) c = static_cast<char16_t>(u'a' + rng() % 5 + (rng() % 11 == 0 ? 0x400 : 0));
    return s;
  };
  TEditDistance batch;
  TEditDistance single;
  for (int round = 0; round < 2000; ++round) {
    const std::u16string pattern = make(round % 10 == 0 ? 80 : 12);
    std::vector<std::u16string> texts(rng() % 11);
    for (auto& t : texts) t = make(rng() % 3 == 0 ? 70 : 10);
    const std::vector<std::u16string_view> views(texts.begin(), texts.end());
    std::vector<double> out(views.size(), -1);
    batch.SetPattern(pattern);
    batch.RelativeToMany(views.data(), views.size(), out.data());
    single.SetPattern(pattern);
    for (std::size_t i = 0; i < views.size(); ++i) {
      ASSERT_EQ(out[i], single.RelativeTo(views[i])) << pattern.size() << " " << views[i].size();
      ASSERT_EQ(out[i], RelativeEditDistance(pattern, views[i]));
    }
  }
}

}  // namespace
}  // namespace tavora
