// Tests of the timing studio in the main window: the song beside a lyrics file, --audio, sync mode's keys through the window, a song that cannot be played.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>

#include "app/UnitTimingStudio.h"
#include "app/UnitTransportBar.h"
#include "platform/CodePage.h"
#include "platform/WaveFile.h"
#include "tests/app/FormFixture.h"

// Qt's own key delivery offers a key to the shortcuts first; its test library reaches it through this.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace {

using namespace std::chrono_literals;
using TimingTest = FormTest;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// A key as the window system delivers it: a shortcut that claims it takes it, else the focused editor.
void PressKey(QWidget* editor, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  if (qt_sendShortcutOverrideEvent(editor, 0, key, modifiers, text)) return;
  QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(editor, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(editor, &up);
}

// The window shown and active with the editor focused, so that the shortcuts and the keys reach it as a user's do.
QWidget* FocusedEditor(TForm1& form) {
  form.show();
  QApplication::setActiveWindow(&form);
  QWidget* editor = form.centralWidget();
  editor->setFocus();
  return editor;
}

TEST_F(TimingTest, TheSongBesideALyricsFileIsOfferedOnceAndTheAnswerIsKept) {
  const auto lyrics = Dir.WriteFile("song.lrc", "[00:01.00]a\r\n");
  Dir.WriteFile("song.wav", ClickTrackWave(3000ms, {1000ms}));
  Dialogs.Replies = {"開く"};
  Create({lyrics.string()});
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_TRUE(Form->TimingStudio->Player().IsOpen());
  EXPECT_FALSE(Form->TimingStudio->Transport->isHidden());
  Form.reset();
  // Opened again: the song comes without the question.
  Create({lyrics.string()});
  EXPECT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_TRUE(Form->TimingStudio->Player().IsOpen());
  EXPECT_EQ(Text(), "[00:01.00]a\r\n");
}

TEST_F(TimingTest, ASongOpenedFromTheMenuComesWithItsLyricsFileNextTime) {
  const auto lyrics = Dir.WriteFile("words.lrc", "a\r\n");
  const auto song = Dir.WriteFile("tune.wav", ClickTrackWave(3000ms, {1000ms}));
  Create({lyrics.string()});
  EXPECT_FALSE(Form->TimingStudio->Player().IsOpen());
  Dialogs.Answers = {{true, song.string(), 1}};
  Form->TimingStudio->OpenAudioAction->trigger();
  ASSERT_TRUE(Form->TimingStudio->Player().IsOpen());
  Form.reset();
  Create({lyrics.string()});
  EXPECT_TRUE(Form->TimingStudio->Player().IsOpen());
  EXPECT_TRUE(Dialogs.Questions.empty());
}

TEST_F(TimingTest, SyncModeKeysStampNudgeAndUndoThroughTheWindowAndEscLeaves) {
  const auto lyrics = Dir.WriteFile("a.lrc", Sjis("[ti:題]\r\n一行目\r\n二行目"));
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {1000ms}));
  Create({lyrics.string(), "--audio", song.string()});
  EXPECT_TRUE(Dialogs.Questions.empty());
  TTimingStudio& studio = *Form->TimingStudio;
  ASSERT_TRUE(studio.Player().IsOpen());
  QWidget* editor = FocusedEditor(*Form);
  PressKey(editor, Qt::Key_F9);
  ASSERT_TRUE(studio.SyncMode());
  EXPECT_FALSE(studio.SyncIndicator->isHidden());
  studio.Player().Seek(1234ms);
  PressKey(editor, Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:01.23]一行目\r\n"));
  EXPECT_EQ(Form->RyxEdit1->CaretLine(), 2);
  PressKey(editor, Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(Form->RyxEdit1->CaretLine(), 1);
  EXPECT_EQ(studio.Player().Position(), 1230ms);
  PressKey(editor, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:01.33]一行目\r\n"));
  PressKey(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:01.23]一行目\r\n"));
  PressKey(editor, Qt::Key_Escape);
  EXPECT_FALSE(studio.SyncMode());
  // Outside sync mode Space is text again.
  const std::string before = Text();
  PressKey(editor, Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(Text().size(), before.size() + 1);
}

TEST_F(TimingTest, WordModeStampsUnitsThroughTheWindowAndShowsInTheStatusBar) {
  const auto lyrics = Dir.WriteFile("a.kra", Sjis("夜空\r\n星"));
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {1000ms}));
  Create({lyrics.string(), "--audio", song.string()});
  TTimingStudio& studio = *Form->TimingStudio;
  QWidget* editor = FocusedEditor(*Form);
  PressKey(editor, Qt::Key_F9, Qt::ShiftModifier);  // word mode starts sync mode
  ASSERT_TRUE(studio.SyncMode());
  ASSERT_TRUE(studio.WordMode());
  EXPECT_FALSE(studio.SyncIndicator->isHidden());
  EXPECT_EQ(studio.SyncIndicator->text(), "同期モード: 単語ごと");
  studio.Player().Seek(1000ms);
  PressKey(editor, Qt::Key_Space, Qt::NoModifier, " ");
  studio.Player().Seek(1500ms);
  PressKey(editor, Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(0), Sjis("[00:01:00]夜[00:01:50]空\r\n"));  // the .kra form
  EXPECT_EQ(Form->RyxEdit1->CaretLine(), 1);
  PressKey(editor, Qt::Key_Up, Qt::AltModifier);  // as in line mode
  PressKey(editor, Qt::Key_Right, Qt::AltModifier);  // the first unit: the line tag
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(0), Sjis("[00:01:10]夜[00:01:50]空\r\n"));
  PressKey(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(0), Sjis("[00:01:00]夜[00:01:50]空\r\n"));
  PressKey(editor, Qt::Key_F9, Qt::ShiftModifier);  // back to lines
  EXPECT_EQ(studio.SyncIndicator->text(), "同期モード");
  PressKey(editor, Qt::Key_J, Qt::AltModifier);  // only for units: nothing changes
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(0), Sjis("[00:01:00]夜[00:01:50]空\r\n"));
}

