// The state of a window's system caret and scroll bars, kept alike by every backend.
#pragma once

#include "platform/Types.h"

// The system caret with the platform's hide counting: a new caret is hidden
// once, every Hide hides it once more, and Show takes one hide back (never
// below none), so it shows when all hides are undone.
class TCaretState {
 public:
  void Create(int width, int height);
  void Destroy() { *this = TCaretState{}; }
  void MoveTo(int x, int y) {
    FX = x;
    FY = y;
  }
  // Both return true when the caret appeared or disappeared.
  bool Show();
  bool Hide();

  bool Created() const { return FCreated; }
  bool Visible() const { return FCreated && FHideLevel == 0; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int X() const { return FX; }
  int Y() const { return FY; }

 private:
  bool FCreated = false;
  int FWidth = 0;
  int FHeight = 0;
  int FX = 0;
  int FY = 0;
  int FHideLevel = 1;
};

// One scroll bar: its range, thumb position, and whether it is enabled and shown.
struct TScrollBarState {
  int Min = 0;
  int Max = 0;
  int Pos = 0;
  bool Enabled = true;
  bool Visible = false;

  // The thumb stays inside the new range.
  void SetRange(int minPos, int maxPos);
  // Returns the previous position; the new one is kept inside the range.
  int SetPos(int pos);
  // Only disabling both arrows disables the bar; a single arrow cannot be.
  void Enable(UINT arrows);
};
