// The editor control in the Qt host: it paints into the pixmap, gets a caret, and a preedit leaves its text alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QFocusEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>

#include "editor/RyxEdit.h"
#include "platform/CodePage.h"
#include "platform/qt/ControlHostWidget.h"

namespace {

class RyxEditHost : public ::testing::Test {
 protected:
  void SetUp() override {
    Edit.SetColor(RGB(0xF0, 0xE8, 0xD0));
    Widget = std::make_unique<ControlHostWidget>(Edit);
    Widget->resize(320, 200);
    Widget->createWindow();
    Edit.SetAllText(UnicodeToAnsi(u"春はあけぼの。\r\nやうやう白くなりゆく山ぎは、\r\n少しあかりて"));
  }
  void TearDown() override { Widget.reset(); }

  TRyxEdit Edit;
  std::unique_ptr<ControlHostWidget> Widget;
};

TEST_F(RyxEditHost, PaintsItsBackgroundIntoThePixmap) {
  Widget->InvalidateRect(nullptr);
  Widget->grab();
  const QImage pixmap = Widget->canvas().pixmap().toImage();
  ASSERT_EQ(pixmap.size(), QSize(Widget->ClientWidth(), Widget->ClientHeight()));
  const QColor background(0xF0, 0xE8, 0xD0);
  EXPECT_EQ(pixmap.pixelColor(0, 0), background);
  EXPECT_EQ(pixmap.pixelColor(pixmap.width() - 1, pixmap.height() - 1), background);
  EXPECT_FALSE(Widget->scrollBar(SB_VERT)->isHidden());
  EXPECT_EQ(Edit.FontHeight(), Widget->canvas().GetTextMetrics().tmHeight);
}

TEST_F(RyxEditHost, FocusGivesACaretOfTheFontHeight) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QCoreApplication::sendEvent(Widget.get(), &in);
  EXPECT_TRUE(Widget->caretVisible());
  EXPECT_EQ(Widget->caretRect().height(), Edit.FontHeight());
  EXPECT_EQ(Widget->caretRect().width(), 2);
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(Widget.get(), &out);
  EXPECT_FALSE(Widget->caretVisible());
}

TEST_F(RyxEditHost, PreeditNeverTouchesTheDocument) {
  const std::string before = Edit.GetAllText();
  QInputMethodEvent preedit(QString::fromUtf8("にほんご😀"), {});
  QCoreApplication::sendEvent(Widget.get(), &preedit);
  Widget->grab();
  EXPECT_EQ(Edit.GetAllText(), before);
  EXPECT_FALSE(Edit.Modified());
  EXPECT_EQ(Widget->preeditText(), QString::fromUtf8("にほんご😀"));
}

// A click during a composition commits the preedit once, however late the
// input method's own answer to the commit request comes.
TEST_F(RyxEditHost, AClickDuringACompositionInsertsThePreeditOnce) {
  Edit.SetAllText("ab");
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QCoreApplication::sendEvent(Widget.get(), &in);
  QInputMethodEvent preedit(QString::fromUtf8("かな"), {});
  QCoreApplication::sendEvent(Widget.get(), &preedit);
  const QPointF at(Widget->clientRect().topLeft() + QPoint(Edit.TextLeft() + 1, Edit.TopMargin() + 2));
  for (int click = 0; click < 3; ++click) {
    QMouseEvent press(QEvent::MouseButtonPress, at, Widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(Widget.get(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, Widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(Widget.get(), &release);
    if (click == 0) {
      QInputMethodEvent late;
      late.setCommitString(QString::fromUtf8("かな"));
      QCoreApplication::sendEvent(Widget.get(), &late);
    }
  }
  EXPECT_EQ(Edit.GetAllText(), UnicodeToAnsi(u"かなab"));
  EXPECT_TRUE(Widget->preeditText().isEmpty());
}

// A move to another line that scrolls the view by a few rows moves the
// pixels and paints only the rows it uncovers: after each step the pixmap,
// and the window as shown, are what a whole repaint draws, with line numbers
// and wrapped rows, down and up, to the text's end, and after a tag put in
// before the move, as timing does.
TEST_F(RyxEditHost, ScrollingByRowsLeavesWhatAWholeRepaintDraws) {
  struct TCase {
    const char* Name;
    bool LineNumbers;
    bool Wrap;
    int StartLine;
    int Step;  // rows the caret goes on by
    bool Tag;  // a time tag put at the line's start before each move
  };
  const TCase cases[] = {
      {"down a row at a time", false, false, 0, 1, false},
      {"down two rows with line numbers", true, false, 0, 2, false},
      {"down over wrapped rows to the end", true, true, 0, 1, false},
      {"up a row at a time", true, false, 39, -1, false},
      {"a tag, then down a row", true, false, 0, 1, true},
      {"a tag, then down over wrapped rows", false, true, 0, 1, true},
  };
  std::string text;
  for (int line = 1; line <= 40; ++line)
    text += UnicodeToAnsi(u"歌詞の") + std::to_string(line) + (line % 3 == 0 ? std::string(60, 'w') : "") + "\r\n";
  // With a caret that stays on, which the window draws over the pixels it moves.
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  QGuiApplication::styleHints()->setCursorFlashTime(0);
  Widget->show();
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QCoreApplication::sendEvent(Widget.get(), &in);
  // What the window shows: its pixels in the window's backing store, where the paints went.
  const auto shownOnScreen = [this] {
    QApplication::processEvents();
    const auto* screen = static_cast<const QImage*>(Widget->backingStore()->paintDevice());
    return screen->copy(QRect(QPoint(0, 0), Widget->size() * screen->devicePixelRatio()));
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Edit.SetShowLineNumber(c.LineNumbers);
    Edit.SetWordWrap(c.Wrap);
    Edit.SetAllText(text);
    Edit.MoveCaretTo(c.StartLine, 0);
    Widget->InvalidateRect(nullptr);
    Widget->grab();
    QApplication::processEvents();
    const int top = Edit.TopLine();
    for (int line = c.StartLine + c.Step; line >= 0 && line < Edit.Lines().Count(); line += c.Step) {
      if (c.Tag) Edit.ReplaceText({Edit.CaretLine(), 0}, {Edit.CaretLine(), 0}, "[00:01.00]");
      Edit.MoveCaretTo(line, 0);
      const QImage onScreen = shownOnScreen();
      const QImage shown = Widget->canvas().pixmap().toImage();
      Widget->InvalidateRect(nullptr);
      const QImage whole = Widget->grab().toImage().convertToFormat(onScreen.format());
      // The whole repaint asked for is shown now, before the next step.
      QApplication::processEvents();
      ASSERT_EQ(shown, Widget->canvas().pixmap().toImage()) << "at row " << line << ", top row " << Edit.TopLine();
      ASSERT_EQ(onScreen, whole) << "shown at row " << line << ", top row " << Edit.TopLine();
    }
    EXPECT_NE(Edit.TopLine(), top);
  }
  EXPECT_TRUE(Widget->caretVisible());
  QGuiApplication::styleHints()->setCursorFlashTime(flash);
}

}  // namespace
