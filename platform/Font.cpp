// TFont's conversion between point size and pixel height.
#include "platform/Font.h"

#include <cmath>

namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv does.
int MulDiv(int a, int b, int c) {
  const double v = static_cast<double>(a) * b / c;
  return static_cast<int>(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
}

}  // namespace

int TFont::Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }

void TFont::SetSize(int points) { FHeight = -MulDiv(points, PixelsPerInch, 72); }
