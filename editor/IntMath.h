// Integer division that rounds toward minus or plus infinity, for the view arithmetic.
#pragma once

inline int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

inline int CeilDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && ((a < 0) == (b < 0))) ? q + 1 : q;
}
