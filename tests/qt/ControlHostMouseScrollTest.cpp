// Mouse, wheel and scroll-bar events become the control's mouse virtuals, WM_MOUSEWHEEL and WM_VSCROLL/WM_HSCROLL.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "tests/qt/RecordingControl.h"

namespace {

class MouseTest : public HostTest {
 protected:
  void Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, Widget->mapToGlobal(at), button, buttons, modifiers);
    Send(event);
  }
  void Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int sideways = 0) {
    QWheelEvent event(At(10, 10), Widget->mapToGlobal(At(10, 10)), QPoint(), QPoint(sideways, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    Send(event);
  }
  std::vector<short> WheelDeltas() const {
    std::vector<short> deltas;
    for (const TRecord& record : Control.Of({WM_MOUSEWHEEL}))
      deltas.push_back(static_cast<short>(HiWord(record.WParam)));
    return deltas;
  }
  // The scroll messages sent so far as (message, code, position).
  std::vector<std::tuple<UINT, WORD, WORD>> Scrolls() const {
    std::vector<std::tuple<UINT, WORD, WORD>> out;
    for (const TRecord& record : Control.Of({WM_VSCROLL, WM_HSCROLL}))
      out.emplace_back(record.Msg, LoWord(record.WParam), HiWord(record.WParam));
    return out;
  }
};

TEST_F(MouseTest, PressMoveReleaseInClientCoordinates) {
  Mouse(QEvent::MouseButtonPress, At(30, 40), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  Mouse(QEvent::MouseMove, At(35, 41), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  Mouse(QEvent::MouseButtonRelease, At(36, 42), Qt::LeftButton, Qt::NoButton);
  const std::vector<TRecord> calls = Control.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Call, "down");
  EXPECT_EQ(calls[0].Button, TMouseButton::mbLeft);
  EXPECT_EQ(calls[0].Shift, ssLeft | ssShift);
  EXPECT_EQ(calls[0].X, 30);
  EXPECT_EQ(calls[0].Y, 40);
  EXPECT_TRUE(calls[0].ShiftDown);
  EXPECT_EQ(Widget->GetKeyState(VK_LBUTTON), 0) << "released by now";
  EXPECT_EQ(calls[1].Call, "move");
  EXPECT_EQ(calls[1].X, 35);
  EXPECT_EQ(calls[2].Call, "up");
  EXPECT_EQ(calls[2].Shift, 0u);
  EXPECT_FALSE(calls[2].ShiftDown);
}

TEST_F(MouseTest, DoubleClickArrivesAsDblClickThenAPress) {
  Mouse(QEvent::MouseButtonPress, At(5, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, At(5, 5), Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, At(5, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, At(5, 5), Qt::LeftButton, Qt::NoButton);
  std::vector<std::string> calls;
  for (const TRecord& record : Control.Calls()) calls.push_back(record.Call);
  EXPECT_EQ(calls, (std::vector<std::string>{"down", "up", "dblclick", "down", "up"}));
  EXPECT_NE(Control.Calls()[3].Shift & ssDouble, 0u);
}

TEST_F(MouseTest, TheThirdPressOfATripleClickArrivesAsOneMoreDoubleClick) {
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const bool down = type != QEvent::MouseButtonRelease;
    Mouse(type, At(5, 5), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton);
  }
  // Far from the double click, a press is a press.
  Mouse(QEvent::MouseButtonDblClick, At(5, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, At(5, 5), Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, At(90, 50), Qt::LeftButton, Qt::LeftButton);
  std::vector<std::string> calls;
  for (const TRecord& record : Control.Calls()) calls.push_back(record.Call);
  EXPECT_EQ(calls, (std::vector<std::string>{"down", "up", "dblclick", "down", "up", "dblclick", "down", "up",
                                             "dblclick", "down", "up", "down"}));
  EXPECT_NE(Control.Calls()[6].Shift & ssDouble, 0u);
  EXPECT_EQ(Control.Calls()[11].Shift & ssDouble, 0u);
}

TEST_F(MouseTest, RightDoubleClickIsOnlyADoublePress) {
  Mouse(QEvent::MouseButtonDblClick, At(5, 5), Qt::RightButton, Qt::RightButton);
  const std::vector<TRecord> calls = Control.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Call, "down");
  EXPECT_EQ(calls[0].Button, TMouseButton::mbRight);
  EXPECT_EQ(calls[0].Shift, ssRight | ssDouble);
}

TEST_F(MouseTest, TheFrameIsNotTheClientArea) {
  Mouse(QEvent::MouseButtonPress, QPointF(0, 0), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, QPointF(1, 1), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPointF(1, 1), Qt::LeftButton, Qt::NoButton);
  EXPECT_TRUE(Control.Calls().empty());
}

TEST_F(MouseTest, ADragLeavingTheClientKeepsReportingWithOutsideCoordinates) {
  Mouse(QEvent::MouseButtonPress, At(5, 5), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, QPointF(0, 0), Qt::NoButton, Qt::LeftButton);
  const std::vector<TRecord> calls = Control.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].X, -Widget->clientRect().left());
  EXPECT_LT(calls[1].Y, 0);
}

TEST_F(MouseTest, WheelDeltaKeepsItsSignInTheHighWord) {
  Wheel(-120);
  Wheel(240);
  Wheel(120, Qt::ControlModifier);
  EXPECT_EQ(WheelDeltas(), (std::vector<short>{-120, 240, 120}));
  EXPECT_EQ(LoWord(Control.Of({WM_MOUSEWHEEL})[2].WParam), 0x0008) << "MK_CONTROL";
}

TEST_F(MouseTest, PartsOfANotchAddUpToWholeNotches) {
  Wheel(-60);
  EXPECT_TRUE(WheelDeltas().empty());
  Wheel(-60);
  Wheel(-150);
  Wheel(40);  // a turn back starts afresh
  Wheel(80);
  EXPECT_EQ(WheelDeltas(), (std::vector<short>{-120, -120, 120}));
}

TEST_F(MouseTest, SidewaysWheelAndShiftWheelScrollLeftAndRight) {
  Wheel(0, Qt::NoModifier, -240);
  Wheel(120, Qt::ShiftModifier);
  Wheel(0, Qt::NoModifier, 60);  // a turn back starts afresh, half a notch does nothing yet
  using S = std::tuple<UINT, WORD, WORD>;
  EXPECT_EQ(Scrolls(), (std::vector<S>{{WM_HSCROLL, SB_LINERIGHT, 0}, {WM_HSCROLL, SB_LINERIGHT, 0},
                                       {WM_HSCROLL, SB_LINELEFT, 0}}));
  EXPECT_TRUE(WheelDeltas().empty());
}

TEST_F(MouseTest, WheelOverAScrollBarScrollsTheWindow) {
  QWheelEvent event(QPointF(2, 2), QPointF(2, 2), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(Widget->scrollBar(SB_VERT), &event);
  EXPECT_EQ(WheelDeltas(), std::vector<short>{-120});
}

TEST_F(MouseTest, ScrollBarActionsBecomeScrollCodes) {
  Widget->SetScrollRange(SB_VERT, 0, 50, false);
  Widget->SetScrollPos(SB_VERT, 10, false);
  QScrollBar* bar = Widget->scrollBar(SB_VERT);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  Widget->scrollBar(SB_HORZ)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Scrolls(), (std::vector<std::tuple<UINT, WORD, WORD>>{
                           {WM_VSCROLL, SB_LINEDOWN, 0},
                           {WM_VSCROLL, SB_LINEUP, 0},
                           {WM_VSCROLL, SB_PAGEDOWN, 0},
                           {WM_VSCROLL, SB_PAGEUP, 0},
                           {WM_VSCROLL, SB_TOP, 0},
                           {WM_VSCROLL, SB_BOTTOM, 0},
                           {WM_HSCROLL, SB_LINERIGHT, 0}}));
  // The control did not move the bar, so it stays where the control put it.
  EXPECT_EQ(bar->value(), 10);
}

TEST_F(MouseTest, TheBarStandsWhereTheControlPutsIt) {
  Widget->SetScrollRange(SB_VERT, 0, 50, false);
  Control.OnMessage = [&](TMessage& message) {
    if (message.Msg == WM_VSCROLL && LoWord(message.WParam) == SB_LINEDOWN) Widget->SetScrollPos(SB_VERT, 7, true);
  };
  Widget->scrollBar(SB_VERT)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Widget->scrollBar(SB_VERT)->value(), 7);
  EXPECT_EQ(Widget->GetScrollPos(SB_VERT), 7);
}

