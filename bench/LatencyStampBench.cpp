// Stamps taken through GStreamer with a simulated output latency and reaction delay: how far each lands from the position it stands for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <thread>
#include <vector>

#include "app/core/SyncStamp.h"
#include "platform/WaveFile.h"
#include "platform/gstreamer/GstAudioPlayer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The output sounds 200 ms late (the sink's own render delay); the user presses 120 ms after hearing.
constexpr TMillis kLatency{200};
constexpr TMillis kReaction{120};
constexpr int kStamps = 50;

// Each iteration plays a silent song and takes 50 stamps, one every 60 ms,
// each at the moment a user who heard position P 120 ms before would press;
// the counters are the errors (stamp - P) over all stamps, in milliseconds.
void BM_StampErrorWithLatencyAndReaction(benchmark::State& state) {
  const auto song = std::filesystem::temp_directory_path() / ("verselet-bench-" + std::to_string(::getpid()) + ".wav");
  std::ofstream(song, std::ios::binary) << ClickTrackWave(10000ms, {});
  std::vector<double> errors;
  for (auto _ : state) {
    TGstAudioPlayer player("fakesink sync=true render-delay=" + std::to_string(kLatency.count() * 1000000));
    player.Open(song);
    const Clock::time_point start = Clock::now();
    player.Play();
    for (int i = 0; i < kStamps; ++i) {
      std::this_thread::sleep_until(start + kLatency + kReaction + TMillis{300 + 60 * i});
      const TMillis stamp = StampTime(player.StreamPosition(), player.OutputLatency(), kReaction, player.Duration()).Time;
      const auto pressed = std::chrono::duration_cast<TMillis>(Clock::now() - start);
      // Heard at the press: what played kLatency before; the reaction started kReaction before that.
      errors.push_back(static_cast<double>((stamp - (pressed - kLatency - kReaction)).count()));
    }
  }
  std::filesystem::remove(song);
  std::sort(errors.begin(), errors.end());
  auto at = [&errors](double q) { return errors[static_cast<std::size_t>(q * static_cast<double>(errors.size() - 1))]; };
  state.counters["min_ms"] = errors.front();
  state.counters["p10_ms"] = at(0.1);
  state.counters["median_ms"] = at(0.5);
  state.counters["p90_ms"] = at(0.9);
  state.counters["max_ms"] = errors.back();
  state.counters["within_10ms"] =
      static_cast<double>(std::count_if(errors.begin(), errors.end(), [](double e) { return std::abs(e) <= 10; })) /
      static_cast<double>(errors.size());
}

BENCHMARK(BM_StampErrorWithLatencyAndReaction)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
