// TWordSession: sync mode by units: stamp, end, nudge, replay, remove, join and split the unit at the caret.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/SyncSession.h"
#include "app/core/WordTags.h"

class TRyxEdit;

// Each action works on the unit that holds the caret, in the caret's logical
// line; each change of the text is one ranged edit through the line session's
// door, one undo step. Joins and splits not yet written as tags are
// remembered for the line until its text (tags aside) changes.
class TWordSession {
 public:
  TWordSession(TSyncSession& lines, TRyxEdit& edit) : FLines(lines), FEdit(edit) {}

  // The form of word tags, from the first tagged line of the text and the file's name; as sync mode starts.
  void ReadFileForm(std::string_view fileName);
  const TWordFormat& Format() const { return FFormat; }

  // Space: the caret's unit gets the time heard now, and the caret goes to
  // the next unit, after the last one to the first of the next line.
  std::string Stamp();
  // Shift+Space: the end of the last unit timed: of the caret's line, or of
  // the line before when the caret is still on the first unit.
  std::string StampEnd();
  // Alt+Left/Right: the unit's tag moves by delta; the song plays again from a second before it.
  std::string Nudge(TMillis delta);
  // Ctrl+R: plays the unit from its time to the next unit's (or the next line's).
  std::string Replay();
  // Alt+Backspace.
  std::string RemoveTag();
  // Alt+J: the caret's unit and the next become one.
  std::string Join();
  // Alt+K: the caret's unit becomes two at the caret.
  std::string Split();

  // The unit the next stamp times, for the highlight: logical line and bytes.
  struct TUnitSpan {
    int Line = 0;
    std::size_t Start = 0;
    std::size_t End = 0;
  };
  // None on a line longer than kMarkedLineBytes: the mark is read at every
  // caret move and paint, and a line that long is no line of a song.
  std::optional<TUnitSpan> CaretUnit();
  static constexpr std::size_t kMarkedLineBytes = 4096;

 private:
  struct TLineState {
    int Line = 0;
    std::string Text;
    std::vector<std::size_t> Starts;
    TLineUnits Units;
  };
  // The units of a line, with the joins and splits remembered for it.
  TLineState Read(int line);
  void Remember(const TLineState& state);
  std::size_t CaretCol() const;
  // The next line after `after` that has units.
  std::optional<int> NextUnitLine(int after);
  std::optional<int> PreviousUnitLine(int before);
  // Whether logical line `line` holds at most kMarkedLineBytes, found from its rows' sizes alone.
  bool ShortLine(int line) const;
  void PutCaret(int line, std::size_t col);
  // After the unit index of line was stamped: the caret to the unit after it.
  void MoveOn(int line, std::size_t index);
  // Applies an edit of the unit's line and keeps the caret where it was.
  void ApplyKeepingCaret(const TLineState& state, const TLineEdit& edit);
  std::string Label(const TLineState& state, std::size_t index) const;

  TSyncSession& FLines;
  TRyxEdit& FEdit;
  TWordFormat FFormat;
  struct TMemory {
    int Line = 0;
    std::string TagFree;
    std::vector<std::size_t> Starts;
  };
  std::optional<TMemory> FMemory;
};
