// Drags, drops and the keyboard's context menu become the control's drag calls and WM_CONTEXTMENU.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/LossyCharacters.h"
#include "tests/qt/MessageBoxCloser.h"
#include "tests/qt/RecordingControl.h"

namespace {

class DragTest : public HostTest {
 protected:
  // Another program drags its text over the client point and drops it there.
  void DropFromAnotherProgram(const QMimeData& data, QPoint at) {
    const QPointF position = At(at.x(), at.y());
    QDragEnterEvent enter(position.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    Send(enter);
    EnterAccepted = enter.isAccepted();
    if (!EnterAccepted) return;
    QDropEvent drop(position, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    Send(drop);
    DropAction = drop.dropAction();
    // The text reaches the control once the other program has had its answer.
    QCoreApplication::processEvents();
  }
  std::vector<std::string> CallNames() const {
    std::vector<std::string> names;
    for (const TRecord& record : Control.Calls()) names.push_back(record.Call);
    return names;
  }

  bool EnterAccepted = false;
  Qt::DropAction DropAction = Qt::IgnoreAction;
};

TEST_F(DragTest, TextOfAnotherProgramIsDroppedAsCodePage932WithCrLf) {
  QMimeData data;
  data.setText(QString::fromUtf8("\xE3\x81\x82\nb"));
  DropFromAnotherProgram(data, QPoint(30, 40));
  ASSERT_TRUE(EnterAccepted);
  EXPECT_EQ(DropAction, Qt::CopyAction) << "the other program keeps its text";
  const std::vector<TRecord> calls = Control.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().Call, "dragdrop");
  EXPECT_EQ(calls.back().DroppedText, "\x82\xA0\r\nb");
  EXPECT_EQ(calls.back().X, 30);
  EXPECT_EQ(calls.back().Y, 40);
  EXPECT_EQ(calls.front().Call, "foreignover");
}

TEST_F(DragTest, LossyTextTheUserDeclinesLeavesInsteadOfDropping) {
  std::size_t asked = 0;
  Widget->setLossyTextHandler([&](const TLossyReport& report) {
    asked = report.Count;
    return false;
  });
  QMimeData data;
  data.setText(QString::fromUtf8("a\xF0\x9F\x98\x80"));
  DropFromAnotherProgram(data, QPoint(30, 40));
  EXPECT_EQ(asked, 1u);
  const std::vector<TRecord> calls = Control.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().Call, "foreignover");
  EXPECT_EQ(calls.back().DragState, TDragState::dsDragLeave);
  const std::vector<std::string> names = CallNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "dragdrop"), 0);
}

TEST_F(DragTest, TextThatArrivesEmptyIsReportedInsteadOfDroppingNothing) {
  const TMessageBoxCloser closer;
  QMimeData data;
  data.setData("text/plain", QByteArray());
  DropFromAnotherProgram(data, QPoint(30, 40));
  ASSERT_TRUE(EnterAccepted);
  EXPECT_THAT(closer.Shown.toStdString(), ::testing::HasSubstr("ドロップされたテキストを受け取れませんでした"));
  const std::vector<std::string> names = CallNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "dragdrop"), 0);
  EXPECT_EQ(Control.Calls().back().DragState, TDragState::dsDragLeave) << "the caret goes back";
}

TEST_F(DragTest, DroppedFilesAreLeftToTheWindowAround) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/song.lrc")});
  data.setText("/song.lrc");
  DropFromAnotherProgram(data, QPoint(30, 40));
  EXPECT_FALSE(EnterAccepted);
  EXPECT_TRUE(Control.Calls().empty());
}

TEST_F(DragTest, APressThatBeginsADragAndIsReleasedUnmovedDropsWhereItWasPressed) {
  Control.DragOnPress = "abc";
  QMouseEvent press(QEvent::MouseButtonPress, At(30, 40), Widget->mapToGlobal(At(30, 40)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  Send(press);
  QMouseEvent release(QEvent::MouseButtonRelease, At(31, 41), Widget->mapToGlobal(At(31, 41)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  Send(release);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"down", "dragdrop", "enddrag"}));
  const TRecord end = Control.Calls().back();
  EXPECT_TRUE(end.DroppedHere);
  EXPECT_EQ(end.X, 30);
  EXPECT_EQ(end.Y, 40);
}

TEST_F(DragTest, TheMenuKeyAndShiftF10AskForTheContextMenuInsteadOfTypingAKey) {
  Key(QEvent::KeyPress, Qt::Key_Menu);
  Key(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
  const std::vector<TRecord> menus = Control.Of({WM_CONTEXTMENU, WM_KEYDOWN, WM_SYSKEYDOWN});
  ASSERT_EQ(menus.size(), 2u);
  for (const TRecord& record : menus) {
    EXPECT_EQ(record.Msg, WM_CONTEXTMENU);
    EXPECT_EQ(static_cast<DWORD>(record.LParam), 0xFFFFFFFFu) << "asked from the keyboard";
  }
}

TEST_F(DragTest, TheMiddleButtonPastesThePrimarySelectionAtThePress) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) GTEST_SKIP() << "this platform has no primary selection";
  clipboard->setText("pri\nmary", QClipboard::Selection);
  QMouseEvent press(QEvent::MouseButtonPress, At(30, 40), Widget->mapToGlobal(At(30, 40)), Qt::MiddleButton,
                    Qt::MiddleButton, Qt::NoModifier);
  Send(press);
  const TRecord drop = Control.Calls().back();
  EXPECT_EQ(drop.Call, "dragdrop");
  EXPECT_EQ(drop.DroppedText, "pri\r\nmary");
}

}  // namespace
