// Tests of TFont's point size and pixel height, out to the ends of the int range.
#include "platform/Font.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TFont, SizeAndHeightConvertAt96PixelsPerInch) {
  struct Case {
    int points;
    int height;  // after SetSize(points)
    int size;    // Size() read back
  };
  const Case cases[] = {
      {14, -19, 14},  {9, -12, 9},   {10, -13, 10},   {1, -1, 1},           {0, 0, 0},
      {-5, 7, -5},    {200, -267, 200},
      // Far sizes saturate instead of overflowing, and read back within range.
      {INT_MAX, -INT_MAX, 1610612735},  {INT_MIN, INT_MAX, -1610612735},
  };
  for (const Case& c : cases) {
    TFont font;
    font.SetSize(c.points);
    EXPECT_EQ(font.Height(), c.height) << c.points;
    EXPECT_EQ(font.Size(), c.size) << c.points;
  }
}

TEST(TFont, HeightStaysNegatable) {
  struct Case {
    int set;
    int height;
    int size;
  };
  const Case cases[] = {{-19, -19, 14}, {16, 16, -12}, {INT_MAX, INT_MAX, -1610612735}, {INT_MIN, -INT_MAX, 1610612735}};
  for (const Case& c : cases) {
    TFont font;
    font.SetHeight(c.set);
    EXPECT_EQ(font.Height(), c.height) << c.set;
    EXPECT_EQ(font.Size(), c.size) << c.set;
  }
}

}  // namespace
