#include "engine/TTypeIndex.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tavora {
namespace {

// Texts around the 11 units a key holds: equal prefixes, equal lengths,
// one unit apart, very long, non-ASCII and empty.
std::vector<std::u16string> TrickyTexts() {
  const std::u16string eleven = u"abcdefghijk";
  return {u"",
          u"a",
          u"b",
          u"ab",
          u"ba",
          eleven,
          eleven + u"l",
          eleven + u"m",
          eleven + u"lm",
          eleven + u"ml",
          std::u16string(u"abcdefghij") + u"x",
          u"\u00FC\u00DF\u4E2D",
          std::u16string(u"\u00FC\u00DF\u4E2D") + std::u16string(1, u'\0'),
          std::u16string(70000, u'z'),
          std::u16string(70001, u'z'),
          std::u16string(69999, u'z') + u"y"};
}

TEST(TTypeIndex, TextsAroundTheInlinePartGetTheirOwnIds) {
  TTypeIndex index;
  const auto texts = TrickyTexts();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    bool inserted = false;
    EXPECT_EQ(index.FindOrInsert(texts[i], inserted), i);
    EXPECT_TRUE(inserted) << i;
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    bool inserted = true;
    EXPECT_EQ(index.FindOrInsert(texts[i], inserted), i);
    EXPECT_FALSE(inserted) << i;
    EXPECT_EQ(index.Find(texts[i]), i);
    EXPECT_EQ(index.Text(static_cast<std::uint32_t>(i)), texts[i]);
  }
  EXPECT_EQ(index.Find(u"abcdefghijkn"), TTypeIndex::kAbsent);
  EXPECT_EQ(index.Find(u"abcdefghij"), TTypeIndex::kAbsent);
}

TEST(TTypeIndex, KeepsIdsWhileGrowingAndForgetsOnClear) {
  TTypeIndex index;
  std::vector<std::u16string> texts;
  for (int i = 0; i < 20000; ++i)
    texts.push_back(u"w" + std::u16string(i % 17, u'-') +
                    std::u16string(1, static_cast<char16_t>(0x4E00 + i)));
  bool inserted = false;
  for (std::size_t i = 0; i < texts.size(); ++i)
    ASSERT_EQ(index.FindOrInsert(texts[i], inserted), i);
  EXPECT_EQ(index.Size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(index.Find(texts[i]), i);
  index.Clear();
  EXPECT_EQ(index.Size(), 0u);
  EXPECT_EQ(index.Find(texts[5]), TTypeIndex::kAbsent);
  EXPECT_EQ(index.FindOrInsert(texts[5], inserted), 0u);
  EXPECT_TRUE(inserted);
}

}  // namespace
}  // namespace tavora
