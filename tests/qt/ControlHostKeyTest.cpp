// Key events become WM_KEYDOWN, WM_CHAR and WM_KEYUP with the key state of the event being handled.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLineEdit>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/CodePage.h"
#include "tests/qt/RecordingControl.h"

namespace {

struct KeyCase {
  const char* Name;
  int Key;
  Qt::KeyboardModifiers Modifiers;
  QString Text;
  WORD Vk;
  std::vector<WPARAM> Chars;
};

class KeyTranslation : public HostTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTranslation, KeyDownThenOneCharPerByte) {
  const KeyCase& c = GetParam();
  Key(QEvent::KeyPress, c.Key, c.Modifiers, c.Text);
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR});
  ASSERT_EQ(records.size(), 1 + c.Chars.size());
  EXPECT_EQ(records[0].Msg, UINT{WM_KEYDOWN});
  EXPECT_EQ(records[0].WParam, WPARAM{c.Vk});
  EXPECT_EQ(records[0].ShiftDown, c.Modifiers.testFlag(Qt::ShiftModifier));
  EXPECT_EQ(records[0].CtrlDown, c.Modifiers.testFlag(Qt::ControlModifier));
  for (std::size_t i = 0; i < c.Chars.size(); ++i) {
    EXPECT_EQ(records[i + 1].Msg, UINT{WM_CHAR});
    EXPECT_EQ(records[i + 1].WParam, c.Chars[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTranslation,
    ::testing::Values(
        KeyCase{"Letter", Qt::Key_A, Qt::NoModifier, "a", 'A', {'a'}},
        KeyCase{"ShiftLetter", Qt::Key_A, Qt::ShiftModifier, "A", 'A', {'A'}},
        KeyCase{"CtrlLetter", Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)), 'V', {0x16}},
        KeyCase{"Digit", Qt::Key_7, Qt::NoModifier, "7", '7', {'7'}},
        KeyCase{"ShiftedSignIsItsKey", Qt::Key_Exclam, Qt::ShiftModifier, "!", '1', {'!'}},
        KeyCase{"CtrlComma", Qt::Key_Comma, Qt::ControlModifier, "", VK_OEM_COMMA, {}},
        KeyCase{"CtrlPeriod", Qt::Key_Period, Qt::ControlModifier, "", VK_OEM_PERIOD, {}},
        KeyCase{"F5", Qt::Key_F5, Qt::NoModifier, "", 0x74, {}},
        KeyCase{"Left", Qt::Key_Left, Qt::NoModifier, "", VK_LEFT, {}},
        KeyCase{"ShiftDown", Qt::Key_Down, Qt::ShiftModifier, "", VK_DOWN, {}},
        KeyCase{"CtrlHome", Qt::Key_Home, Qt::ControlModifier, "", VK_HOME, {}},
        KeyCase{"End", Qt::Key_End, Qt::NoModifier, "", VK_END, {}},
        KeyCase{"PageUp", Qt::Key_PageUp, Qt::NoModifier, "", VK_PRIOR, {}},
        KeyCase{"PageDown", Qt::Key_PageDown, Qt::NoModifier, "", VK_NEXT, {}},
        KeyCase{"Insert", Qt::Key_Insert, Qt::NoModifier, "", VK_INSERT, {}},
        KeyCase{"DeleteTypesNothing", Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)), VK_DELETE, {}},
        KeyCase{"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", VK_BACK, {0x08}},
        KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, "\r", VK_RETURN, {0x0D}},
        KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, "\r", VK_RETURN, {0x0D}},
        KeyCase{"Escape", Qt::Key_Escape, Qt::NoModifier, QString(QChar(0x1B)), VK_ESCAPE, {0x1B}},
        KeyCase{"Convert", Qt::Key_Henkan, Qt::NoModifier, "", VK_CONVERT, {}},
        KeyCase{"NonConvert", Qt::Key_Muhenkan, Qt::NoModifier, "", VK_NONCONVERT, {}},
        KeyCase{"TwoCharacters", Qt::Key_A, Qt::NoModifier, "ab", 'A', {'a', 'b'}}),
    [](const ::testing::TestParamInfo<KeyCase>& test) { return std::string(test.param.Name); });

// A key without a virtual-key code sends only its characters.
TEST_F(HostTest, TextOfAKeyWithoutCodeComesAsCharsOnly) {
  Key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xFF71)));
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_CHAR});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Msg, UINT{WM_CHAR});
  EXPECT_EQ(records[0].WParam, WPARAM{0xB1});
}

TEST_F(HostTest, DoubleByteTextFromAKeyArrivesAsOneResultString) {
  Key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("あ"));
  const std::vector<TRecord> records =
      Control.Of({WM_CHAR, WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Msg, UINT{WM_IME_STARTCOMPOSITION});
  EXPECT_EQ(records[1].Msg, UINT{WM_IME_COMPOSITION});
  EXPECT_EQ(records[1].ImeResult, "\x82\xA0");
  EXPECT_EQ(records[1].WParam, WPARAM{0x82A0});
  EXPECT_EQ(records[2].Msg, UINT{WM_IME_ENDCOMPOSITION});
}

