// Tests of TURLLabel: colours under the mouse and opening of the link.
#include "widgets/URLLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <vector>

namespace {

constexpr TColor kNormal = clNavy;

class URLLabelTest : public ::testing::Test {
 protected:
  URLLabelTest() {
    FLabel.setGeometry(20, 44, 169, 12);
    FLabel.setText("https://example.com/lyrics");
    FLabel.SetFontColor(kNormal);
    FLabel.SetHotColor(clLime);
    FLabel.SetOpener([this](const QUrl& url) {
      FOpened.push_back(url);
      return false;
    });
  }

  void Enter() {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(25, 49));
    QApplication::sendEvent(&FLabel, &event);
  }
  void Leave() {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&FLabel, &event);
  }
  void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(FLabel.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&FLabel, &event);
  }

  TURLLabel FLabel;
  std::vector<QUrl> FOpened;
};

TEST_F(URLLabelTest, StartsWithTheLinkLookAndNoOpening) {
  TURLLabel label;
  EXPECT_EQ(label.HotColor(), clAqua);
  EXPECT_EQ(label.PushedColor(), clRed);
  EXPECT_TRUE(label.HotTrack());
  EXPECT_FALSE(label.Executable());
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);

  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  EXPECT_TRUE(FOpened.empty());
}

TEST_F(URLLabelTest, HoverShowsHotColourAndLeaveRestoresNormal) {
  Enter();
  EXPECT_EQ(FLabel.FontColor(), clLime);
  Leave();
  EXPECT_EQ(FLabel.FontColor(), kNormal);
}

TEST_F(URLLabelTest, AnyButtonOpensTheCaptionAndShowsPushedColour) {
  FLabel.SetExecutable(true);
  Enter();
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
  EXPECT_EQ(FLabel.FontColor(), clRed);
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(5, 5));
  Mouse(QEvent::MouseButtonPress, Qt::MiddleButton, QPoint(5, 5));
  ASSERT_EQ(FOpened.size(), 2u);
  EXPECT_EQ(FOpened[0], QUrl("https://example.com/lyrics"));
  EXPECT_EQ(FOpened[1], QUrl("https://example.com/lyrics"));
}

TEST_F(URLLabelTest, ReleaseInsideShowsHotReleaseOutsideRestoresNormal) {
  Enter();
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(168, 11));
  EXPECT_EQ(FLabel.FontColor(), clLime);

  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(169, 5));
  EXPECT_EQ(FLabel.FontColor(), kNormal);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, -1));
  EXPECT_EQ(FLabel.FontColor(), kNormal);
}

TEST_F(URLLabelTest, WithoutHotTrackColourNeverChangesButLinkStillOpens) {
  FLabel.SetHotTrack(false);
  FLabel.SetExecutable(true);
  Enter();
  EXPECT_EQ(FLabel.FontColor(), kNormal);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
  EXPECT_EQ(FLabel.FontColor(), kNormal);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
  EXPECT_EQ(FLabel.FontColor(), kNormal);
  Leave();
  EXPECT_EQ(FLabel.FontColor(), kNormal);
  EXPECT_EQ(FOpened.size(), 1u);
}

}  // namespace
