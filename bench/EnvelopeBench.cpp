// The envelope of a five-minute 44.1 kHz song decoded in the background: the time until it is whole, polled as the strip's clock does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "app/core/AudioEnvelope.h"
#include "platform/WaveFile.h"
#include "platform/gstreamer/GstEnvelopeDecoder.h"

namespace {

using namespace std::chrono_literals;

// The song is a five-minute WAV written here, or the file VERSELET_BENCH_SONG names (an MP3, say).
void BM_EnvelopeOfAFiveMinuteSong(benchmark::State& state) {
  const char* named = std::getenv("VERSELET_BENCH_SONG");
  const auto song = named ? std::filesystem::path(named)
                          : std::filesystem::temp_directory_path() / ("verselet-envelope-" + std::to_string(::getpid()) + ".wav");
  if (!named) {
    std::vector<TMillis> clicks;
    for (TMillis at = 0ms; at < 300000ms; at += 250ms) clicks.push_back(at);
    std::ofstream(song, std::ios::binary) << ClickTrackWave(300000ms, clicks, 44100);
  }
  std::size_t buckets = 0;
  for (auto _ : state) {
    TGstEnvelopeDecoder decoder;
    TAudioEnvelope envelope;
    decoder.Start(song, envelope.Bucket());
    for (bool done = false; !done;) {
      std::this_thread::sleep_for(5ms);
      const TEnvelopeProgress progress = decoder.TakeProgress();
      envelope.Append(progress.Peaks);
      done = progress.Done;
    }
    buckets = envelope.Buckets();
  }
  if (!named) std::filesystem::remove(song);
  state.counters["buckets"] = static_cast<double>(buckets);
}

BENCHMARK(BM_EnvelopeOfAFiveMinuteSong)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
