// TEditScope: the one door of every text change, opened for a scope and finished however the scope ends.
#pragma once

#include <climits>

#include "editor/RyxEditPos.h"

class TRyxEdit;

// Whether the outermost scope fires OnChange at its end: never (the
// primitives DeleteSelection and InsertAtCaret, whose callers signal), when
// the text changed, or always (Cut and Paste signal also when nothing changed).
enum class TChangeSignal { Never, IfChanged, Always };

// The changes made while a door is open, in rows of the store as it is now:
// rows before First and the last KeptTail rows are what they were when the
// door opened; a whole new store replaces every row. Where the caret and the
// view go when a whole text came in is given as logical positions, since
// the rows they stood on may be gone.
struct TOpenEdit {
  int Depth = 0;
  // Whether the outermost scope shows the change (repaint, scroll ranges, caret).
  bool Show = true;
  TChangeSignal Signal = TChangeSignal::IfChanged;
  bool CaretHidden = false;
  int OldCount = 0;
  int First = INT_MAX;
  int KeptTail = INT_MAX;
  int XFrom = 0;
  int Splices = 0;
  bool WholeStore = false;
  TViewPlace Place;
  // The owner is to be told the modified state or the redo mode at the end.
  bool ModifiedToAnnounce = false;
  bool RedoModeToAnnounce = false;

  bool Changed() const { return WholeStore || Splices > 0; }
};

// Opens the door for a scope: any number of primitive changes of the text
// go through it, and when the outermost scope ends the rows are rewrapped,
// the change is reported once (OnLinesChanged), shown once, and OnChange
// fires as the outermost scope asks, whether the scope ends normally or by
// an exception.
class TEditScope {
 public:
  explicit TEditScope(TRyxEdit& edit, bool show = true, TChangeSignal signal = TChangeSignal::IfChanged);
  ~TEditScope() noexcept(false);
  TEditScope(const TEditScope&) = delete;
  TEditScope& operator=(const TEditScope&) = delete;

 private:
  TRyxEdit& FEdit;
};
