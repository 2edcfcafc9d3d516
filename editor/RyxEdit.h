// TRyxEdit: the custom-painted Shift-JIS text editor control (class declaration).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/RyxEditDoor.h"
#include "editor/RyxEditLinks.h"
#include "editor/RyxEditPos.h"
#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditWrapRule.h"
#include "editor/Ryxstrings.h"
#include "editor/RyxstringsWriter.h"
#include "platform/Colors.h"
#include "platform/CustomControl.h"
#include "platform/Font.h"
#include "platform/Messages.h"
#include "platform/Timer.h"

enum class TBorderStyle { bsNone, bsSingle };
enum class TLineSizeUnit { uPercent, uPixel };
enum class TDragMode { dmManual, dmAutomatic };

using TUserDrawEvent = std::function<void(TObject* Sender, int c1, int c2, int x1, int x2)>;
using TUserClientDrawEvent = std::function<void(TObject* Sender, int x1, int x2, int L1, int L2)>;
using TChangeinsEvent = std::function<void(TObject* Sender, bool insmode)>;
using TChangeRedoEvent = std::function<void(TObject* Sender, bool RedoEnable)>;
using TChangemodifyEvent = std::function<void(TObject* Sender, bool modified)>;
// Rows first..oldLast of the store were replaced by rows first..newLast; a
// whole new text reports every old and every new row.
using TLinesChangedEvent = std::function<void(TObject* Sender, int first, int oldLast, int newLast)>;
using TManualStartDragEvent =
    std::function<void(TObject* Sender, const std::string& SelectStr, bool& CanDrag)>;

// What a recorded change did. An overwrite is always followed by the insertion
// that replaced the bytes, at the same position.
enum TUndoKind : std::uint8_t {
  ukInsert = 0,
  ukDelete = 1,
  ukBackDelete = 2,
  ukForwardDelete = 3,
  ukOverwrite = 5,
  ukReplace = 6,
};

// One change of the text as undo replays it: the bytes inserted or removed at
// At, a logical position, so that a rewrap at another width leaves it right.
// A replacement of the whole text (ukReplace) holds the bytes it took away
// from At on, and in Span how many bytes it put there instead; or, made by
// a rewrite, the whole text it took away in Taken (its buffers, not a copy)
// and its size in Span. Its caret goes to the start of At's line.
struct TUndoRecord {
  TUndoKind Kind = ukInsert;
  TLogicalPos At;
  std::string Text;
  std::size_t Span = 0;
  std::shared_ptr<const TStoredText> Taken = nullptr;
  // A whole-text step: where the caret and the view stood before it, and
  // where the step put them; undo goes back to the first, redo to the second.
  TViewPlace Before{};
  TViewPlace After{};

  // The bytes the record holds, as the undo budget counts them.
  std::size_t Size() const { return Taken ? Span : Text.size(); }
};

// Newest record first.
using TUndoList = std::deque<TUndoRecord>;

// The state of the dotted-line drawer; its phase runs on from one line to the next.
struct TDotLineState {
  ICanvas* Canvas = nullptr;
  int PixelsOn = 1;
  int PixelsOff = 1;
  int Counter = 0;
  TPoint Start;
  TPoint Last;
};

// Tab mark list of ExpandTabsMarked: the x offsets (pixels from the start of
// the expanded line) of up to 100 tab fills, ended by -1.
using TTabMarks = std::array<int, 101>;

// Packs a position into a message result: column in the low word, line
// (capped at 32767) in the high word. A column beyond 16 bits is an ERangeError.
DWORD PackPosition(int col, int line);

class TRyxEdit : public TCustomControl {
 public:
  TRyxEdit();
  ~TRyxEdit() override;

  // Document operations of the owner.
  void ClearAll();
  bool LoadFromFile(const std::filesystem::path& fileName);
  // A successful save makes the saved text the unmodified one: undoing away
  // from it, or back to it, sets the modified state accordingly. A read-only
  // file is refused unless overwriteReadOnly is given; encode, when given,
  // turns the bytes into the file's encoding (see TRyxStrings::SaveToFile).
  bool SaveToFile(const std::filesystem::path& fileName, bool overwriteReadOnly = false,
                  const TRyxStrings::TSaveEncoder& encode = {});
  std::string GetAllText() const;
  void SetAllText(const std::string& text);
  // Replaces the whole text as one change that Undo takes back and Redo
  // makes again, keeping the history before it; the caret goes to the start
  // of the first changed line. The text ends at its first NUL byte. It is
  // kept for undo even when it is larger than UndoBuf, then as the only step.
  void ReplaceAllText(const std::string& text);
  // The same step for the text that rewrite makes of the current one: it
  // reads the text and writes the new one into out. The step keeps the
  // current text's buffers rather than a copy, and the new lines share the
  // bytes they repeat, so that a large document is never held twice. A
  // rewrite that raises leaves the text as it was.
  using TTextRewrite = std::function<void(const TStoredText& text, TRyxStringsWriter& out)>;
  void ReplaceAllText(const TTextRewrite& rewrite);
  void Redesign();
  void RefreshView();
  // Puts the selected text on the clipboard; the text does not change.
  void CopyToClipboard();

