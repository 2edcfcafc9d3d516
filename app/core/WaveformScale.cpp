// TWaveformScale: pixel and time arithmetic of the waveform strip, held to the song.
#include "app/core/WaveformScale.h"

#include <algorithm>
#include <cmath>

namespace {

TMillis Rounded(double millis) { return TMillis{std::llround(millis)}; }

}  // namespace

void TWaveformScale::Fit(TMillis length, int width) {
  FLength = std::max(TMillis{0}, length);
  FWidth = std::max(1, width);
  FPerPixel = std::max(kFinest, static_cast<double>(FLength.count()) / FWidth);
  FStart = TMillis{0};
}

void TWaveformScale::SetSpan(TMillis length, int width) {
  FLength = std::max(TMillis{0}, length);
  FWidth = std::max(1, width);
  Hold();
}

TMillis TWaveformScale::TimeAt(int x) const { return FStart + Rounded(x * FPerPixel); }

int TWaveformScale::XOf(TMillis time) const {
  return static_cast<int>(std::floor(static_cast<double>((time - FStart).count()) / FPerPixel));
}

void TWaveformScale::Hold() {
  const double coarsest = std::max(kFinest, static_cast<double>(FLength.count()) / FWidth);
  FPerPixel = std::clamp(FPerPixel, kFinest, coarsest);
  const TMillis latestStart = std::max(TMillis{0}, FLength - Rounded(FWidth * FPerPixel));
  FStart = std::clamp(FStart, TMillis{0}, latestStart);
}

void TWaveformScale::ZoomAround(int x, double factor) {
  const TMillis under = TimeAt(x);
  FPerPixel *= factor;
  Hold();
  FStart = under - Rounded(x * FPerPixel);
  Hold();
}

void TWaveformScale::ScrollBy(int pixels) {
  FStart += Rounded(pixels * FPerPixel);
  Hold();
}

void TWaveformScale::Follow(TMillis time) {
  const int x = XOf(time);
  if (x >= 0 && x < FWidth) return;
  FStart = time - Rounded(FWidth * FPerPixel / 10);
  Hold();
}
