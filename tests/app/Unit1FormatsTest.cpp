// Tests of 読み込み, 書き出し and the lyrics inside audio files in the main window.
#include <QMenu>
#include <QStatusBar>

#include <chrono>

#include "platform/AudioLyrics.h"
#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"
#include "platform/WaveFile.h"
#include "tests/SilentMp3.h"
#include "app/UnitTimingStudio.h"
#include "tests/app/FormFixture.h"

namespace {

std::string Sjis(const char16_t* text) { return UnicodeToAnsi(text); }

class FormatsTest : public FormTest {
 protected:
  QString Status() const { return Form->StatusBar1->currentMessage(); }
  QAction* Item(QMenu* menu, int index) const { return menu->actions().at(index); }
};

TEST_F(FormatsTest, AnSrtFileOpensAsANewLrcTextSayingWhatWasFoldedAndLeftOut) {
  const auto srt = Dir.WriteFile("song.srt", "1\n00:00:12,300 --> 00:00:15,000\n<i>さざなみ</i>の〜音\n");
  TForm1& form = Create();
  Dialogs.Answers.push_back({true, srt.string()});
  Item(form.ImportMenu, 0)->trigger();
  EXPECT_EQ(Text(), Sjis(u"[00:12.30]さざなみの～音\r\n[00:15.00]\r\n"));
  EXPECT_EQ(form.CurrentFileName(), "");
  EXPECT_TRUE(Status().contains(QString::fromStdString(DescribeFolded(1)))) << Status().toStdString();
  EXPECT_TRUE(Status().contains("SRT の書式タグ 2 個")) << Status().toStdString();
  EXPECT_TRUE(Dialogs.OpenFilters.back().starts_with("SRT 字幕 (.srt)(*.srt)|*.srt|")) << Dialogs.OpenFilters.back();
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(FormatsTest, AMalformedTimingIsShownWithItsLineAndTheTextStays) {
  const auto ass = Dir.WriteFile("song.ass", "[Events]\nFormat: Start, End, Text\nDialogue: 0:00:01.00,1:2,x\n");
  TForm1& form = Create();
  form.RyxEdit1->ReplaceAllText("kept\r\n");
  Dialogs.Replies.push_back("保存しない");
  Dialogs.Answers.push_back({true, ass.string()});
  Item(form.ImportMenu, 1)->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].contains("3 行目: ")) << Dialogs.Errors[0].toStdString();
  EXPECT_EQ(Text(), "kept\r\n");
}

TEST_F(FormatsTest, ExportAsksAboutWhatTheFormatCannotHoldAndWritesUtf8Subtitles) {
  TForm1& form = Create();
  form.RyxEdit1->ReplaceAllText(Sjis(u"[ti:題]\r\n[00:01.00]<00:01.00>歌<00:01.50>詞\r\n"));
  const std::string target = Path("out.ass");
  Dialogs.Replies = {"キャンセル", "書き出す"};
  // The last line is shown for the seconds asked for.
  Dialogs.Seconds = {2.0, -1.0, 2.0};
  Item(form.ExportMenu, 2)->trigger();
  Item(form.ExportMenu, 2)->trigger();
  EXPECT_EQ(Dialogs.Errors.size(), 1u);
  Dialogs.Errors.clear();
  EXPECT_TRUE(Dialogs.Questions.back().Text.contains("ID タグの行 1 個"));
  EXPECT_FALSE(std::filesystem::exists(target));
  Dialogs.Answers.push_back({true, Path("out")});
  Item(form.ExportMenu, 2)->trigger();
  EXPECT_EQ(Dialogs.OfferedEncodings.back(), TSaveEncoding::Utf8);
  const std::string written = TTempDir::ReadFile(target);
  EXPECT_NE(written.find("Dialogue: 0,0:00:01.00,0:00:03.00,Default,,0,0,0,,{\\kf50}歌{\\kf150}詞\r\n"),
            std::string::npos)
      << written;
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(FormatsTest, LyricsOfAnMp3AreOpenedEditedAndWrittenBackAfterTheQuestion) {
  const auto mp3 = Dir.WriteFile("song.mp3", SilentMp3());
  WriteAudioLyrics(mp3, "[00:01.00]さざなみ\n[00:02.00]音");
  TForm1& form = Create();
  Dialogs.Answers.push_back({true, mp3.string()});
  form.OpenAudioLyricsAction->trigger();
  EXPECT_EQ(Text(), Sjis(u"[00:01.00]さざなみ\r\n[00:02.00]音\r\n"));
  EXPECT_TRUE(Status().contains("ID3 USLT")) << Status().toStdString();

  form.RyxEdit1->ReplaceAllText(Sjis(u"[00:01.00]さざなみの\r\n"));
  // The file the lyrics came from is offered; キャンセル leaves it as it was.
  Dialogs.Answers.push_back({true, mp3.string()});
  Dialogs.Replies.push_back("キャンセル");
  form.WriteAudioLyricsAction->trigger();
  EXPECT_EQ(ReadAudioLyrics(mp3).Text, "[00:01.00]さざなみ\n[00:02.00]音");
  Dialogs.Answers.push_back({true, mp3.string()});
  Dialogs.Replies.push_back("書き込む");
  form.WriteAudioLyricsAction->trigger();
  EXPECT_EQ(ReadAudioLyrics(mp3).Text, "[00:01.00]さざなみの");
  EXPECT_TRUE(TTempDir::ReadFile(mp3).ends_with(SilentMp3()));
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(FormatsTest, AnAudioFileThatCannotBeParsedIsReportedAndNeverWritten) {
  const auto fake = Dir.WriteFile("fake.mp3", "not audio");
  TForm1& form = Create();
  form.RyxEdit1->ReplaceAllText("text\r\n");
  Dialogs.Answers.push_back({true, fake.string()});
  Dialogs.Replies.push_back("書き込む");
  form.WriteAudioLyricsAction->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].contains("元のファイルはそのままです")) << Dialogs.Errors[0].toStdString();
  EXPECT_EQ(TTempDir::ReadFile(fake), "not audio");
  Dialogs.Replies.push_back("保存しない");
  Dialogs.Answers.push_back({true, fake.string()});
  form.OpenAudioLyricsAction->trigger();
  EXPECT_EQ(Dialogs.Errors.size(), 2u);
  EXPECT_EQ(Text(), "text\r\n");
}

TEST_F(FormatsTest, TheSongOfTheTimingStudioIsTheAudioFileOfferedFirst) {
  using namespace std::chrono_literals;
  const auto song = Dir.WriteFile("song.wav", ClickTrackWave(1000ms, {}));
  TForm1& form = Create();
  Dialogs.Answers = {TFakeDialogs::Cancelled()};
  form.WriteAudioLyricsAction->trigger();
  EXPECT_EQ(Dialogs.OfferedOpenNames.back(), "");
  ASSERT_TRUE(form.TimingStudio->OpenSong(song));
  Dialogs.Answers = {TFakeDialogs::Cancelled(), TFakeDialogs::Cancelled()};
  form.OpenAudioLyricsAction->trigger();
  EXPECT_EQ(Dialogs.OfferedOpenNames.back(), song.string());
  form.WriteAudioLyricsAction->trigger();
  EXPECT_EQ(Dialogs.OfferedOpenNames.back(), song.string());
}

}  // namespace