  // Editing. None of these checks ReadOnly: the key and message handlers do.
  // The selection in normal order; without one both ends are the caret and the result is false.
  bool GetSelBounds(int& startCol, int& startLine, int& endLine, int& endCol) const;
  void SelectAll();
  // Selects from the anchor to the caret, both put on character boundaries,
  // and scrolls the caret into view (the owner's find command).
  void SetSel(int anchorCol, int anchorLine, int caretLine, int caretCol);
  // Drops the selection and puts the caret at (line, col), settled on the
  // text, scrolled into view (the owner's go-to-line command).
  void MoveCaretTo(int line, int col);
  void DeleteSelection(bool redraw);
  // Inserts without recording: the caller records the insertion first.
  void InsertAtCaret(const std::string& text, bool redraw);
  // A typed character or an input-method result, honouring the overwrite mode.
  void TypeText(const std::string& text);
  // Replaces the bytes from `from` to `to` (in text order, settled on the
  // text) by text as one undo step, whatever the mode: the selection goes,
  // the caret goes after the new bytes and only the rows that changed are
  // painted. The owner's ranged edits (time tags) come through here.
  void ReplaceText(TDisplayPos from, TDisplayPos to, const std::string& text);
  // The Insert key: switches between insert and overwrite and tells OnChangeInsMode.
  void ToggleInsertMode();
  // Delete, Backspace, Ctrl+Delete and Ctrl+Backspace: a selection, else one character or one word.
  void DeleteCharRight();
  void DeleteCharLeft();
  void DeleteWordRight();
  void DeleteWordLeft();
  // Tab inserts a tab, in overwrite mode too.
  void InsertTab();
  // The Convert key: puts the caret at the selection's start and asks OnIMEReConvert.
  void StartReconvert();
  // Commits a composition in progress; its result arrives as WM_IME_COMPOSITION.
  void CompleteComposition();
  void NewLine();
  // A cut whose copy failed keeps the selection: deleting it would lose the text.
  void CutToClipboard();
  void PasteFromClipboard();
  // Undo replays the newest change; Redo re-applies the newest undone one.
  void Undo();
  void Redo();
  // Ctrl+Home and Ctrl+End: the caret to the start or the end of the text; Shift extends the selection.
  void GotoDocumentStart();
  void GotoDocumentEnd();
  // Where the caret and the top of the view stand, in lines of the text, and
  // putting them back there (settled on the text) with no selection: the
  // owner keeps the user's place across a reload.
  TViewPlace Place() const { return CurrentPlace(); }
  void RestorePlace(const TViewPlace& place);
  // Why the last LoadFromFile or SaveToFile failed (UTF-8), for the owner to show.
  const std::string& LastFileError() const { return FLastFileError; }

