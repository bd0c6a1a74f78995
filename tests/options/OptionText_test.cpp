#include "options/OptionText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tavora {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(ReadFloat, ReadsDecimalNumbersWithAPeriod) {
  const struct {
    std::u16string text;
    double value;
  } cases[] = {
      {u"3", 3.0},       {u"2.5", 2.5}, {u" 1.5 ", 1.5},  {u"-0.5", -0.5},
      {u"+4", 4.0},      {u".5", 0.5},  {u"1.", 1.0},     {u"1e2", 100.0},
      {u"2.5E-1", 0.25}, {u"0", 0.0},   {u"1e-400", 0.0}, {u"007", 7.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(ReadFloat(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ReadFloat, RejectsOtherTextsWithTheConversionMessage) {
  const struct {
    std::u16string text;
    const char* message;
  } cases[] = {
      {u"", "'' is not a valid floating point value"},
      {u"abc", "'abc' is not a valid floating point value"},
      {u"2,5", "'2,5' is not a valid floating point value"},
      {u"1.2.3", "'1.2.3' is not a valid floating point value"},
      {u"1e", "'1e' is not a valid floating point value"},
      {u"1e999", "'1e999' is not a valid floating point value"},
      {u"-", "'-' is not a valid floating point value"},
      {u".", "'.' is not a valid floating point value"},
      {u"inf", "'inf' is not a valid floating point value"},
      {u"nan", "'nan' is not a valid floating point value"},
      {u"1 000", "'1 000' is not a valid floating point value"},
      {u"0x10", "'0x10' is not a valid floating point value"},
      {u"\u00e9", "'\xc3\xa9' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT([&] { (void)ReadFloat(c.text); }, ThrowsMessage<EConvertError>(StrEq(c.message)));
  }
}

TEST(ReadIntegerField, NonIntegersCountAsTheLowerBoundAndValuesAreClamped) {
  const struct {
    std::u16string text;
    int expected;
  } cases[] = {
      {u"200", 200},
      {u" 42 ", 42},
      {u"+15", 15},
      {u"5", 10},
      {u"-3", 10},
      {u"2000000", 1000000},
      {u"1000000", 1000000},
      {u"10", 10},
      {u"abc", 10},
      {u"", 10},
      {u"12a", 10},
      {u"1.5", 10},
      {u"99999999999999999999", 1000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadIntegerField(c.text, 10, 1000000), c.expected)
        << std::string(c.text.begin(), c.text.end());
  }
  EXPECT_EQ(ReadIntegerField(u"0", 0, 128), 0);
}

}  // namespace
}  // namespace tavora
