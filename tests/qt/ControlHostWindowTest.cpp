// The window services: caret, paint messages, scrolled pixels, size, focus, timers, clipboard, colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QImage>
#include <QScrollBar>

#include "platform/CodePage.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtSystemColors.h"
#include "platform/qt/QtCursors.h"
#include "tests/qt/MessageBoxCloser.h"
#include "tests/qt/RecordingControl.h"

namespace {

// Runs the event loop until done() holds or two seconds have passed.
template <typename Done>
bool ProcessUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

void Pump(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST_F(HostTest, CaretShowsOnlyWhenShownOnceMoreThanHidden) {
  EXPECT_FALSE(Widget->caretVisible());
  Widget->ShowCaret();
  EXPECT_FALSE(Widget->caretVisible()) << "no caret yet";
  ASSERT_TRUE(Widget->CreateCaret(2, 16));
  EXPECT_FALSE(Widget->caretVisible()) << "a new caret is hidden";
  Widget->ShowCaret();
  EXPECT_TRUE(Widget->caretVisible());
  Widget->HideCaret();
  Widget->HideCaret();
  Widget->ShowCaret();
  EXPECT_FALSE(Widget->caretVisible()) << "two hides need two shows";
  Widget->ShowCaret();
  EXPECT_TRUE(Widget->caretVisible());
  Widget->ShowCaret();  // a shown caret stays at the bottom of the count
  Widget->HideCaret();
  EXPECT_FALSE(Widget->caretVisible());
  Widget->ShowCaret();
  Widget->DestroyCaret();
  EXPECT_FALSE(Widget->caretVisible());
}

TEST_F(HostTest, CaretIsDrawnInvertedOverThePixmap) {
  Widget->canvas().SetBrushColor(clWhite);
  Widget->canvas().FillRect(TRect{0, 0, Widget->ClientWidth(), Widget->ClientHeight()});
  Widget->CreateCaret(2, 16);
  Widget->SetCaretPos(20, 10);
  const QPoint inside = Widget->clientRect().topLeft() + QPoint(21, 20);
  const QPoint beside = Widget->clientRect().topLeft() + QPoint(22, 20);
  EXPECT_EQ(QColor(Widget->grab().toImage().pixel(inside)), QColor(Qt::white)) << "hidden";
  Widget->ShowCaret();
  const QImage shown = Widget->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(inside)), QColor(Qt::black));
  EXPECT_EQ(QColor(shown.pixel(beside)), QColor(Qt::white)) << "two pixels wide";
  EXPECT_EQ(Widget->canvas().pixmap().toImage().pixelColor(21, 20), QColor(Qt::white)) << "never in the pixmap";
}

TEST_F(HostTest, InvalidatedAreaIsRepaintedByAPaintMessageClippedToIt) {
  Widget->canvas().SetBrushColor(clWhite);
  Widget->canvas().FillRect(TRect{0, 0, Widget->ClientWidth(), Widget->ClientHeight()});
  Widget->grab();
  Control.Records.clear();
  Control.OnMessage = [&](TMessage& message) {
    if (message.Msg != WM_PAINT) return;
    Widget->canvas().SetBrushColor(clRed);
    Widget->canvas().FillRect(TRect{0, 0, Widget->ClientWidth(), Widget->ClientHeight()});
  };
  Widget->grab();
  EXPECT_TRUE(Control.Of({WM_PAINT}).empty()) << "nothing was invalidated";
  const TRect area{10, 10, 20, 20};
  Widget->InvalidateRect(&area);
  Widget->grab();
  EXPECT_EQ(Control.Of({WM_PAINT}).size(), 1u);
  const QImage pixmap = Widget->canvas().pixmap().toImage();
  EXPECT_EQ(pixmap.pixelColor(15, 15), QColor(Qt::red));
  EXPECT_EQ(pixmap.pixelColor(25, 15), QColor(Qt::white)) << "outside the invalidated area";
  Widget->grab();
  EXPECT_EQ(Control.Of({WM_PAINT}).size(), 1u) << "painted once";
}