  // Published properties.
  const std::string& Version() const { return FVersion; }
  void SetVersion(const std::string& value) { FVersion = value; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool AutoWrap() const { return FAutoWrap; }
  // Rewraps at once while wrapping, as a new Column does.
  void SetAutoWrap(bool value);
  int Column() const { return FColumn; }
  void SetColumn(int value);
  // How Column counts (nullptr: every column of the expansion); the owner
  // keeps the hook alive while it is set. Rewraps at once while wrapping.
  const IColumnCounting* ColumnCounting() const { return FColumnCounting; }
  void SetColumnCounting(const IColumnCounting* value);
  int TabCount() const { return FTabCount; }
  void SetTabCount(int value);
  int TopMargin() const { return FTopMargin; }
  void SetTopMargin(int value);
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int value);
  bool ShowLineNumber() const { return FShowLineNumber; }
  void SetShowLineNumber(bool value) { FShowLineNumber = value; }
  int LineNoColumn() const { return FLineNoColumn; }
  void SetLineNoColumn(int value);
  int LineSpace() const { return FLineSpace; }
  void SetLineSpace(int value);
  TLineSizeUnit LineSpaceUnit() const { return FLineSpaceUnit; }
  void SetLineSpaceUnit(TLineSizeUnit value);
  bool HorzScrollBar() const { return FHorzScrollBar; }
  void SetHorzScrollBar(bool value);
  bool VertScrollBar() const { return FVertScrollBar; }
  void SetVertScrollBar(bool value);
  int ScrollStep() const { return FScrollStep; }
  void SetScrollStep(int value) { FScrollStep = static_cast<std::uint8_t>(value); }
  bool CaretScrollFix() const { return FCaretScrollFix; }
  void SetCaretScrollFix(bool value) { FCaretScrollFix = value; }
  bool CurSetMode() const { return FCurSetMode; }
  void SetCurSetMode(bool value);
  bool ShowEOF() const { return FShowEOF; }
  void SetShowEOF(bool value) { FShowEOF = value; }
  bool ShowCR() const { return FShowCR; }
  void SetShowCR(bool value) { FShowCR = value; }
  bool ShowTAB() const { return FShowTAB; }
  void SetShowTAB(bool value) { FShowTAB = value; }
  bool ShowDblSpace() const { return FShowDblSpace; }
  void SetShowDblSpace(bool value) { FShowDblSpace = value; }
  TColor CREOFcolor() const { return FCREOFcolor; }
  void SetCREOFcolor(TColor value) { FCREOFcolor = ColorToRGB(value); }
  TColor SelColor() const { return FSelColor; }
  void SetSelColor(TColor value) { FSelColor = ColorToRGB(value); }
  TColor URLColor() const { return FURLColor; }
  void SetURLColor(TColor value) { FURLColor = ColorToRGB(value); }
  TColor InyoColor() const { return FInyoColor; }
  void SetInyoColor(TColor value) { FInyoColor = ColorToRGB(value); }
  const std::string& Inyostr() const { return FInyostr; }
  void SetInyostr(const std::string& value) { FInyostr = value; }
  bool ColorPrintF() const { return FColorPrintF; }
  void SetColorPrintF(bool value) { FColorPrintF = value; }
  bool ShowUnderLine() const { return FShowUnderLine; }
  void SetShowUnderLine(bool value) { FShowUnderLine = value; }
  TColor UlineColor() const { return FUlineColor; }
  void SetUlineColor(TColor value) { FUlineColor = ColorToRGB(value); }
  bool UndoRec() const { return FUndoRec; }
  void SetUndoRec(bool value) { FUndoRec = value; }
  int UndoBuf() const { return FUndoBuf; }
  void SetUndoBuf(int value) { FUndoBuf = value; }
  bool AutoIndent() const { return FAutoIndent; }
  void SetAutoIndent(bool value) { FAutoIndent = value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  bool SingleByteMode() const { return FSingleByteMode; }
  void SetSingleByteMode(bool value);
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { FDragMode = value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }

  // Events.
  TNotifyEvent OnChange;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnMoveCaret;
  TUserDrawEvent OnUserDraw;
  TUserClientDrawEvent OnUserClientDraw;
  TNotifyEvent OnPaint;
  TChangeinsEvent OnChangeInsMode;
  TChangeRedoEvent OnChangeRedoMode;
  TChangemodifyEvent OnChangeModify;
  TNotifyEvent OnIMEChanging;
  TNotifyEvent OnIMEChanged;
  TNotifyEvent OnIMEReConvert;
  TManualStartDragEvent OnManualStartDrag;
  // Fired as soon as the store changed, before anything is repainted.
  TLinesChangedEvent OnLinesChanged;

  // Read access to the state, for the owner's tools and for tests.
  const TRyxStrings& Lines() const { return FLines; }
  TTimer& Timer() { return FTimer; }
  int CaretLine() const { return FCaretLine; }
  int CaretCol() const { return FCaretCol; }
  int CaretX() const { return FCaretX; }
  int TopLine() const { return FTopLine; }
  int ScrollX() const { return FScrollX; }
  bool SelActive() const { return FSelActive; }
  bool SelAll() const { return FSelAll; }
  TPoint SelStart() const { return {FSelStartCol, FSelStartLine}; }
  TPoint SelEnd() const { return {FSelEndCol, FSelEndLine}; }
  bool Modified() const { return FModified; }
  const TUndoList& UndoList() const { return FUndoList; }
  const TUndoList& RedoList() const { return FRedoList; }
  int UndoSize() const { return FUndoSize; }
  bool InsertMode() const { return FInsertMode; }
  int LineHeight() const { return FLineHeight; }
  int FontHeight() const { return FFontHeight; }
  int CharWidth() const { return FCharWidth; }
  int GutterWidth() const { return FGutterWidth; }
  int TextLeft() const { return FTextLeft; }
  int TextWidth() const { return FTextWidth; }
  int TextHeight() const { return FTextHeight; }
  int VBarWidth() const { return FVBarWidth; }
  int VisibleLines() const { return FVisibleLines; }
  int MarkHeight() const { return FMarkHeight; }
  int MarkGap() const { return FMarkGap; }
  int MaxColumns() const { return FMaxColumns; }
  int ZenWidth() const { return FZenWidth; }
  int HanWidth() const { return FHanWidth; }
  const TLogFont& LogFont() const { return FLogFont; }
  UINT MsgGetCaretPos() const { return FMsgGetCaretPos; }
  UINT MsgSetCaretPos() const { return FMsgSetCaretPos; }

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void Paint() override;
  void Loaded() override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  // Text drag-and-drop: a press inside the selection starts a drag of it,
  // which moves the text to where it ends on this control, or copies it
  // there while Ctrl is held. Text from other programs drops in as one insertion.
  void DoStartDrag() override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  std::string SelText() const override;

  // Word wrap. SetWrap converts the whole store to the wrapped or the
  // unwrapped form, carrying the caret and the anchor.
  void SetWrap(bool on, bool update);
  // The store's text cut into pieces by the wrap rule, from either form.
  void BuildWrappedLines(TRyxStrings& out) const;
  // The pieces of the logical line that starts at row i joined; last receives its last row.
  void JoinLogicalLine(int i, std::string& text, int& last) const;
  void LogicalToDisplay(int& col, int& line) const;
  void DisplayToLogical(int& col, int& line) const;
  TDisplayPos ToDisplay(TLogicalPos pos) const;
  TLogicalPos ToLogical(TDisplayPos pos) const;
  TWrapRule WrapRule() const;

  // Layout.
  std::string ExpandTabs(const std::string& s) const;
  // Pixel width of the tab-expanded first col bytes of a line.
  int TextXOfColumn(std::string_view line, int col) const;
  // ExpandTabs that also records where the tab marks go (only while ShowTAB is on).
  std::string ExpandTabsMarked(const std::string& s, TTabMarks& marks) const;
  // The character boundary of a stored line nearest to text x; textX receives its x.
  int ColumnAtX(std::string_view line, int x, int& textX) const;
  // Puts the caret under a client point (mouse press and mouse selection); paints nothing.
  void MoveCaretToPoint(int x, int y);
  // The layout of a row in the current tab width, byte mode and canvas font.
  // A long row of the store, in view or the caret's, keeps its tabs (FLongRowTabs)
  // while the text does not change.
  TRowLayout RowLayout(std::string_view row) const;
  // Whether row is a view from the start of the store's row of the caret or of one in view.
  bool IsStoredRowNearView(std::string_view row) const;
  // The canvas as a measurer while the window exists; none before.
  const ITextMeasurer* Measurer() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  // Below the caret, where the caret's line ends.
  TPoint KeyboardMenuPoint() const override;

 private:
  friend class TEditScope;
  // Construction and state.
  void SetDefaults();
  void ResetState();
  // Metrics.
  void BuildLogFont();
  void PrepareCanvas();
  void UpdateMetrics();
  void ApplyLineSpace();
  void UpdateGutter();
  void CreateEditCaret();
  void PlaceSystemCaret();
  void SetIMEFont(int x, int y);
  // View.
  void UpdateTextArea(int width, int height);
  bool UpdateVScrollRange(bool redraw);
  void UpdateHScrollRange(bool redraw);
  void UpdateCaretPos();
  bool ScrollToCaret(int x, int line, int margin);
  bool SetCaret(int col, int line, bool setGoal, bool collapse);
  // The caret to (col, line), settled on the row's text, unless col is
  // negative; then the view scrolls until the caret shows. Returns whether it
  // scrolled. The system caret and the caret's notices are left to the caller.
  bool MoveCaretInView(int col, int line);
  // SetCaret at the caret's own position: scrolls the view until the caret shows.
  void ScrollCaretIntoView(bool setGoal);
  void WMVScroll(TMessage& message);
  void WMHScroll(TMessage& message);
  void WMMouseWheel(TMessage& message);
  // Hides the caret, then clears the selection or, with Shift, anchors one at the caret.
  void PrepareDocumentJump();
  void ClearSelection();
  // Keys. Each stage acts on the key by one table of modifiers.
  void WMKeyDown(TMessage& message);
  void WMSysKeyDown(TMessage& message);
  void CtrlKey(WORD key);
  void PlainKey(WORD key);
  void ShiftKey(WORD key);
  void UnmodifiedKey(WORD key);
  void AnyModifierKey(WORD key);
  void PageMove(WORD code);
  void AutoScrollTick();
  // Mouse.
  void PressLeft(int x, int y);
  // A gutter press: the caret's line with its line break, the caret at its start.
  void SelectLineAtCaret();
  // A move with the button held: the selection follows by characters, or by
  // words after a double click; a view scrolled sideways is painted again.
  void TrackMouse(int X, int Y);
  void TrackCharacters(int X, int Y);
  // Drag and drop.
  // The logical position of a display position, the end of a row taken as the next row's start.
  TLogicalPos PlaceInText(TDisplayPos pos) const;
  // True when there is a selection and the caret lies inside it, either end
  // included; gives the selection's bounds as GetSelBounds does.
  bool CaretInSelection(int& startCol, int& startLine, int& endLine, int& endCol) const;
  // A press inside the selection: a drag starts, or OnManualStartDrag decides.
  void StartDragFromPress();
  void BeginTextDrag();
  // Ctrl pressed or released during a text drag shows the copy or the move cursor.
  void SwitchDragCursor(UINT msg);
  void DropText(const std::string& Text);
  // Text from another program, inserted at the drop point as one change.
  void DropForeignText(std::string Text);
  // A drag that did not end on this control: the text stays as it was and
  // the caret goes back to the selection's moving end.
  void CancelTextDrag();
  void FinishDrag();
  // Caret moves.
  void MoveCaretRight(bool ByWord);
  void MoveCaretLeft(bool ByWord);
  void MoveCaretVert(int Delta);
  void MoveCaretLines(int Delta);
  void MoveCaretLineStart();
  void MoveCaretLineEnd();
  // The caret Delta display lines on, without scrolling; the underline follows it.
  void StepCaretLine(int Delta);
  // A word move that went on over the end of a soft-wrapped piece.
  void MoveCaretByWordTo(TDisplayPos To);
  void UpdateSelectionAfterMove();
  void ExtendSelection(int Col, int Line);
  // Repaints [fromCol, toCol) of a row, split at the anchor, each part selected as the new end says.
  void RepaintSelectionSpan(int row, int fromCol, int toCol, int endLine, int endCol);
  // Words.
  static int CharClass(unsigned Code);
  // The other end of the run of same-class characters at the caret.
  TDisplayPos ScanWord(bool Forward) const;
  TDisplayPos ScanWordFrom(TDisplayPos at, bool Forward) const;
  // The word (one run of a character class) that holds the character at at.
  std::pair<TDisplayPos, TDisplayPos> WordAround(TDisplayPos at) const;
  // A double click selects the word under the point, a triple click the line.
  void SelectClickedWordOrLine(int x, int y);
  // Dragging after a double click extends the selection by whole words.
  void TrackWords(int x, int y);
  // The selection from the caret to To, the other end of a word to delete.
  void SelectFromCaretTo(TDisplayPos To);
  // Painting. Rows are display lines; y offsets are below TopMargin.
  void PaintScreen();
  // PaintScreen for the rows first..last of the view only, as a paint of a
  // band (the rows a scroll uncovered) needs.
  void PaintRows(int first, int last);
  // Within MoveCaretTo, moves the view's pixels by the rows the top went
  // down by (up, when negative), when that is fewer than the view holds; the
  // rows uncovered are painted by the paint that follows. False when the view
  // must be painted whole.
  bool ScrollRowsInPlace(int rows);
  // Repaints the rows from first to the bottom of the view.
  void RepaintLines(int first);
  void PaintLine(int x, int y, std::string_view text);
  void PaintLineRange(int a, int b);
  void PaintLineSegment(int row, int fromCol, std::string_view text, bool selected, int toCol);
  // The bytes of [from, to) that text drawn from `from` shows in the client area.
  std::pair<int, int> ShownSpan(const TRowLayout& layout, int from, int to) const;
  // Rows first..last split into segments by the ordinary selection.
  void PaintSelectionRows(int first, int last);
  // Every visible row as one selected segment (the whole-text selection).
  void PaintAllSelected();
  void PaintBelowText(int a, int b);
  void PaintGutter(int a, int b);
  void PaintTopMargin();
  void FireUserDraw();
  void FireUserClientDraw(int L1, int L2);
  void UpdateHThumb();
  int RowTop(int row) const;
  TColor RowTextColor(const std::string& text) const;
  void DrawUnderline(int row, bool on);
  void MoveUnderline(int fromRow, int toRow);
  void EraseUnderlineAt(int row);
  // The underline's pixel row under a text row, from the left margin to the right edge.
  void StrokeUnderline(int row, TColor color);
  // Marks.
  void DrawLineEndMark(int x, std::string_view endBytes, int y);
  void DrawCRMark(int x, int y);
  void DrawBlankMarks(const TRect& clip, int x0, const TTabMarks& marks, bool selected,
                      const std::string& text, int y);
  void DrawDotLine(int x1, int y1, int x2, int y2);
  void DotLineProc(int x, int y);
  // Links; clip, when given, restricts drawing to that one row rectangle.
  void ColorLinks(int a, int b, const TRect* clip);
  void PaintLinkRun(int row, int start, int end, const TRect* clip);
  // Messages.
  void WMCreate(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMGetText(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void EMGetSel(TMessage& message);
  void EMSetSel(TMessage& message);
  void EMLineLength(TMessage& message);
  void EMGetLine(TMessage& message);
  void SetCaretPosMessage(TMessage& message);
  std::string GetSelText() const;
  // The bytes from `from` to `to`, in text order and on the text.
  std::string TextBetween(TDisplayPos from, TDisplayPos to) const;
  int GetSelLength() const;
  // Selection.
  // Anchor and moving end in text order.
  void OrderedSel(int& startLine, int& startCol, int& endLine, int& endCol) const;
  void EraseCaretUnderline();
  void CollapseSelection();
  // Positions.
  // Bytes of the character at col of a row: 2 for a lead byte with its trail, else 1.
  int CharSizeAt(std::string_view row, int col) const;
  // Puts a position on the text: the line within it, the column within the
  // line's content and on a character's first byte; the column just past a
  // line break is the start of the next line.
  void SettlePosition(int& line, int& col) const;
  // Settles the caret, the anchor and the moving and painted ends of the selection.
  void SettleSelection();
  // A key that edits while the button is held ends the mouse selection first.
  void EndMouseSelection();
  // Editing.
  bool CopySelection();
  // Replaces the bytes from `from` to `to`, read as offsets into the text, by
  // text, and splits the rows anew at every CR LF and nowhere else. The
  // caret goes after the new bytes.
  TRowChange ReplaceRange(TDisplayPos from, TDisplayPos to, const std::string& text);
  // Every ranged change of the text comes through here, inside an open
  // door: the splice, noted in the open edit, and the caret after the new
  // bytes (or before them). The rows are rewrapped and shown when the door closes.
  void ChangeText(TDisplayPos from, TDisplayPos to, const std::string& text, bool caretBefore = false);
  // The one place that shows a change: the caret kept in view, the scroll
  // ranges, and the rows repainted as the change needs.
  void ShowChange(const TRowChange& change, bool forceFull);
  // Replaces from..to by text as one edit, shown when redraw is set.
  void ReplaceAt(TDisplayPos from, TDisplayPos to, const std::string& text, bool redraw);
  // Cuts the rows the change touched into pieces again, starting one piece
  // earlier and stopping where the new pieces meet the old ones; positions
  // held in those rows follow their bytes.
  TRowChange RewrapLines(TRowChange change);
  // With a counting hook: the row the rewrap of change starts at (first, or
  // an earlier one), and the byte offset of the text up to which it must
  // wrap before it may keep old rows.
  int CountedRewrapStart(int first, const TRowChange& change, std::size_t& reach) const;
  // A full rewrap: the store unwrapped, then wrapped at the current width.
  void RewrapAll(bool update);
  // The position n bytes of text after pos, counted across rows; an end at a
  // row's very end is the next row's start.
  TDisplayPos AdvanceBytes(TDisplayPos pos, std::size_t n) const;
  // Up to max content bytes of the logical line from pos on, across its pieces.
  std::string LogicalContentAfter(TDisplayPos pos, std::size_t max) const;
  // WM_CLEAR: empties the text as one deletion that undo brings back.
  void ClearText();
  void RepaintRowFrom(int row, int x);
  // Typed input.
  void WMChar(TMessage& message);
  void WMImeComposition(TMessage& message);
  // Removes the character or line break at the caret as Delete does; false when nothing was there.
  bool RemoveCharAtCaret(TUndoKind kind);
  // Undo. col = line = -1 records at the selection start; display positions are stored as logical ones.
  void AddUndo(TUndoKind kind, const std::string& text, int col, int line);
  // Sets the modified state and keeps the record when recording is on; the redo list goes.
  void RecordChange(TUndoRecord record, bool keepOversize);
  // Puts a record at the head of the undo list within the budget; false when it is not kept.
  // keepOversize keeps a record larger than the whole budget as the only one.
  bool PushUndo(TUndoRecord record, bool keepOversize = false);
  // The door (RyxEditDoor.cpp). Scopes nest; the outermost one decides
  // whether the change is shown.
  void BeginEdit(bool show, TChangeSignal signal);
  void EndEdit();
  // A splice of rows first..oldLast into first..newLast, noted in the open edit.
  void NoteSplice(const TRowChange& change);
  // Hands the open edit a whole new store (store receives the old rows) and
  // where the caret and the view go in it.
  void ReplaceStore(TRyxStrings& store, const TViewPlace& place);
  // What the owner was to be told while the door was open.
  void AnnounceStates(const TOpenEdit& open);
  TRowChange SettleSplices(const TOpenEdit& open);
  TRowChange SettleWholeStore(const TOpenEdit& open);
  void ShowSplices(const TRowChange& change, bool forceFull);
  void ShowWholeStore();
  // Loading and clearing: a new store as one edit, with a fresh state.
  void ReplaceDocument(TRyxStrings& store);
  TViewPlace CurrentPlace() const;
  // The caret and the view's top at place, with no selection; paints nothing.
  void PlaceCaretAndTop(const TViewPlace& place);
  // TypeText's change, inside its door.
  void TypeIntoText(const std::string& text);
  // The offset in GetAllText of a logical position.
  std::size_t TextOffset(TLogicalPos at) const;
  void ReplayReplace(TUndoList& from, TUndoList& to);
  // A change made without a record leaves every stored position behind.
  void ForgetHistory();
  void ClearUndo();
  void ClearRedo();
  void Replay(TUndoList& from, TUndoList& to);
  // Moving a record between the lists: taking it keeps FUndoSize right, putting it keeps the budget.
  TUndoRecord TakeRecord(TUndoList& from);
  void PutRecord(TUndoList& to, TUndoRecord record);
  void MoveRecord(TUndoList& from, TUndoList& to, TUndoKind kind);
  void ReplayInsert(const TUndoRecord& head, TUndoList& from, TUndoList& to);
  // Puts a deleted text back at its record's position, the caret after it or before it.
  void ReplayRestore(TUndoList& from, TUndoList& to, bool caretBefore);

  void SetModified(bool value);
  // Tells the owner the modified state and whether redo is available; while
  // a door is open they are told when it closes, once the rows are final.
  void AnnounceModified();
  void AnnounceRedoMode();
  void NotifyLinesChanged(int first, int oldLast, int newLast) {
    if (OnLinesChanged) OnLinesChanged(this, first, oldLast, newLast);
  }
  // Modified unless the undo list stands where it stood at the last save or load.
  void UpdateModified();
  void ShowError(const std::string& code);
  bool CharKindIsTrail(const std::string& line, int col) const;

  // Property values.
  std::string FVersion;
  TFont FFont;
  TColor FColor = clWhite;
  TBorderStyle FBorderStyle = TBorderStyle::bsNone;
  bool FWordWrap = true;
  bool FAutoWrap = false;
  int FColumn = 72;
  const IColumnCounting* FColumnCounting = nullptr;
  std::uint8_t FTabCount = 6;
  int FTopMargin = 4;
  int FLeftMargin = 10;
  bool FShowLineNumber = false;
  std::uint8_t FLineNoColumn = 5;
  int FLineSpace = 10;
  TLineSizeUnit FLineSpaceUnit = TLineSizeUnit::uPercent;
  bool FHorzScrollBar = false;
  bool FVertScrollBar = true;
  std::uint8_t FScrollStep = 2;
  bool FCaretScrollFix = false;
  bool FCurSetMode = true;
  bool FShowEOF = true;
  bool FShowCR = true;
  bool FShowTAB = false;
  bool FShowDblSpace = true;
  TColor FCREOFcolor = clTeal;
  TColor FSelColor = 0;
  TColor FURLColor = clBlue;
  TColor FInyoColor = clGray;
  std::string FInyostr;
  bool FColorPrintF = true;
  bool FShowUnderLine = false;
  TColor FUlineColor = 0;
  bool FUndoRec = true;
  int FUndoBuf = 0xF8000;
  bool FAutoIndent = false;
  bool FReadOnly = false;
  bool FWantTabs = true;
  bool FSingleByteMode = false;
  TDragMode FDragMode = TDragMode::dmAutomatic;
  TCursor FDragCursor = 1;

  // Owned objects.
  TRyxStrings FLines;
  TUndoList FUndoList;
  TUndoList FRedoList;
  TTimer FTimer;
  std::string FTabSpaces;
  TLogFont FLogFont;
  TCompositionForm FCompForm;
  UINT FMsgGetCaretPos = 0;
  UINT FMsgSetCaretPos = 0;
  std::string FErrorContext;
  std::string FLastFileError;

  // Caret.
  int FCaretLine = 0;
  int FCaretCol = 0;
  int FCaretX = 0;
  int FCaretY = 0;
  int FGoalCol = 0;
  int FLastCaretCol = 0;
  int FLastCaretLine = 0;
  int FLastCaretX = 0;
  bool FInsertMode = true;
  bool FIMEComposing = false;

  // Selection.
  bool FSelActive = false;
  bool FSelAll = false;
  int FSelStartLine = 0;
  int FSelStartCol = 0;
  int FSelEndLine = 0;
  int FSelEndCol = 0;
  int FSelPaintLine = 0;
  int FSelPaintCol = 0;
  int FDragSelLine = 0;
  int FDragSelCol = 0;
  bool FMouseSelecting = false;
  bool FDragging = false;
  bool FDblClicked = false;
  // Presses in a row: 2 after a double click, 3 after a triple one.
  int FClickCount = 1;
  // While a drag that began with a double click goes on: the word it began on.
  bool FWordSelecting = false;
  std::pair<TDisplayPos, TDisplayPos> FAnchorWord;
  bool FSavedCaretScrollFix = false;

  // View and scrolling.
  int FTopLine = 0;
  // The tabs of the last long row laid out.
  mutable TLongRowTabs FLongRowTabs;
  // The link runs of the last long row coloured.
  TLongRowLinks FLongRowLinks;
  int FScrollX = 0;
  int FVisibleLines = 0;
  int FOverScroll = 0;
  int FHScrollStep = 0;
  int FCaretHMargin = 10;
  int FVScrollMax = 0;
  int FMaxLineWidth = 0;
  int FVScrollScale = 1;
  int FHScrollScale = 1;
  int FVScrolled = 0;
  int FHScrolled = 0;
  int FVScrollCaretShift = 0;
  std::int16_t FKeyScrollCount = 0;
  bool FInVScroll = false;
  bool FKeyScroll = false;
  bool FScrollMovesCaret = true;

  // Geometry and font metrics.
  int FCharWidth = 0;
  int FFontHeight = 0;
  int FLineHeight = 0;
  int FZenWidth = 0;
  int FZenHeight = 0;
  int FHanWidth = 0;
  int FMarkHeight = 0;
  int FMarkGap = 0;
  int FDigitWidth = 0;
  int FGutterWidth = 0;
  int FTextLeft = 10;
  int FTextLeftMin = 10;
  int FTextWidth = 0;
  int FTextHeight = 0;
  TRect FTextRect;
  TRect FLinesRect;
  int FSysVBarWidth = 0;
  int FVBarWidth = 0;
  int FMaxColumns = 0;

  // Painting, editing, undo and input bookkeeping.
  int FUnderlineLine = -1;
  TDotLineState FDotLine;
  TOpenEdit FOpen;
  // While the document is replaced a full paint only invalidates the client area.
  bool FDeferScreenPaint = false;
  // MoveCaretTo may move the view's pixels when it scrolls by a few rows;
  // no other move does, since the others may follow changes not yet shown.
  bool FMayMovePixels = false;
  // The text changed since the view was last painted: its pixels are not to be moved.
  bool FStalePixels = false;
  bool FModified = false;
  int FUndoSize = 0;
  // The text at the last save (or load) can no longer be reached by undo:
  // a change was not recorded, a record it needs was dropped, or a new
  // change was made while it lay in the redo list.
  bool FUndoTrimmed = false;
  // The number of undo records at the last save; 0 after a load or reset.
  std::size_t FSaveDepth = 0;
  bool FRedoAnnounced = false;
  int FGoalX = 0;
  int FGoalXCol = 0;
  // Where the last Up or Down left the caret: the goal x holds only while the caret is still there.
  int FGoalXCaretLine = -1;
  int FGoalXCaretCol = -1;
  std::int16_t FAutoScrollDir = 0;
  int FSavedDragCursor = 0;
};
