// TRyxEdit: font record, canvas set-up, metrics, line spacing, gutter, caret creation, IME font, Redesign.
#include <cmath>
#include <string>

#include "editor/IntMath.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

// Rounds half to even, as the metrics rules require (1.9 rounds to 2, 2.5 to 2).
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

constexpr char kFullWidthSpace[] = "\x81\x40";

}  // namespace

void TRyxEdit::BuildLogFont() {
  FLogFont = TLogFont{};
  FLogFont.lfHeight = -FFont.Height();
  FLogFont.lfCharSet = DEFAULT_CHARSET;
  FLogFont.lfPitchAndFamily = FIXED_PITCH;
  FLogFont.lfFaceName = FFont.Name();
}

void TRyxEdit::PrepareCanvas() {
  ICanvas& canvas = Canvas();
  canvas.SetBrushColor(FColor);
  canvas.SetPen(FCREOFcolor, 1, TPenStyle::psSolid, TPenMode::pmCopy);
  canvas.SetFont(FLogFont);
}

void TRyxEdit::UpdateMetrics() {
  PrepareCanvas();
  ICanvas& canvas = Canvas();
  const TTextMetric tm = canvas.GetTextMetrics();
  FCharWidth = tm.tmAveCharWidth;
  FFontHeight = tm.tmHeight;
  ApplyLineSpace();
  FMarkHeight = RoundHalfEven(FFontHeight * 0.8);
  FMarkGap = RoundHalfEven(FFontHeight * 0.2);
  FMaxColumns = FCharWidth > 0 ? (kTextPixelLimit / FCharWidth) / 2 : 0;
  FZenWidth = canvas.TextWidth(kFullWidthSpace);
  FZenHeight = canvas.TextHeight(kFullWidthSpace);
  FHanWidth = canvas.TextWidth(" ");
  FDotLine = TDotLineState{};
  FDotLine.Canvas = &canvas;
}

void TRyxEdit::ApplyLineSpace() {
  const int value = FLineSpace;
  if (FLineSpaceUnit == TLineSizeUnit::uPercent)
    FLineHeight = FFontHeight + RoundHalfEven(value * FFontHeight / 100.0);
  else
    FLineHeight = FFontHeight + value;
  if (FFontHeight != 0) {
    FVisibleLines = FloorDiv(FTextHeight, FLineHeight);
    FOverScroll = CeilDiv(FVisibleLines, kOverScrollDivisor);
  }
}

void TRyxEdit::UpdateGutter() {
  if (FShowLineNumber) {
    FDigitWidth = Canvas().TextWidth("0");
    FGutterWidth = std::min(100, FDigitWidth * FLineNoColumn) + kGutterPadding;
  } else {
    FGutterWidth = 0;
  }
  FTextLeft = FTextLeftMin = FLeftMargin + FGutterWidth;
}

void TRyxEdit::PlaceSystemCaret() {
  Host().SetCaretPos(FCaretX < 0 ? -5 : FTextLeft + FCaretX, FCaretY + FTopMargin);
}

void TRyxEdit::CreateEditCaret() {
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  SetIMEFont(FTextLeft + FCaretX, FCaretY + FTopMargin);
  Host().CreateCaret(2, FFontHeight);
  PlaceSystemCaret();
  Host().ShowCaret();
}

void TRyxEdit::SetIMEFont(int x, int y) {
  std::string marker;
  HIMC context = 0;
  IControlHost& host = Host();
  try {
    marker = " A";
    context = host.ImmGetContext();
    if (context == 0) return;
    marker = " AA";
    const bool fontSet = host.ImmSetCompositionFont(context, FLogFont);
    if (fontSet) {
      marker = " B";
      FCompForm.dwStyle = CFS_POINT;
      FCompForm.ptCurrentPos = TPoint{x, y};
      marker = " C";
      host.ImmSetCompositionWindow(context, FCompForm);
    }
    host.ImmReleaseContext(context);
  } catch (const std::exception&) {
    host.MessageBox("Error:OC008 " + FErrorContext + marker + "\r" + std::to_string(x) + " , " +
                        std::to_string(y) + " " + std::to_string(host.WindowHandle()) + " " +
                        std::to_string(context),
                    "", MB_OK);
  }
}

void TRyxEdit::Redesign() {
  if (!HandleAllocated()) return;
  IControlHost& host = Host();
  BuildLogFont();
  host.ShowScrollBar(SB_HORZ, FHorzScrollBar);
  host.ShowScrollBar(SB_VERT, FVertScrollBar);
  UpdateMetrics();
  FCaretX = TextXOfColumn(FLines.Get(FCaretLine), FCaretCol) - FScrollX;
  UpdateGutter();
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FErrorContext = "Redesign";
  SetIMEFont(FCaretX + FTextLeft, FCaretY + FTopMargin);
  host.HideCaret();
  host.DestroyCaret();
  host.CreateCaret(2, FFontHeight);
  PlaceSystemCaret();
  host.ShowCaret();
  RefreshView();
}