TEST_F(MouseTest, DraggingTheThumbTracksThenEnds) {
  Widget->SetScrollRange(SB_VERT, 0, 300, false);
  QScrollBar* bar = Widget->scrollBar(SB_VERT);
  bar->setSliderDown(true);
  bar->setSliderPosition(120);
  bar->setSliderPosition(130);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), bar->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(bar, &release);
  bar->setSliderDown(false);
  EXPECT_EQ(Scrolls(), (std::vector<std::tuple<UINT, WORD, WORD>>{{WM_VSCROLL, SB_THUMBTRACK, 120},
                                                                   {WM_VSCROLL, SB_THUMBTRACK, 130},
                                                                   {WM_VSCROLL, SB_THUMBPOSITION, 130},
                                                                   {WM_VSCROLL, SB_ENDSCROLL, 0}}));
}

TEST_F(MouseTest, BarsMirrorRangePositionAndEnabledState) {
  Widget->SetScrollRange(SB_HORZ, 0, 40, true);
  EXPECT_EQ(Widget->SetScrollPos(SB_HORZ, 99, true), 0);
  EXPECT_EQ(Widget->GetScrollPos(SB_HORZ), 40) << "clamped to the range";
  QScrollBar* bar = Widget->scrollBar(SB_HORZ);
  EXPECT_EQ(bar->maximum(), 40);
  EXPECT_EQ(bar->value(), 40);
  Widget->EnableScrollBar(SB_HORZ, ESB_DISABLE_BOTH);
  EXPECT_FALSE(bar->isEnabled());
  Widget->EnableScrollBar(SB_BOTH, ESB_ENABLE_BOTH);
  EXPECT_TRUE(bar->isEnabled());
  EXPECT_TRUE(Widget->scrollBar(SB_VERT)->isEnabled());
  Widget->SetScrollRange(SB_HORZ, 0, 10, false);
  EXPECT_EQ(Widget->GetScrollPos(SB_HORZ), 10);
}

TEST_F(MouseTest, ShowingABarResizesTheClientAndTellsTheControl) {
  const int extent = Widget->GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(Widget->ClientWidth(), 300 - 4 - extent);
  Widget->ShowScrollBar(SB_VERT, false);
  EXPECT_EQ(Widget->ClientWidth(), 300 - 4);
  EXPECT_TRUE(Widget->scrollBar(SB_VERT)->isHidden());
  const std::vector<TRecord> sizes = Control.Of({WM_SIZE});
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(LoWord(static_cast<WPARAM>(sizes[0].LParam)), 300 - 4);
  EXPECT_EQ(HiWord(static_cast<WPARAM>(sizes[0].LParam)), Widget->ClientHeight());
  Widget->ShowScrollBar(SB_VERT, false);
  EXPECT_EQ(Control.Of({WM_SIZE}).size(), 1u) << "no change, no message";
}

}  // namespace
