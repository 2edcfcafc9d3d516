// The waveform strip in the main window: the envelope arriving, a marker dragged with the mouse as one undo step, a click seeking, a broken song.
#include <QApplication>
#include <QMouseEvent>
#include <chrono>
#include <thread>

#include "app/UnitTimingStudio.h"
#include "app/UnitTransportBar.h"
#include "app/UnitWaveformStrip.h"
#include "editor/RyxEdit.h"
#include "platform/CodePage.h"
#include "platform/WaveFile.h"
#include "tests/AudioFiles.h"
#include "tests/app/FormFixture.h"

namespace {

using namespace std::chrono_literals;
using WaveformTest = FormTest;

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

void Mouse(QWidget& view, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(&view, &event);
}

// The studio's clock run until the envelope is whole.
void DecodeAll(TForm1& form) {
  for (int i = 0; i < 1000 && form.WaveformStrip->Decoding(); ++i) {
    std::this_thread::sleep_for(10ms);
    form.TimingStudio->Tick();
  }
}

TEST_F(WaveformTest, DraggingAMarkerMovesItsTagAsOneUndoStepAndAClickSeeks) {
  const std::string text = Sjis("[ti:題]\r\n[00:01.00]<00:01.00>一<00:01.50>行\r\n[00:03:00]二");
  const auto lyrics = Dir.WriteFile("a.lrc", text);
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {2000ms}));
  Create({lyrics.string(), "--audio", song.string()});
  TWaveformStrip& strip = *Form->WaveformStrip;
  ASSERT_FALSE(strip.isHidden());
  DecodeAll(*Form);
  ASSERT_FALSE(strip.Decoding());
  TWaveformView& view = *strip.View();
  EXPECT_EQ(view.Envelope().Buckets(), 500u);
  EXPECT_GT(view.Envelope().Over(2000ms, 2010ms).High, 0.3f);
  ASSERT_EQ(view.Markers().size(), 4u);

  // The line tag of the second line, taken in the upper half where it stands with a word tag.
  const TWaveformScale& scale = view.Scale();
  const int upper = view.height() / 4;
  Mouse(view, QEvent::MouseButtonPress, {scale.XOf(1000ms), upper}, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, {scale.XOf(1500ms), upper}, Qt::LeftButton);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:01.50]<00:01.00>一<00:01.50>行\r\n"));
  Mouse(view, QEvent::MouseMove, {scale.XOf(2500ms), upper}, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, {scale.XOf(2500ms), upper}, Qt::NoButton);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:02.50]<00:01.00>一<00:01.50>行\r\n"));
  // The word tag that stood with it, in the lower half.
  const int lower = view.height() * 3 / 4;
  Mouse(view, QEvent::MouseButtonPress, {scale.XOf(1000ms) + 2, lower}, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, {scale.XOf(1200ms) + 2, lower}, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, {scale.XOf(1200ms) + 2, lower}, Qt::NoButton);
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:02.50]<00:01.20>一<00:01.50>行\r\n"));
  Form->RyxEdit1->Undo();
  EXPECT_EQ(Form->RyxEdit1->Lines().Get(1), Sjis("[00:02.50]<00:01.00>一<00:01.50>行\r\n"));
  Form->RyxEdit1->Undo();
  EXPECT_EQ(Text(), text);
  EXPECT_FALSE(Form->RyxEdit1->Modified());

  // A click away from the markers seeks and changes nothing.
  Mouse(view, QEvent::MouseButtonPress, {scale.XOf(4200ms), upper}, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, {scale.XOf(4200ms), upper}, Qt::NoButton);
  EXPECT_NEAR(static_cast<double>(Form->TimingStudio->Player().Position().count()), 4200, scale.MillisPerPixel());
  EXPECT_EQ(Text(), text);
}

TEST_F(WaveformTest, ABrokenSongLeavesNoStripAndTheTextAsItWas) {
  const auto lyrics = Dir.WriteFile("a.lrc", "[00:02.50]a\r\n");
  const auto song = Dir.WriteFile("s.wav", ClickTrackWave(5000ms, {2000ms}));
  const auto broken = Dir.WriteFile("broken.wav", ClickTrackWave(5000ms, {2000ms}).substr(0, 20));
  Create({lyrics.string(), "--audio", song.string()});
  ASSERT_FALSE(Form->WaveformStrip->isHidden());
  EXPECT_FALSE(Form->TimingStudio->OpenSong(broken));
  EXPECT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Form->WaveformStrip->isHidden());
  EXPECT_FALSE(Form->WaveformStrip->Decoding());
  EXPECT_EQ(Text(), "[00:02.50]a\r\n");
  EXPECT_FALSE(Form->RyxEdit1->Modified());
}

// An MP3 without a length header gives the player no length until it
// plays: the transport bar shows the length the decoding found instead of
// none, so that the slider can seek before the first play.
TEST_F(WaveformTest, TheTransportShowsTheDecodedLengthOfAnMp3ThePlayerCannotTellYet) {
  const auto lyrics = Dir.WriteFile("a.lrc", "[00:00.20]a\r\n");
  const std::filesystem::path song = Dir.Path() / "tone.mp3";
  ASSERT_TRUE(MakeToneFile(song, 200));
  Create({lyrics.string(), "--audio", song.string()});
  DecodeAll(*Form);
  ASSERT_FALSE(Form->WaveformStrip->Decoding());
  Form->TimingStudio->Tick();
  const QString shown = Form->TimingStudio->Transport->TimeText();
  // 200 buffers of 1024 samples at 44.1 kHz: 4.64 s, shown as "mm:ss.xx" after the position.
  const QString length = shown.section(" / ", 1);
  ASSERT_TRUE(length.startsWith("00:04.")) << shown.toStdString();
  EXPECT_NEAR(length.mid(3).toDouble(), 4.64, 0.1) << shown.toStdString();
}

}  // namespace