TEST_F(HostTest, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip) {
  QtCanvas& canvas = Widget->canvas();
  canvas.SetBrushColor(clWhite);
  canvas.FillRect(TRect{0, 0, Widget->ClientWidth(), Widget->ClientHeight()});
  canvas.SetBrushColor(clBlue);
  canvas.FillRect(TRect{50, 10, 60, 20});
  Widget->grab();
  std::vector<QRect> painted;
  Control.OnMessage = [&](TMessage& message) {
    if (message.Msg == WM_PAINT) painted.push_back(QRect(0, 0, 1, 1));
  };
  const TRect area{10, 0, 200, 100};
  Widget->ScrollWindow(-20, 0, &area, &area);
  const QImage pixmap = canvas.pixmap().toImage();
  EXPECT_EQ(pixmap.pixelColor(35, 15), QColor(Qt::blue));
  EXPECT_EQ(pixmap.pixelColor(55, 15), QColor(Qt::white));
  EXPECT_EQ(pixmap.pixelColor(5, 15), QColor(Qt::white)) << "left of the scrolled area";
  Widget->grab();
  EXPECT_EQ(painted.size(), 1u) << "the uncovered strip is repainted";
}

TEST_F(HostTest, ResizeSendsTheNewClientSize) {
  // A hidden widget hears of its new size only when it is shown.
  Widget->show();
  Control.Records.clear();
  Widget->resize(400, 250);
  const std::vector<TRecord> sizes = Control.Of({WM_SIZE});
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LoWord(static_cast<WPARAM>(sizes[0].LParam)), Widget->ClientWidth());
  EXPECT_EQ(HiWord(static_cast<WPARAM>(sizes[0].LParam)), Widget->ClientHeight());
  EXPECT_EQ(Widget->canvas().size(), QSize(Widget->ClientWidth(), Widget->ClientHeight()));
  const int extent = Widget->GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(Widget->ClientWidth(), 400 - 4 - extent);
  EXPECT_EQ(Widget->ClientHeight(), 250 - 4 - Widget->GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(Widget->Width(), 400);
}

TEST(HostWindow, CreatingTheWindowSendsCreateThenSize) {
  TRecordingControl control;
  control.Params = TCreateParams{WS_VSCROLL, 0};
  ControlHostWidget widget(control);
  widget.resize(120, 80);
  widget.createWindow();
  ASSERT_GE(control.Records.size(), 2u);
  EXPECT_EQ(control.Records[0].Msg, UINT{WM_CREATE});
  const std::vector<TRecord> sizes = control.Of({WM_SIZE});
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LoWord(static_cast<WPARAM>(sizes[0].LParam)), 120 - widget.GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(widget.clientRect().topLeft(), QPoint(0, 0)) << "no client edge asked for";
  EXPECT_TRUE(widget.scrollBar(SB_HORZ)->isHidden());
  // A window re-created later hears its size at once too.
  control.Records.clear();
  control.RecreateWnd();
  EXPECT_EQ(control.Of({WM_SIZE}).size(), 1u);
}

TEST_F(HostTest, FocusBecomesSetFocusAndKillFocusOnce) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
  Send(in);
  Send(popup);
  Send(in);
  Send(out);
  std::vector<UINT> ids;
  for (const TRecord& record : Control.Of({WM_SETFOCUS, WM_KILLFOCUS})) ids.push_back(record.Msg);
  EXPECT_EQ(ids, (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS}));
}