TEST_F(HostTest, KeyStateFollowsTheEventNotTheKeyboard) {
  Key(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
  Key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  const std::vector<TRecord> downs = Control.Of({WM_KEYDOWN});
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_TRUE(downs[0].ShiftDown);
  EXPECT_TRUE(downs[0].CtrlDown);
  EXPECT_FALSE(downs[1].ShiftDown);
  EXPECT_FALSE(downs[1].CtrlDown);
}

TEST_F(HostTest, AModifierKeyIsDownFromItsPressToItsRelease) {
  // Some platforms report the Shift press without Shift and its release with it.
  Key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
  Key(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_KEYUP});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].WParam, WPARAM{VK_SHIFT});
  EXPECT_TRUE(records[0].ShiftDown);
  EXPECT_EQ(records[1].Msg, UINT{WM_KEYUP});
  EXPECT_FALSE(records[1].ShiftDown);
}

TEST_F(HostTest, ConvertKeyIsHeldUntilReleased) {
  Key(QEvent::KeyPress, Qt::Key_Henkan);
  Key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  Key(QEvent::KeyRelease, Qt::Key_Henkan);
  Key(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
  const std::vector<TRecord> downs = Control.Of({WM_KEYDOWN});
  ASSERT_EQ(downs.size(), 3u);
  EXPECT_TRUE(downs[0].ConvertDown);
  EXPECT_TRUE(downs[1].ConvertDown);
  EXPECT_FALSE(downs[2].ConvertDown);
}

TEST_F(HostTest, FocusLossForgetsHeldKeys) {
  Key(QEvent::KeyPress, Qt::Key_Henkan);
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  Send(out);
  EXPECT_EQ(Widget->GetKeyState(VK_CONVERT), 0);
}

TEST_F(HostTest, ReleaseSendsKeyUpButNotWhileAutoRepeating) {
  Key(QEvent::KeyPress, Qt::Key_Down);
  Key(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, {}, true);
  Key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, {}, true);
  Key(QEvent::KeyRelease, Qt::Key_Down);
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_KEYUP});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Msg, UINT{WM_KEYDOWN});
  EXPECT_EQ(records[1].Msg, UINT{WM_KEYDOWN});
  EXPECT_NE(records[1].LParam & (LPARAM{1} << 30), 0) << "a repeat has the previous-state bit";
  EXPECT_EQ(records[2].Msg, UINT{WM_KEYUP});
  EXPECT_EQ(records[2].WParam, WPARAM{VK_DOWN});
}

TEST_F(HostTest, AltKeysAreSystemKeys) {
  Key(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
  Key(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f");
  Key(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP});
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].Msg, UINT{WM_SYSKEYDOWN});
  EXPECT_EQ(records[0].WParam, WPARAM{VK_MENU});
  EXPECT_TRUE(records[0].AltDown);
  EXPECT_EQ(records[1].Msg, UINT{WM_SYSKEYDOWN});
  EXPECT_EQ(records[1].WParam, WPARAM{'F'});
  EXPECT_EQ(records[2].Msg, UINT{WM_SYSCHAR});
  EXPECT_EQ(records[3].Msg, UINT{WM_SYSKEYUP});
}

TEST_F(HostTest, TabReachesTheControlThatWantsIt) {
  Key(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
  const std::vector<TRecord> records = Control.Of({WM_KEYDOWN, WM_CHAR});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].WParam, WPARAM{VK_TAB});
  EXPECT_EQ(records[1].WParam, WPARAM{'\t'});
}

TEST(HostFocusChain, TabMovesTheFocusWhenTheControlDoesNotWantIt) {
  TRecordingControl control;
  control.DlgCode = DLGC_WANTARROWS | DLGC_WANTCHARS;
  QWidget window;
  auto* host = new ControlHostWidget(control, &window);
  auto* next = new QLineEdit(&window);
  host->createWindow();
  window.show();
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
  QCoreApplication::sendEvent(host, &tab);
  EXPECT_TRUE(control.Of({WM_KEYDOWN, WM_CHAR}).empty());
  EXPECT_FALSE(control.Of({WM_GETDLGCODE}).empty());
  EXPECT_NE(next, nullptr);
}

TEST(HostExceptions, ExceptionsFromTheControlReachTheCaller) {
#ifdef __SANITIZE_ADDRESS__
  // Qt's widget library is built without exception support: an exception
  // passing through QApplication::notify skips its cleanups and so leaks a
  // guard's reference count, which belongs to the widget made here.
  __lsan::ScopedDisabler leaksOfQtsFrames;
#endif
  TRecordingControl control;
  control.OnMessage = [](TMessage& message) {
    if (message.Msg == WM_KEYDOWN) throw std::runtime_error("from the control");
  };
  ControlHostWidget widget(control);
  widget.createWindow();
  QKeyEvent event(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_THROW(QCoreApplication::sendEvent(&widget, &event), std::runtime_error);
}

}  // namespace
