// TFont's conversion between point size and pixel height.
#include "platform/Font.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv does, but
// saturated to +-INT_MAX where the platform's would overflow: a height or a
// size is negated on its way to the canvas, and INT_MIN has no negation.
int MulDiv(int a, int b, int c) {
  const double v = static_cast<double>(a) * b / c;
  const double rounded = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
  return static_cast<int>(std::clamp(rounded, -double{INT_MAX}, double{INT_MAX}));
}

}  // namespace

void TFont::SetHeight(int height) { FHeight = std::max(height, -INT_MAX); }

int TFont::Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }

void TFont::SetSize(int points) { FHeight = -MulDiv(points, PixelsPerInch, 72); }
