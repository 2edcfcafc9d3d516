// A weighted random driver of the editor control, checked after every step against the plain text model, the screen
// oracle and the change reports.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "tests/TempDir.h"
#include "tests/editor/AngleMarkup.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/TextModel.h"

// Each step is an input by name, drawn by weight: keys, typing, input-method
// compositions, presses, moves and drags of the selection and of the text,
// undo and redo, wrap switches, whole-text tools and settings (the names of
// TEditorFixture::Do and those Execute adds). The model takes each step by
// its name too, so that the steps of a failure say all that was done.
// After each step the text must be the model's, the stored rows whole
// (TEditorFixture::Broken), the caret where the model puts it after a
// change, the undo and redo records as many as the model's, the screen as
// the oracle draws it, and the change reports one per change, sent with the
// rows in their final form and kept in a copy of the rows that stays equal to
// the store, followed by one OnChange that sees the modified state settled.
class TEditorDriver {
 public:
  explicit TEditorDriver(unsigned seed);

  // Loads a random file, runs that many random steps, then undoes and redoes
  // the whole history. Returns what went wrong first, with the seed, the
  // state before the step and every step so far, or "".
  std::string Run(int steps);
  // Takes these steps, each checked as Run checks its own; returns what went wrong first, or "".
  std::string Replay(const std::vector<std::string>& steps);

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
    bool Dragging = false;
    std::string Clipboard;
  };

  // What went wrong, with the seed and every step so far.
  std::string Failure(const std::string& wrong) const;
  TBefore ReadBefore() const;
  std::size_t Offset(int row, int col) const;
  std::string Pick(const TBefore& b);
  // The name with its placeholders filled in at random, or "" when one cannot be.
  std::string Fill(const std::string& name);
  std::string SelectionStartInView() const;
  std::string Step(const std::string& step);
  // Adds to the fixture's names: "compose:text" (a whole input-method
  // composition), "dblclick:row,col", "releasecopy" (the drop of a text drag
  // with Ctrl held), "undo" (the message), "autoindent:0|1",
  // "wrap:off|window|column", "counting:0|1", "setall:text", "clearall",
  // "load:bytes" (a file of these bytes), "replace:text" and
  // "rewrite:seed,text" (the whole-text step in its two forms; the seed cuts
  // the writes), "rewritefails".
  void Execute(const std::string& step);
  // Brings the model where the step, just run, should have left it.
  void Expect(const std::string& step, TBefore b);
  std::string Check(const std::string& step, const TBefore& b, bool changed);

  std::size_t TakeSelection(const TBefore& b);
  void ExpectTyped(const TBefore& b, std::string typed);
  void ExpectWordDeleted(const TBefore& b, bool right);
  void ExpectReplaced(const TBefore& b, const std::string& after, bool exact);

  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(FRandom); }
  template <typename T>
  const T& Any(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Number(0, static_cast<int>(items.size()) - 1))];
  }
  std::string RandomText();
  // A file whose first line break is an LF.
  std::string RandomFile();

  unsigned FSeed;
  std::mt19937 FRandom;
  TTempDir FFolder;
  TAngleMarkup FMarkup;
  TEditorFixture F;
  TTextModel FModel;
  std::vector<std::string> FSteps;
  // The rows as the change reports describe them, and what the reports of the current step did.
  std::vector<std::string> FMirror;
  int FReports = 0;
  int FReportsAtChange = -1;
  int FChangeEvents = 0;
  bool FModifiedAtChange = false;
  std::string FReportWrong;
  std::string FReportEarly;
  // What an expectation found wrong that the text alone does not show.
  std::string FExpectWrong;
};