TEST_F(HostTest, TimersTickWhileEnabledAndStopWhenDetached) {
  TTimer timer;
  int ticks = 0;
  timer.SetInterval(5);
  timer.SetOnTimer([&] { ++ticks; });
  Widget->AttachTimer(timer);
  EXPECT_TRUE(ProcessUntil([&] { return ticks >= 2; }));
  timer.SetEnabled(false);
  const int stopped = ticks;
  Pump(50);
  EXPECT_EQ(ticks, stopped);
  timer.SetEnabled(true);
  EXPECT_TRUE(ProcessUntil([&] { return ticks > stopped; }));
  Widget->DetachTimer(timer);
  const int detached = ticks;
  timer.SetInterval(10);  // no host listens any more
  Pump(50);
  EXPECT_EQ(ticks, detached);
}

TEST_F(HostTest, ClipboardCarriesJapaneseTextBothWays) {
  const std::string text = UnicodeToAnsi(u"歌詞\r\nｶﾀｶﾅ and ～");
  ASSERT_TRUE(Widget->SetClipboardText(text));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("歌詞\nｶﾀｶﾅ and ～"))
      << "the platform's line breaks on the clipboard";
  std::string back;
  ASSERT_TRUE(Widget->GetClipboardText(back));
  EXPECT_EQ(back, text);

  QGuiApplication::clipboard()->setText(QString::fromUtf8("一\n二\r三😀"));
  ASSERT_TRUE(Widget->GetClipboardText(back));
  EXPECT_EQ(back, UnicodeToAnsi(u"一\r\n二\r\n三?"));

  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(Widget->GetClipboardText(back));
}

TEST_F(HostTest, SystemColoursComeFromThePalette) {
  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Highlight, QColor(10, 20, 30));
  palette.setColor(QPalette::Button, QColor(40, 50, 60));
  QApplication::setPalette(palette);
  EXPECT_EQ(ColorToRGB(clWindow), RGB(1, 2, 3));
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 20, 30));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(40, 50, 60));
  EXPECT_EQ(ColorToRGB(clWindowText), ColorFromQColor(palette.color(QPalette::Text)));
  EXPECT_EQ(ColorToRGB(RGB(7, 8, 9)), RGB(7, 8, 9));
  QApplication::setPalette(saved);
}

TEST_F(HostTest, CursorsMapToQtShapesAndTheDragCursorsToOurImages) {
  Widget->SetCursor(crIBeam);
  EXPECT_EQ(Widget->cursor().shape(), Qt::IBeamCursor);
  for (const TCursor drag : {crDragMove, crDragCopy}) {
    Widget->SetCursor(drag);
    const QCursor shown = Widget->cursor();
    EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
    EXPECT_EQ(shown.pixmap().toImage(), CursorPixmap(drag).toImage());
    EXPECT_EQ(shown.hotSpot(), QPoint(16, 16)) << "the arrow's tip";
  }
  EXPECT_NE(CursorPixmap(crDragMove).toImage(), CursorPixmap(crDragCopy).toImage());
  Widget->SetCursor(crHandPoint);
  EXPECT_EQ(Widget->cursor().shape(), Qt::PointingHandCursor);
  Widget->SetCursor(crArrow);
  EXPECT_EQ(Widget->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(Widget->scrollBar(SB_VERT)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(HostTest, ExceptionOfAPaintMessageReachesTheEventLoopAfterThePaint) {
  Control.OnMessage = [](TMessage& message) {
    if (message.Msg == WM_PAINT) throw std::runtime_error("paint failed");
  };
  Widget->InvalidateRect(nullptr);
  Widget->grab();
  EXPECT_THROW(QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall), std::runtime_error);
}

TEST_F(HostTest, MessageBoxShowsTheTextAndAnswersOk) {
  const TMessageBoxCloser closer;
  EXPECT_EQ(Widget->MessageBox("Error:OC002\rあ", "", MB_OK), IDOK);
  EXPECT_EQ(closer.Shown, QString::fromUtf8("Error:OC002\nあ"));
}

TEST_F(HostTest, DestroyingTheWidgetDestroysTheControlsWindow) {
  Widget.reset();
  EXPECT_FALSE(Control.HandleAllocated());
  EXPECT_EQ(Control.Records.back().Msg, UINT{WM_DESTROY});
}

}  // namespace
