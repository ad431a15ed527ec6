#include "buffer/field_buffer.h"
#include "buffer/variable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rekoda;

namespace {

// Splits a copy and returns the stored fields 0..result.
struct Split {
  long long last;
  std::vector<std::string> fields;
};

Split split(std::string line) {
  Split s{SplitRegel(line), {}};
  EXPECT_TRUE(line.empty()) << "the line is consumed";
  for (long long i = 0; i <= s.last && i < kSplitFields; ++i)
    s.fields.push_back(SplitFields[static_cast<size_t>(i)]);
  for (long long i = std::max<long long>(s.last + 1, 0); i < kSplitFields; ++i)
    EXPECT_EQ(SplitFields[static_cast<size_t>(i)], "") << "element " << i;
  return s;
}

using F = std::vector<std::string>;

}  // namespace

TEST(ResetBuf, emptiesEveryElementAndLineCount) {
  for (auto &row : FieldBuffer)
    for (auto &f : row)
      f = "x";
  LineCount = 7;
  SplitFields[3] = "kept";
  ResetBuf();
  EXPECT_EQ(LineCount, 0);
  for (const auto &row : FieldBuffer)
    for (const auto &f : row)
      ASSERT_EQ(f, "");
  EXPECT_EQ(SplitFields[3], "kept");
}

TEST(SplitRegel, commasSplitAndQuotesAreRemovedWhereverTheyStand) {
  auto s = split("1,2,3");
  EXPECT_EQ(s.last, 2);
  EXPECT_EQ(s.fields, (F{"1", "2", "3"}));

  s = split("12,\"AB,CD\",'XY'");
  EXPECT_EQ(s.last, 3);
  EXPECT_EQ(s.fields, (F{"12", "AB", "CD", "XY"}));

  s = split("a\"b'c,d\"\"");
  EXPECT_EQ(s.fields, (F{"abc", "d"}));
}

TEST(SplitRegel, emptyFieldsAndTrailingCommas) {
  EXPECT_EQ(split("a,,b").fields, (F{"a", "", "b"}));
  EXPECT_EQ(split(",a").fields, (F{"", "a"}));
  auto s = split("a,");
  EXPECT_EQ(s.last, 0);
  EXPECT_EQ(s.fields, F{"a"});
  s = split("a,,");
  EXPECT_EQ(s.last, 1);
  EXPECT_EQ(s.fields, (F{"a", ""}));
  s = split(",");
  EXPECT_EQ(s.last, 0);
  EXPECT_EQ(s.fields, F{""});
  EXPECT_EQ(split("ABC").fields, F{"ABC"});
}

TEST(SplitRegel, noFieldsInEmptyOrQuoteOnlyLine) {
  EXPECT_EQ(split("").last, -1);
  EXPECT_EQ(split("\"''\"\"").last, -1);
}

TEST(SplitRegel, spacesAreKept) {
  EXPECT_EQ(split(" a , b ").fields, (F{" a ", " b "}));
}

TEST(SplitRegel, fieldsBeyond76AreCountedNotStored) {
  std::string line;
  for (int i = 0; i < 80; ++i)
    line += (i ? "," : "") + std::to_string(i);
  auto s = split(line);
  EXPECT_EQ(s.last, 79);
  ASSERT_EQ(s.fields.size(), 76u);
  EXPECT_EQ(s.fields.front(), "0");
  EXPECT_EQ(s.fields.back(), "75");
}

TEST(SplitRegel, longLinesHaveNoPositionLimit) {
  // Quotes and commas far beyond 32,767 characters.
  std::string line = std::string(40000, 'a') + "\"," + std::string(40000, 'b') + "',c";
  auto s = split(line);
  EXPECT_EQ(s.last, 2);
  EXPECT_EQ(s.fields[0], std::string(40000, 'a'));
  EXPECT_EQ(s.fields[1], std::string(40000, 'b'));
  EXPECT_EQ(s.fields[2], "c");
}

TEST(SplitRegel, earlierLineLeavesNothingBehind) {
  split("a,b,c,d");
  auto s = split("x");
  EXPECT_EQ(s.fields, F{"x"});  // split() also checks elements 1.. are empty
}
