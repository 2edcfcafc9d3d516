// TWaveformScale: which stretch of the song a strip of pixels shows: its start, the time a pixel spans, zoom and scroll.
#pragma once

#include "platform/AudioPlayer.h"

class TWaveformScale {
 public:
  // The finest a pixel gets: one bucket of the envelope.
  static constexpr double kFinest = 10.0;

  double MillisPerPixel() const { return FPerPixel; }
  TMillis Start() const { return FStart; }
  // A song of length in a strip width pixels wide: all of it in view.
  void Fit(TMillis length, int width);
  // The song's length or the strip's width changed: the zoom and the start stay as far as they fit.
  void SetSpan(TMillis length, int width);
  // The time under pixel x, and the pixel of a time (left of the strip when before its start).
  TMillis TimeAt(int x) const;
  int XOf(TMillis time) const;
  // Zooms in (factor < 1) or out (factor > 1) keeping the time under x where it is; never finer
  // than kFinest, never coarser than the whole song across the strip.
  void ZoomAround(int x, double factor);
  // Moves the view by pixels, held to the song.
  void ScrollBy(int pixels);
  // Brings time into view when it is outside, putting it a tenth of the width from the left.
  void Follow(TMillis time);

 private:
  void Hold();

  TMillis FLength{0};
  int FWidth = 1;
  TMillis FStart{0};
  double FPerPixel = kFinest;
};
