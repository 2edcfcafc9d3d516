// ClickTrackWave: a RIFF header and the samples of a click track.
#include "platform/WaveFile.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

void AppendLittle(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string ClickTrackWave(TMillis length, const std::vector<TMillis>& clicks, int sampleRate) {
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  const auto samples = static_cast<std::size_t>(length.count()) * rate / 1000;
  std::vector<std::int16_t> pcm(samples, 0);
  const std::size_t clickSamples = rate / 100;
  for (const TMillis click : clicks) {
    const auto first = static_cast<std::size_t>(click.count()) * rate / 1000;
    for (std::size_t i = 0; i < clickSamples && first + i < samples; ++i) {
      const double t = static_cast<double>(i) / rate;
      pcm[first + i] = static_cast<std::int16_t>(std::lround(20000 * std::sin(2 * std::numbers::pi * 2000 * t)));
    }
  }
  const auto dataBytes = static_cast<std::uint32_t>(samples * 2);
  std::string out = "RIFF";
  AppendLittle(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  AppendLittle(out, 16, 4);
  AppendLittle(out, 1, 2);  // PCM
  AppendLittle(out, 1, 2);  // mono
  AppendLittle(out, rate, 4);
  AppendLittle(out, rate * 2, 4);
  AppendLittle(out, 2, 2);
  AppendLittle(out, 16, 2);
  out += "data";
  AppendLittle(out, dataBytes, 4);
  for (const std::int16_t sample : pcm) AppendLittle(out, static_cast<std::uint16_t>(sample), 2);
  return out;
}
