// TRyxEdit: painting.
#include "editor/RyxEdit.h"

void TRyxEdit::Paint() {
  PaintScreen();
  if (OnPaint) OnPaint(this);
}

void TRyxEdit::PaintScreen() {
  ICanvas& canvas = Canvas();
  canvas.SetBrushColor(FColor);
  canvas.FillRect(TRect{0, 0, ClientWidth(), ClientHeight()});
}

void TRyxEdit::DrawUnderline(int row, bool on) {
  if (!FShowUnderLine || FSelActive || FMouseSelecting || FSelAll) return;
  ICanvas& canvas = Canvas();
  const int y = (row - FTopLine) * FLineHeight + FTopMargin + FFontHeight;
  if (on) {
    canvas.SetPen(FUlineColor);
    canvas.MoveTo(FLeftMargin, y);
    canvas.LineTo(ClientWidth(), y);
    FUnderlineLine = row;
    return;
  }
  if (y <= FTopMargin) return;
  canvas.SetPen(FColor);
  canvas.MoveTo(FLeftMargin, y);
  canvas.LineTo(ClientWidth(), y);
  if (FShowLineNumber) canvas.SetPixel(FTextLeft - 4, y, FCREOFcolor);
}

void TRyxEdit::MoveUnderline(int fromRow, int toRow) {
  if (!FShowUnderLine || FSelActive || FMouseSelecting) return;
  ICanvas& canvas = Canvas();
  const int from = (fromRow - FTopLine) * FLineHeight + FTopMargin + FFontHeight;
  canvas.SetPen(FColor);
  canvas.MoveTo(FLeftMargin, from);
  canvas.LineTo(ClientWidth(), from);
  if (FShowLineNumber) canvas.SetPixel(FTextLeft - 4, from, FCREOFcolor);
  const int to = (toRow - FTopLine) * FLineHeight + FTopMargin + FFontHeight;
  canvas.SetPen(FUlineColor);
  canvas.MoveTo(FLeftMargin, to);
  canvas.LineTo(ClientWidth(), to);
  FUnderlineLine = toRow;
}
