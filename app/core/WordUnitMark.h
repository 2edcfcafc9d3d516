// The mark of the unit word mode times next: a bar under its characters in every row it spans.
#pragma once

#include <cstddef>
#include <utility>

class ICanvas;
class TRyxEdit;

// The bytes [start, end) of logical line `line`.
struct TMarkedUnit {
  int Line = 0;
  std::size_t Start = 0;
  std::size_t End = 0;
};

// The first and last display rows the unit covers.
std::pair<int, int> MarkedUnitRows(const TRyxEdit& edit, const TMarkedUnit& unit);
// Draws the mark in the rows of [L1, L2] that are in view; the text stays as drawn.
void DrawMarkedUnit(ICanvas& canvas, const TRyxEdit& edit, const TMarkedUnit& unit, int L1, int L2);
