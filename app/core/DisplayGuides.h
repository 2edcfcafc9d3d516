// DrawDisplayGuides: the vertical lines over the editor that show where a player's display breaks each line.
#pragma once

#include "app/core/DeviceSettings.h"
#include "platform/Canvas.h"

class IColumnCounting;
class TRyxEdit;

// Light pink, the end of the time-tag column.
inline constexpr TColor kTagLineColor = 0xCCCCFF;
// Light grey, the end of each player display line.
inline constexpr TColor kGuideLineColor = 0xBBBBBB;
// Characters of the time tag that may open a line ("[mm:ss:cc]").
inline constexpr int kTagColumnChars = 10;
// No guide lies further right than this; the limit keeps absurd settings
// (a HalfCount or LineCount of billions from a hand-edited settings file)
// from allocating or looping without end.
inline constexpr int kMaxGuideX = 32767;

// Draws the guides on the editor's canvas from top to top + textHeight.
// x1 is the client x where the text area starts (text column 0 without the
// horizontal scroll); the guides move with the text by scrollX, so that they
// keep marking where the player breaks a line, and a guide scrolled left of
// x1 is not drawn. Widths are those of spaces in the canvas's current font.
// Only the pen colour is changed, and it is left grey.
void DrawDisplayGuides(ICanvas& canvas, int x1, int top, int textHeight, const TDeviceSettings& settings,
                       int scrollX = 0);

// The guides of rows L1..L2 of the editor when its columns are counted as
// counting says (time tags and ID lines passed over): per row, a short line
// at the x of each byte where a player row after the first starts, and past
// the row's text on in columns, LineCount guides in all. A row of a line the
// player does not show gets none; the tag line is not drawn, tags taking no
// columns. Only the pen colour is changed, and it is left grey.
void DrawCountedGuides(ICanvas& canvas, const TRyxEdit& edit, const TDeviceSettings& settings,
                       const IColumnCounting& counting, int L1, int L2);