TEST_F(TimingTest, WordTagToolsSpreadAndTakeBackEachAsOneUndoStep) {
  const auto lyrics = Dir.WriteFile("a.lrc", Sjis("[00:10.00]夜空に\r\n[00:13.00]星"));
  Create({lyrics.string()});
  const std::string original = Text();
  Form->SpreadWordTagsAction->trigger();
  EXPECT_EQ(Text(), Sjis("[00:10.00]<00:10.00>夜<00:11.00>空<00:12.00>に\r\n[00:13.00]星"));
  EXPECT_EQ(Form->StatusBar1->currentMessage(), "1 行にワードタグを均等に付けました");
  Form->WordTagsToLineTagsAction->trigger();
  EXPECT_EQ(Text(), original);
  Form->RyxEdit1->Undo();
  EXPECT_EQ(Text(), Sjis("[00:10.00]<00:10.00>夜<00:11.00>空<00:12.00>に\r\n[00:13.00]星"));
  Form->RyxEdit1->Undo();
  EXPECT_EQ(Text(), original);
}

TEST_F(TimingTest, TheSettingsFileChangesTheKeysAndAnUnreadableKeyIsReported) {
  Dir.WriteFile("verselet.ini", "[SyncKeys]\nStamp=Return\nRemoveTag=Ctrl+Nonsense\n");
  const auto lyrics = Dir.WriteFile("a.lrc", "a\r\nb");
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {1000ms}));
  Create({lyrics.string(), "--audio", song.string()});
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].contains("RemoveTag=Ctrl+Nonsense"));
  QWidget* editor = FocusedEditor(*Form);
  PressKey(editor, Qt::Key_F9);
  Form->TimingStudio->Player().Seek(2000ms);
  PressKey(editor, Qt::Key_Space, Qt::NoModifier, " ");  // no longer a sync key: typed
  PressKey(editor, Qt::Key_Return);
  EXPECT_EQ(Text(), "[00:02.00] a\r\nb");
}

TEST_F(TimingTest, CtrlReturnSeeksToTheCaretLinesTag) {
  const auto lyrics = Dir.WriteFile("a.lrc", "[00:02.50]a\r\nb");
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {1000ms}));
  Create({lyrics.string(), "--audio=" + song.string()});
  PressKey(FocusedEditor(*Form), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(Form->TimingStudio->Player().Position(), 2500ms);
  EXPECT_EQ(Text(), "[00:02.50]a\r\nb");
}

TEST_F(TimingTest, AClickIntoALinesTagSeeksThereAndAClickInItsTextDoesNot) {
  const auto lyrics = Dir.WriteFile("a.lrc", "[00:03.50]abc\r\n[00:07.25]def");
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(9000ms, {1000ms}));
  Create({lyrics.string(), "--audio", song.string()});
  QWidget* editor = FocusedEditor(*Form);
  const TRyxEdit& edit = *Form->RyxEdit1;
  auto click = [&](int row, int col) {
    const QPointF at(edit.TextLeft() + edit.CharWidth() * col + edit.CharWidth() / 2,
                     edit.TopMargin() + edit.LineHeight() * row + edit.LineHeight() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, editor->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, editor->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(editor, &release);
    QApplication::processEvents();
  };
  click(1, 4);
  EXPECT_EQ(Form->TimingStudio->Player().Position(), 7250ms);
  click(0, 12);  // in the text after the tag
  EXPECT_EQ(Form->TimingStudio->Player().Position(), 7250ms);
  click(0, 3);
  EXPECT_EQ(Form->TimingStudio->Player().Position(), 3500ms);
}

TEST_F(TimingTest, ASongThatCannotBePlayedIsReportedAndTheTextStays) {
  const auto lyrics = Dir.WriteFile("a.lrc", "[00:02.50]a\r\n");
  const auto notSong = Dir.WriteFile("fake.mp3", "[00:01.00]not a song\r\n");
  Create({lyrics.string()});
  Dialogs.Answers = {{true, notSong.string(), 1}};
  Form->TimingStudio->OpenAudioAction->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].contains("fake.mp3"));
  EXPECT_FALSE(Form->TimingStudio->Player().IsOpen());
  EXPECT_TRUE(Form->TimingStudio->Transport->isHidden());
  EXPECT_EQ(Text(), "[00:02.50]a\r\n");
  EXPECT_FALSE(Form->RyxEdit1->Modified());
}

}  // namespace
