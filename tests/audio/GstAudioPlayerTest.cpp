// TGstAudioPlayer on a WAV file the test writes, played through a sink that needs no sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/core/SyncStamp.h"
#include "platform/WaveFile.h"
#include "platform/gstreamer/GstAudioPlayer.h"
#include "tests/TempDir.h"

namespace {

using namespace std::chrono_literals;

// A clock-synchronised sink that plays nothing; its render delay stands for an output's latency.
constexpr const char* kTestSink = "fakesink sync=true";
constexpr const char* kLatentSink = "fakesink sync=true render-delay=200000000";
// The machine is shared and the tests run under sanitizers: positions read
// against the wall clock may lag by a scheduling slice or two.
constexpr TMillis kTolerance{150};

class GstAudioPlayerTest : public ::testing::Test {
 protected:
  TTempDir FDir;
  std::filesystem::path FSong = FDir.WriteFile("clicks.wav", ClickTrackWave(5000ms, {500ms, 1500ms, 2500ms, 3500ms}));
};

// Plays for about the given time and returns how long it really played and the positions before and after.
struct TPlayedSpan {
  TMillis Before{0};
  TMillis After{0};
  TMillis Elapsed{0};
};

TPlayedSpan PlayFor(IAudioPlayer& player, TMillis span) {
  TPlayedSpan played;
  played.Before = player.StreamPosition();
  const auto start = std::chrono::steady_clock::now();
  player.Play();
  std::this_thread::sleep_for(span);
  played.After = player.StreamPosition();
  played.Elapsed = std::chrono::duration_cast<TMillis>(std::chrono::steady_clock::now() - start);
  player.Pause();
  return played;
}

TEST_F(GstAudioPlayerTest, OpensPausedAtTheStartWithTheSongsLength) {
  TGstAudioPlayer player(kTestSink);
  player.Open(FSong);
  ASSERT_TRUE(player.IsOpen());
  EXPECT_FALSE(player.Playing());
  EXPECT_FALSE(player.Silent());
  ASSERT_TRUE(player.Duration().has_value());
  EXPECT_NEAR(player.Duration()->count(), 5000, 1);
  EXPECT_EQ(player.StreamPosition(), 0ms);
}

TEST_F(GstAudioPlayerTest, PositionRunsWithTheClockAndStopsWhilePaused) {
  TGstAudioPlayer player(kTestSink);
  player.Open(FSong);
  const TPlayedSpan played = PlayFor(player, 600ms);
  EXPECT_NEAR((played.After - played.Before).count(), played.Elapsed.count(), kTolerance.count());
  const TMillis paused = player.StreamPosition();
  std::this_thread::sleep_for(200ms);
  EXPECT_NEAR(player.StreamPosition().count(), paused.count(), 5);
}

TEST_F(GstAudioPlayerTest, SeeksAreExactAndHeldToTheSong) {
  TGstAudioPlayer player(kTestSink);
  player.Open(FSong);
  for (const auto& [target, expected] : {std::pair{2500ms, 2500ms}, {-300ms, 0ms}, {9000ms, 5000ms}, {1500ms, 1500ms}}) {
    player.Seek(target);
    EXPECT_NEAR(player.StreamPosition().count(), expected.count(), 2) << target.count();
  }
}

TEST_F(GstAudioPlayerTest, HalfRatePlaysHalfAsFast) {
  TGstAudioPlayer player(kTestSink);
  player.Open(FSong);
  player.SetRate(0.5);
  player.Seek(1000ms);
  const TPlayedSpan played = PlayFor(player, 800ms);
  EXPECT_NEAR((played.After - played.Before).count(), played.Elapsed.count() / 2, kTolerance.count());
}

// An output that sounds 200 ms late and a user who presses 120 ms after hearing:
// each stamp lands where the sound heard at the press was 120 ms before.
TEST_F(GstAudioPlayerTest, StampsTakeTheOutputsLatencyAndTheReactionOff) {
  TGstAudioPlayer player(kLatentSink);
  player.Open(FSong);
  EXPECT_EQ(player.OutputLatency(), 200ms);
  const auto start = std::chrono::steady_clock::now();
  player.Play();
  for (const TMillis press : {700ms, 1300ms, 2100ms}) {
    std::this_thread::sleep_until(start + press);
    const TMillis stamp = StampTime(player.StreamPosition(), player.OutputLatency(), 120ms, player.Duration()).Time;
    const auto pressed = std::chrono::duration_cast<TMillis>(std::chrono::steady_clock::now() - start);
    // Heard at the press: what was played 200 ms before; the reaction began 120 ms before that.
    EXPECT_NEAR(stamp.count(), (pressed - 200ms - 120ms).count(), 20) << press.count();
  }
}

TEST_F(GstAudioPlayerTest, ReportsTheEndOnce) {
  TGstAudioPlayer player(kTestSink);
  player.Open(FSong);
  player.Seek(4800ms);
  player.Play();
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    std::this_thread::sleep_for(20ms);
    ended = player.TakeEvents().Ended;
  }
  EXPECT_TRUE(ended);
  EXPECT_FALSE(player.Playing());
  EXPECT_FALSE(player.TakeEvents().Ended);
}

// Each file that cannot be played gives its own message; the player stays closed.
TEST_F(GstAudioPlayerTest, FilesThatCannotBePlayedEachGiveAMessage) {
  const std::string wave = ClickTrackWave(3000ms, {1000ms});
  // An MPEG-1 Layer III frame header (128 kbit/s, 44.1 kHz) cut off after a few bytes of its frame.
  const std::string truncatedMp3 = std::string("ID3\x03\x00\x00\x00\x00\x10\x00", 10) + "\xFF\xFB\x90\x64" +
                                   std::string(20, '\0');
  // A PNG image: a real media file, but no sound in it.
  const std::string png(
      "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\rIDATx\x9c"
      "c\xf8\x0f\0\0\x01\x01\x01\0\x18\xdd\x8d\xb0\0\0\0\0IEND\xae\x42\x60\x82",
      69);
  const struct {
    const char* Name;
    std::string Bytes;
    const char* Expected;
  } cases[] = {
      {"truncated.mp3", truncatedMp3, "truncated.mp3"},
      {"lyrics.mp3", "[00:01.00]これは歌詞です\r\n", "lyrics.mp3"},
      {"cut.wav", wave.substr(0, 30), "cut.wav"},
      {"picture.png", png, "picture.png"},
  };
  for (const auto& c : cases) {
    TGstAudioPlayer player(kTestSink);
    const auto file = FDir.WriteFile(c.Name, c.Bytes);
    try {
      player.Open(file);
      ADD_FAILURE() << c.Name << " opened";
    } catch (const EAudioError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos) << e.what();
    }
    EXPECT_FALSE(player.IsOpen()) << c.Name;
  }
  TGstAudioPlayer player(kTestSink);
  EXPECT_THROW(player.Open(FDir.Path() / "missing.ogg"), EAudioError);
}

}  // namespace
