// TRyxEdit: the door every text change goes through, and what its end does once: rewrap, report, show, OnChange.
#include "editor/RyxEditDoor.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "editor/RyxEdit.h"

TEditScope::TEditScope(TRyxEdit& edit, bool show, TChangeSignal signal) : FEdit(edit) { FEdit.BeginEdit(show, signal); }

TEditScope::~TEditScope() noexcept(false) {
  // Unwinding already, the edit is finished without letting a second exception out.
  if (std::uncaught_exceptions() > 0) {
    try {
      FEdit.EndEdit();
    } catch (const std::exception&) {
      FEdit.ShowError("Error:OC004");
    }
    return;
  }
  FEdit.EndEdit();
}

void TRyxEdit::BeginEdit(bool show, TChangeSignal signal) {
  if (FOpen.Depth++ > 0) return;
  FOpen.Show = show;
  FOpen.Signal = signal;
  FOpen.OldCount = FLines.Count();
  // The caret stays hidden until the change is shown; the host counts hides and shows.
  FOpen.CaretHidden = HandleAllocated();
  if (FOpen.CaretHidden) Host().HideCaret();
}

void TRyxEdit::NoteSplice(const TRowChange& change) {
  const int countBefore = FLines.Count() - (change.NewLast - change.OldLast);
  if (change.First < FOpen.First) {
    FOpen.First = change.First;
    FOpen.XFrom = change.XFrom;
  } else if (change.First == FOpen.First) {
    FOpen.XFrom = std::min(FOpen.XFrom, change.XFrom);
  }
  FOpen.KeptTail = std::min(FOpen.KeptTail, countBefore - 1 - change.OldLast);
  ++FOpen.Splices;
  FStalePixels = true;
}

void TRyxEdit::ReplaceStore(TRyxStrings& store, const TViewPlace& place) {
  FLines.Swap(store);
  FOpen.WholeStore = true;
  FOpen.Place = place;
  FStalePixels = true;
}

void TRyxEdit::EndEdit() {
  if (--FOpen.Depth > 0) return;
  const TOpenEdit open = std::exchange(FOpen, TOpenEdit{});
  struct TShowCaret {
    TRyxEdit& Edit;
    bool Hidden;
    ~TShowCaret() {
      if (Hidden) Edit.Host().ShowCaret();
    }
  } showCaret{*this, open.CaretHidden};
  if (!open.Changed()) {
    AnnounceStates(open);
    if (open.Signal == TChangeSignal::Always && OnChange) OnChange(this);
    return;
  }
  const TRowChange change = open.WholeStore ? SettleWholeStore(open) : SettleSplices(open);
  NotifyLinesChanged(change.First, change.OldLast, change.NewLast);
  if (HandleAllocated() && open.Show) {
    if (open.WholeStore)
      ShowWholeStore();
    else
      ShowSplices(change, open.Splices > 1);
  }
  AnnounceStates(open);
  if (open.Signal != TChangeSignal::Never && OnChange) OnChange(this);
}

void TRyxEdit::AnnounceStates(const TOpenEdit& open) {
  if (open.ModifiedToAnnounce) AnnounceModified();
  if (open.RedoModeToAnnounce) AnnounceRedoMode();
}

TRowChange TRyxEdit::SettleSplices(const TOpenEdit& open) {
  TRowChange change{open.First, open.OldCount - 1 - open.KeptTail, FLines.Count() - 1 - open.KeptTail, open.XFrom};
  if (FWordWrap) {
    change = RewrapLines(change);
    // Joined with the piece after it, a new lead byte may have found its trail byte there.
    SettleSelection();
  }
  return change;
}

TRowChange TRyxEdit::SettleWholeStore(const TOpenEdit& open) {
  if (FWordWrap) {
    TRyxStrings wrapped;
    BuildWrappedLines(wrapped);
    FLines.Swap(wrapped);
  }
  PlaceCaretAndTop(open.Place);
  return TRowChange{0, open.OldCount - 1, FLines.Count() - 1, 0};
}

void TRyxEdit::PlaceCaretAndTop(const TViewPlace& place) {
  FSelActive = FSelAll = false;
  const TDisplayPos caret = ToDisplay(place.Caret);
  FCaretLine = caret.Line;
  FCaretCol = caret.Col;
  SettlePosition(FCaretLine, FCaretCol);
  FGoalCol = FCaretCol;
  CollapseSelection();
  FTopLine = std::clamp(ToDisplay(place.Top).Line, 0, FLines.Count() - 1);
}

void TRyxEdit::ShowSplices(const TRowChange& change, bool forceFull) {
  FCaretY = (FCaretLine - FTopLine) * FLineHeight;
  FCaretX = TextXOfColumn(FLines.Get(FCaretLine), FCaretCol) - FScrollX;
  FGoalCol = FCaretCol;
  ShowChange(change, forceFull);
}

void TRyxEdit::ShowWholeStore() {
  FCaretX = TextXOfColumn(FLines.Get(FCaretLine), FCaretCol) - FScrollX;
  UpdateVScrollRange(true);
  if (!SetCaret(FCaretCol, FCaretLine, true, true)) PaintScreen();
  UpdateCaretPos();
}
