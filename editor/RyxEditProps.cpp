// TRyxEdit: construction, destruction, state reset, window parameters and property setters.
#include <algorithm>

#include "editor/RyxEdit.h"
#include "platform/RegisterWindowMessage.h"

TRyxEdit::TRyxEdit() {
  SetCursor(crIBeam);
  SetDefaults();
  FLines.Clear();
  FLines.Add(kEndMarker);
  FTimer.SetInterval(40);
  FTimer.SetEnabled(true);
  FTimer.SetOnTimer([this] { AutoScrollTick(); });
  ResetState();
  FTabSpaces = std::string(8, ' ');
  FMsgGetCaretPos = RegisterWindowMessage("WM_TRYXEDIT_GETCARETPOS");
  FMsgSetCaretPos = RegisterWindowMessage("WM_TRYXEDIT_SETCARETPOS");
}

TRyxEdit::~TRyxEdit() {
  if (HandleAllocated()) Host().DetachTimer(FTimer);
}

void TRyxEdit::SetDefaults() {
  FVersion = "TRyxEdit Ver1.24";
  FFont = TFont();
  FFont.SetName("FixedSys");
  FFont.SetSize(14);
  FFont.SetColor(clBlack);
  FColor = clWhite;
  FBorderStyle = TBorderStyle::bsNone;
  FWordWrap = true;
  FAutoWrap = false;
  FColumn = 72;
  FTabCount = 6;
  FTopMargin = 4;
  FLeftMargin = 10;
  FShowLineNumber = false;
  FLineNoColumn = 5;
  FLineSpace = 10;
  FLineSpaceUnit = TLineSizeUnit::uPercent;
  FHorzScrollBar = false;
  FVertScrollBar = true;
  FScrollStep = 2;
  FCaretScrollFix = false;
  FCurSetMode = true;
  FShowEOF = true;
  FShowCR = true;
  FShowTAB = false;
  FShowDblSpace = true;
  FCREOFcolor = clTeal;
  FSelColor = 0;
  FURLColor = clBlue;
  FInyoColor = clGray;
  // Built rather than assigned from a literal: GCC 12 warns falsely (-Wrestrict) on that at -O3.
  FInyostr = std::string(1, '>');
  FColorPrintF = true;
  FShowUnderLine = false;
  FUlineColor = 0;
  FUndoRec = true;
  FUndoBuf = 0xF8000;
  FAutoIndent = false;
  FReadOnly = false;
  FWantTabs = true;
  FSingleByteMode = false;
  FDragMode = TDragMode::dmAutomatic;
  FDragCursor = 1;
  FTextLeft = 10;
  FFontHeight = 0;
  FErrorContext.clear();
}

void TRyxEdit::ResetState() {
  FIMEComposing = false;
  FDblClicked = false;
  FDragging = false;
  FMouseSelecting = false;
  FSelActive = false;
  FSelAll = false;
  FInsertMode = true;
  FCaretLine = FCaretCol = 0;
  FSelStartLine = FSelStartCol = 0;
  FSelEndLine = FSelEndCol = 0;
  FSelPaintLine = FSelPaintCol = 0;
  FCaretX = 0;
  FTopLine = 0;
  FScrollX = 0;
  FLastCaretCol = FLastCaretLine = FLastCaretX = 0;
  FGoalX = FGoalXCol = 0;
  FGoalXCaretLine = FGoalXCaretCol = -1;
  FKeyScrollCount = 0;
  FScrollMovesCaret = true;
  FModified = false;
  FUndoTrimmed = false;
  ClearUndo();
  ClearRedo();
  AnnounceModified();
  if (OnChangeRedoMode) {
    FRedoAnnounced = false;
    AnnounceRedoMode();
  }
}

void TRyxEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (FBorderStyle == TBorderStyle::bsSingle) {
    if (Ctl3D()) {
      params.Style &= ~WS_BORDER;
      params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      params.Style |= WS_BORDER;
    }
  }
  if (FVertScrollBar) params.Style |= WS_VSCROLL;
  if (FHorzScrollBar) params.Style |= WS_HSCROLL;
  FSysVBarWidth = Host().GetSystemMetrics(SM_CXVSCROLL);
  FVBarWidth = FVertScrollBar ? FSysVBarWidth : 0;
  BuildLogFont();
}

void TRyxEdit::Loaded() {
  TCustomControl::Loaded();
  RecreateWnd();
}

void TRyxEdit::SetFont(const TFont& value) {
  FFont = value;
  FFont.SetColor(ColorToRGB(value.Color()));
}

void TRyxEdit::SetColor(TColor value) {
  FColor = ColorToRGB(value);
  if (HandleAllocated()) PaintScreen();
}

void TRyxEdit::SetBorderStyle(TBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TRyxEdit::SetWordWrap(bool value) {
  if (value != FWordWrap) SetWrap(value, true);
}

void TRyxEdit::SetAutoWrap(bool value) {
  if (value == FAutoWrap) return;
  FAutoWrap = value;
  if (FWordWrap) RewrapAll(true);
}

void TRyxEdit::SetColumn(int value) {
  if (value == FColumn) return;
  FColumn = std::max(10, value);
  if (FWordWrap) RewrapAll(true);
}

void TRyxEdit::SetColumnCounting(const IColumnCounting* value) {
  if (value == FColumnCounting) return;
  FColumnCounting = value;
  if (FWordWrap) RewrapAll(true);
}

void TRyxEdit::SetTabCount(int value) { FTabCount = static_cast<std::uint8_t>(std::clamp(value, 1, 8)); }

void TRyxEdit::SetTopMargin(int value) { FTopMargin = std::clamp(value, 0, 30); }

void TRyxEdit::SetLeftMargin(int value) { FLeftMargin = std::clamp(value, 0, 30); }

void TRyxEdit::SetLineNoColumn(int value) {
  FLineNoColumn = static_cast<std::uint8_t>(std::clamp(value, 1, 5));
}

void TRyxEdit::SetLineSpace(int value) {
  FLineSpace = std::clamp(value, 0, 100);
  ApplyLineSpace();
}

void TRyxEdit::SetLineSpaceUnit(TLineSizeUnit value) {
  FLineSpaceUnit = value;
  ApplyLineSpace();
}

void TRyxEdit::SetHorzScrollBar(bool value) {
  if (FHorzScrollBar != value) {
    FHorzScrollBar = value;
    if (HandleAllocated()) UpdateHScrollRange(false);
  }
}

void TRyxEdit::SetVertScrollBar(bool value) {
  if (FVertScrollBar != value) {
    FVertScrollBar = value;
    if (HandleAllocated()) UpdateVScrollRange(false);
  }
  FVBarWidth = FVertScrollBar ? FSysVBarWidth : 0;
}

void TRyxEdit::SetCurSetMode(bool value) {
  FCurSetMode = value;
  FCaretHMargin = FCurSetMode ? 10 : FHScrollStep;
}

void TRyxEdit::SetSingleByteMode(bool value) {
  if (FSingleByteMode == value) return;
  FSingleByteMode = value;
  // Two bytes that were two characters may now be one: no position may stay between them.
  SettleSelection();
}
