// The overflow marks: a red badge after the end of each line that needs more player rows than one page holds.
#pragma once

class ICanvas;
class TOverflowLines;
class TRyxEdit;

// Draws, for the display rows L1..L2 that are in view and end a logical
// line the cache marks (measuring those rows first if the cache has not
// got to them yet), a badge with the number of player rows the line
// needs, right after the line's end (beyond the line-break cell), so that
// it scrolls with the text. Called while the editor paints, after the rows;
// the canvas's colours are left as they were.
void DrawOverflowMarks(ICanvas& canvas, const TRyxEdit& edit, TOverflowLines& overflow, int L1, int L2);
