// The command line's names and option mapping, without running the program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliNames.h"

namespace tavora {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(CliNames, IndexListsByName) {
  for (const tIndex i : TIndexSet::All()) EXPECT_EQ(FindIndex(IndexName(i)), i);
  EXPECT_EQ(FindIndex("MTLD"), std::nullopt);
  EXPECT_EQ(ParseIndexList("mtld"), TIndexSet{tIndex::ixMTLD});
  EXPECT_EQ(ParseIndexList("cttr, hdd,mtld"),
            (TIndexSet{tIndex::ixMTLD, tIndex::ixHDD, tIndex::ixCTTR}));
  EXPECT_THAT([] { (void)ParseIndexList("mtld,ttr"); },
              ThrowsMessage<std::invalid_argument>(
                  StrEq("Unknown index 'ttr' (known indices: mtld, mtld-ma, hdd, msttr, yule-k, "
                        "yule-i, simpson-d, herdan-vm, maas, dugast, summer, cttr)")));
  EXPECT_THROW((void)ParseIndexList(""), std::invalid_argument);
  EXPECT_THROW((void)ParseIndexList("mtld,"), std::invalid_argument);
}

}  // namespace
}  // namespace tavora
