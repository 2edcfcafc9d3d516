// The caret's hide counting and the scroll bar's range rules that every backend shares.
#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "platform/WindowState.h"

namespace {

TEST(CaretState, HidesAccumulateAndShowsNeverGoBelowNone) {
  TCaretState caret;
  EXPECT_FALSE(caret.Show());  // nothing to show before creation
  caret.Create(2, 16);
  EXPECT_FALSE(caret.Visible());  // a new caret is hidden once
  EXPECT_TRUE(caret.Show());
  EXPECT_FALSE(caret.Show());  // a shown caret stays shown, no credit is kept
  EXPECT_TRUE(caret.Hide());
  EXPECT_FALSE(caret.Hide());
  EXPECT_FALSE(caret.Show());
  EXPECT_FALSE(caret.Visible());  // one hide is still pending
  EXPECT_TRUE(caret.Show());
  EXPECT_TRUE(caret.Visible());
  caret.MoveTo(30, 40);
  EXPECT_EQ(caret.X(), 30);
  EXPECT_EQ(caret.Y(), 40);
  caret.Create(3, 10);  // a new caret replaces the old one, hidden again
  EXPECT_FALSE(caret.Visible());
  EXPECT_EQ(caret.Width(), 3);
  EXPECT_EQ(caret.X(), 0);
  caret.Destroy();
  EXPECT_FALSE(caret.Created());
  EXPECT_FALSE(caret.Hide());
}

TEST(ScrollBarState, ThumbStaysInsideTheRange) {
  TScrollBarState bar;
  bar.SetRange(0, 10);
  EXPECT_EQ(bar.SetPos(7), 0);
  EXPECT_EQ(bar.SetPos(25), 7);
  EXPECT_EQ(bar.Pos, 10);
  bar.SetRange(0, 4);
  EXPECT_EQ(bar.Pos, 4);
  bar.SetRange(5, 5);
  EXPECT_EQ(bar.Pos, 5);
  bar.SetRange(3, 1);  // an inverted range holds its minimum only
  EXPECT_EQ(bar.Pos, 3);
  EXPECT_EQ(bar.SetPos(9), 3);
  EXPECT_EQ(bar.Pos, 3);
}

TEST(ScrollBarState, OnlyDisablingBothArrowsDisables) {
  TScrollBarState bar;
  bar.Enable(ESB_DISABLE_BOTH);
  EXPECT_FALSE(bar.Enabled);
  bar.Enable(1);  // one arrow alone
  EXPECT_TRUE(bar.Enabled);
}

}  // namespace
