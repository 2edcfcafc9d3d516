// A weighted random driver of the editor control, checked after every step against the plain text model, the screen
// oracle and the change reports.
#pragma once

#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/TempDir.h"
#include "tests/editor/AngleMarkup.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/TextModel.h"

// Each step is an input by name (the fixture's names, and a few of the
// owner's operations: see Execute) drawn by weight: keys, typing, input-method
// compositions, mouse presses and drags of the selection or of the text,
// undo and redo, wrap switches, whole-text tools and settings. After it the
// text must be the model's, the stored rows whole (TEditorFixture::Broken),
// the caret where the model puts it after a change, the undo records as many
// as the model's, the screen as the oracle draws it, and the change reports
// one per change, sent when the rows are in their final form, kept in a copy
// of the rows that stays equal to the store.
class TEditorDriver {
 public:
  explicit TEditorDriver(unsigned seed);

  // Runs that many random steps, then undoes and redoes the whole history.
  // Returns what went wrong first, with the seed and the steps so far, or "".
  std::string Run(int steps);

 private:
  // The state a step starts from, as byte offsets into the text.
  struct TBefore {
    std::size_t Caret = 0;
    std::size_t SelStart = 0;
    std::size_t SelEnd = 0;
    // A selection exists, though it may be empty; SelAll is the whole text selected.
    bool SelShown = false;
    bool SelAll = false;
    bool ReadOnly = false;
    bool InsertMode = true;
    std::string Clipboard;
  };
  struct TAction {
    std::string Step;
    // Brings the model to the state the step should leave, after the step ran.
    std::function<void(const TBefore&)> Expect = nullptr;
    // OnChange follows even when nothing changed (cut and paste).
    bool AlwaysSignals = false;
    // Rows are rewrapped without a change of the text (wrap, width, window size).
    bool Rewraps = false;
  };

  TBefore ReadBefore() const;
  std::size_t Offset(int row, int col) const;
  TAction Pick(const TBefore& b);
  bool MeetsOpenFault(const TAction& action, const TBefore& b) const;
  std::string Step(const TAction& action, const TBefore& b);
  std::string Check(const TAction& action, const TBefore& b, const std::string& before,
                    const std::vector<std::string>& rowsBefore, bool changed);
  // The step by name: the fixture's inputs, and "compose:text" (a whole
  // input-method composition), "dblclick:row,col", "releasecopy" (a text
  // drag dropped with Ctrl held), "undo" (the message), "autoindent:0|1",
  // "wrap:off|window|column", "counting:0|1", "setall:text", "clearall",
  // "load:bytes" (a file of these bytes), "replace:text" and
  // "rewrite:seed,text" (the whole-text step in its two forms; the seed
  // cuts the writes), "rewritefails".
  void Execute(const std::string& step);

  // The actions by kind.
  TAction MoveKey(const TBefore& b);
  TAction Typing(const TBefore& b);
  TAction EditKey(const TBefore& b);
  TAction Clipboard(const TBefore& b);
  TAction Mouse(const TBefore& b);
  TAction TextDrag(const TBefore& b);
  TAction DragStep(const TBefore& b);
  TAction UndoRedo(const TBefore& b);
  TAction WrapSwitch(const TBefore& b);
  TAction WholeText(const TBefore& b);
  TAction Setting(const TBefore& b);

  // The model's side of the edits.
  std::size_t TakeSelection(const TBefore& b);
  void ExpectTyped(const TBefore& b, std::string typed);
  void ExpectInserted(const TBefore& b, const std::string& text);
  void ExpectWordDeleted(const TBefore& b, bool right);

  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(FRandom); }
  bool Chance(int percent) { return Number(0, 99) < percent; }
  template <typename T>
  const T& Any(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Number(0, static_cast<int>(items.size()) - 1))];
  }
  std::string RandomText(int pieces);
  // A file whose first line break is an LF.
  std::string RandomFile();

  unsigned FSeed;
  std::mt19937 FRandom;
  TTempDir FFolder;
  TAngleMarkup FMarkup;
  TEditorFixture F;
  TTextModel FModel;
  std::vector<std::string> FSteps;
  // The left mouse button is down.
  bool FButtonHeld = false;
  // The rows as the change reports describe them, and what the reports of the current step did.
  std::vector<std::string> FMirror;
  int FReports = 0;
  int FReportsAtChange = -1;
  int FChangeEvents = 0;
  std::string FReportWrong;
  std::string FReportEarly;
  // Something a step's expectation found wrong that the text alone does not show.
  std::string FExpectWrong;
};
