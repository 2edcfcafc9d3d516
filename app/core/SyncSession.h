// TSyncSession: the actions of sync mode on an editor and a player: stamp, end line, nudge, move, replay, remove.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/core/SyncStamp.h"
#include "platform/AudioPlayer.h"

class TRyxEdit;

// Every action works on the caret's logical line. Each change of the text
// is one ranged edit through the editor's editing operations (the tag's
// bytes selected and replaced), so that it is one undo step and the caret,
// the view and the undo history stay. Each action returns the line for the
// status bar (UTF-8); the player may be closed, which the line then says.
class TSyncSession {
 public:
  TSyncSession(TRyxEdit& edit, IAudioPlayer& player) : FEdit(edit), FPlayer(player) {}

  TMillis ReactionDelay() const { return FReactionDelay; }
  void SetReactionDelay(TMillis delay) { FReactionDelay = delay; }
  // The form new tags take on lines without one: the form of the first line
  // tag in the text, "[mm:ss.xx]" when there is none. Read once when sync mode starts.
  void ReadFileForm();
  TTagForm FileForm() const { return FFileForm; }

  // Space: the caret's line gets the time heard now, and the caret goes to
  // the next line that is not an ID tag line. On an ID tag line the stamp
  // goes to the first line after it that is not one.
  std::string Stamp();
  // Shift+Space: a line holding only a tag of the time heard now, after the caret's line.
  std::string InsertEndLine();
  // Alt+Left/Right: the line's tag moves by delta; the song plays again from a second before it.
  std::string Nudge(TMillis delta);
  // Alt+Up/Down: the caret to the line before or after, the song to its tag.
  std::string MoveLine(int direction);
  // Ctrl+R: plays the line from its tag to the next line's.
  std::string ReplayLine();
  // Alt+Backspace.
  std::string RemoveTag();
  // Ends a replay of Ctrl+R at its end; called while the song plays.
  void Tick();
  bool Replaying() const { return FReplayEnd.has_value(); }

  // Replaces the edit's bytes of logical line `line` as one undo step, the
  // caret left by them: the door of every change that an action makes.
  void ReplaceInLine(int line, const TLineEdit& edit) { ApplyEdit(line, edit); }

  int CaretLogicalLine() const;
  // The bytes of logical line `line` (from 0), across the rows word wrap made of it, without its line break.
  std::string LogicalLineText(int line) const;

 private:
  // Word mode times the units of a line with the same edits, clock and replay.
  friend class TWordSession;

  // The edit with a neighbouring character of the line replaced too, when it would replace nothing.
  static TLineEdit AsReplacement(std::string_view line, TLineEdit edit);
  // Replaces the edit's bytes of logical line `line` and leaves the caret after the new bytes.
  void ApplyEdit(int line, const TLineEdit& edit);
  // The caret back where it was in logical terms, moved with the bytes an edit at the start of its line changed.
  void RestoreCaret(int line, int col, const TLineEdit& edit);
  void PutCaretOnLine(int line);
  std::optional<int> NextStampableLine(int after) const;
  // The time a stamp made now takes, and the note on clamping for the status line.
  TStampTime TimeNow() const;
  std::string Described(int line, TMillis time, const TStampTime& held) const;
  // What the status line adds when a time was held to the song.
  static std::string HeldNote(const TStampTime& held);
  bool CanEdit() const;

  TRyxEdit& FEdit;
  IAudioPlayer& FPlayer;
  TMillis FReactionDelay{0};
  TTagForm FFileForm;
  std::optional<TMillis> FReplayEnd;
};
