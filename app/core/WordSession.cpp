// TWordSession: the unit at the caret read with the remembered joins and splits, each action one edit of its line.
#include "app/core/WordSession.h"

#include <algorithm>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/CodePage.h"

namespace {

constexpr const char* kNoSong = "音声が開かれていません (ファイル → 音声を開く...)";
constexpr const char* kNoUnit = "この位置には単語がありません";
constexpr const char* kNoTime = "この単語にはタイムタグがありません";

std::string LineLabel(int line) { return std::to_string(line + 1) + " 行目 "; }

}  // namespace

void TWordSession::ReadFileForm(std::string_view fileName) {
  const TRyxStrings& lines = FEdit.Lines();
  const int last = lines.LogicalLineOf(lines.Count() - 1);
  std::string sample;
  // By logical lines, like the line form: the first line with a time tag speaks for the file.
  for (int line = 0; line <= last; ++line) {
    std::string text = FLines.LogicalLineText(line);
    if (!ParseTaggedLine(text).Tags.empty()) {
      sample = std::move(text);
      break;
    }
  }
  FFormat = WordFormatOf(fileName, sample);
  FMemory.reset();
}

TWordSession::TLineState TWordSession::Read(int line) {
  TLineState state;
  state.Line = line;
  state.Text = FLines.LogicalLineText(line);
  if (FMemory && FMemory->Line == line && FMemory->TagFree == TagFreeText(state.Text))
    state.Starts = FMemory->Starts;
  else
    state.Starts = UnitStarts(state.Text);
  state.Units = UnitsAt(state.Text, state.Starts);
  return state;
}

void TWordSession::Remember(const TLineState& state) {
  FMemory = TMemory{state.Line, TagFreeText(state.Text), state.Starts};
}

std::size_t TWordSession::CaretCol() const {
  return static_cast<std::size_t>(FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()}).Col);
}

std::optional<int> TWordSession::NextUnitLine(int after) {
  const TRyxStrings& lines = FEdit.Lines();
  const int last = lines.LogicalLineOf(lines.Count() - 1);
  for (int line = after + 1; line <= last; ++line) {
    if (!UnitStarts(FLines.LogicalLineText(line)).empty()) return line;
  }
  return std::nullopt;
}

std::optional<int> TWordSession::PreviousUnitLine(int before) {
  for (int line = before - 1; line >= 0; --line) {
    if (!UnitStarts(FLines.LogicalLineText(line)).empty()) return line;
  }
  return std::nullopt;
}

void TWordSession::PutCaret(int line, std::size_t col) {
  const TDisplayPos at = FEdit.ToDisplay({line, static_cast<int>(col)});
  FEdit.MoveCaretTo(at.Line, at.Col);
}

void TWordSession::MoveOn(int line, std::size_t index) {
  const TLineState state = Read(line);
  if (index + 1 < state.Units.Units.size()) {
    PutCaret(line, state.Units.Units[index + 1].Start);
  } else if (const auto next = NextUnitLine(line)) {
    PutCaret(*next, Read(*next).Units.Units.front().Start);
  } else {
    PutCaret(line, state.Text.size());
  }
}

void TWordSession::ApplyKeepingCaret(const TLineState& state, const TLineEdit& edit) {
  const TLogicalPos caret = FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()});
  FLines.ApplyEdit(state.Line, edit);
  if (caret.Line == state.Line)
    FLines.RestoreCaret(state.Line, caret.Col, edit);
  else
    PutCaret(caret.Line, static_cast<std::size_t>(caret.Col));
}

std::string TWordSession::Label(const TLineState& state, std::size_t index) const {
  const TWordUnit& unit = state.Units.Units[index];
  const std::string text = TagFreeText(std::string_view(state.Text).substr(unit.Start, unit.End - unit.Start));
  return LineLabel(state.Line) + "「" + UnicodeToUtf8(AnsiToUnicode(text)) + "」 ";
}

std::string TWordSession::Stamp() {
  // Read first: the time is that of the key, whatever the edit costs.
  const TStampTime held = FLines.TimeNow();
  if (!FLines.FPlayer.IsOpen()) return kNoSong;
  if (!FLines.CanEdit()) return {};
  int line = FLines.CaretLogicalLine();
  TLineState state = Read(line);
  std::size_t index = state.Units.IndexAt(CaretCol());
  if (index >= state.Units.Units.size()) {
    // Past the last unit, or on a line without any: the next line's first.
    const auto next = NextUnitLine(line);
    if (!next) return LineLabel(line) + "の後に時刻を付ける単語がありません";
    line = *next;
    state = Read(line);
    index = 0;
  }
  ApplyKeepingCaret(state, TSyncSession::AsReplacement(
                               state.Text, UnitStampEdit(state.Text, state.Units, index, held.Time, FFormat)));
  Remember(state);
  const std::string label = Label(state, index);
  MoveOn(line, index);
  return label + DescribeTime(held.Time.count()) + TSyncSession::HeldNote(held);
}

std::string TWordSession::StampEnd() {
  const TStampTime held = FLines.TimeNow();
  if (!FLines.FPlayer.IsOpen()) return kNoSong;
  if (!FLines.CanEdit()) return {};
  int line = FLines.CaretLogicalLine();
  TLineState state = Read(line);
  if (state.Units.IndexAt(CaretCol()) == 0) {
    if (const auto previous = PreviousUnitLine(line)) state = Read(line = *previous);
  }
  const auto edit = UnitEndEdit(state.Text, state.Units, held.Time, FFormat);
  if (!edit) return LineLabel(line) + "には単語がありません";
  ApplyKeepingCaret(state, TSyncSession::AsReplacement(state.Text, *edit));
  return LineLabel(line) + "の終わり " + DescribeTime(held.Time.count()) + TSyncSession::HeldNote(held);
}

std::string TWordSession::Nudge(TMillis delta) {
  if (!FLines.CanEdit()) return {};
  const TLineState state = Read(FLines.CaretLogicalLine());
  const std::size_t index = state.Units.IndexAt(CaretCol());
  if (index >= state.Units.Units.size()) return kNoUnit;
  const auto time = state.Units.TimeOf(index);
  if (!time) return kNoTime;
  const TStampTime held = MovedTime(TMillis{*time}, delta, FLines.FPlayer.Duration());
  ApplyKeepingCaret(state, UnitStampEdit(state.Text, state.Units, index, held.Time, FFormat));
  if (FLines.FPlayer.IsOpen()) {
    FLines.FReplayEnd.reset();
    FLines.FPlayer.Seek(NudgeReplayStart(held.Time));
    FLines.FPlayer.Play();
  }
  return Label(state, index) + DescribeTime(held.Time.count()) + TSyncSession::HeldNote(held);
}

std::string TWordSession::Replay() {
  const TLineState state = Read(FLines.CaretLogicalLine());
  const std::size_t index = state.Units.IndexAt(CaretCol());
  if (index >= state.Units.Units.size()) return kNoUnit;
  const auto time = state.Units.TimeOf(index);
  if (!time) return kNoTime;
  if (!FLines.FPlayer.IsOpen()) return kNoSong;
  std::optional<long long> next;
  if (index + 1 < state.Units.Units.size()) next = state.Units.TimeOf(index + 1);
  if (!next && index + 1 == state.Units.Units.size() && state.Units.EndTag) next = state.Units.EndTag->Millis;
  if (!next) {
    if (const auto nextLine = FLines.NextStampableLine(state.Line)) {
      if (const auto lineTime = LineTagTime(FLines.LogicalLineText(*nextLine))) next = lineTime->count();
    }
  }
  const TReplayRange range =
      LineReplayRange(TMillis{*time}, next ? std::optional<TMillis>(TMillis{*next}) : std::nullopt);
  FLines.FPlayer.Seek(range.From);
  FLines.FPlayer.Play();
  FLines.FReplayEnd = range.To;
  return Label(state, index) + DescribeReplay(range);
}

std::string TWordSession::RemoveTag() {
  if (!FLines.CanEdit()) return {};
  const TLineState state = Read(FLines.CaretLogicalLine());
  const std::size_t index = state.Units.IndexAt(CaretCol());
  if (index >= state.Units.Units.size()) return kNoUnit;
  const auto edit = UnitRemoveEdit(state.Units, index);
  if (!edit) return kNoTime;
  ApplyKeepingCaret(state, *edit);
  Remember(state);
  return Label(state, index) + "のタイムタグを削除しました";
}

std::string TWordSession::Join() {
  TLineState state = Read(FLines.CaretLogicalLine());
  const std::size_t index = state.Units.IndexAt(CaretCol());
  if (index + 1 >= state.Units.Units.size()) return "つなぐ次の単語がありません";
  if (const auto edit = UnitJoinEdit(state.Units, index)) {
    if (!FLines.CanEdit()) return {};
    ApplyKeepingCaret(state, *edit);
  }
  state.Starts.erase(state.Starts.begin() + static_cast<std::ptrdiff_t>(index) + 1);
  Remember(state);
  state = Read(state.Line);
  return Label(state, index) + "にしました";
}

std::string TWordSession::Split() {
  TLineState state = Read(FLines.CaretLogicalLine());
  const std::size_t col = CaretCol();
  const std::size_t index = state.Units.IndexAt(col);
  if (index >= state.Units.Units.size() || col <= state.Units.Units[index].Start) return "単語の途中で分けてください";
  // The caret never rests inside a tag: the tag-free bytes before it are its offset.
  const std::size_t at = TagFreeText(std::string_view(state.Text).substr(0, col)).size();
  state.Starts.insert(state.Starts.begin() + static_cast<std::ptrdiff_t>(index) + 1, at);
  Remember(state);
  state = Read(state.Line);
  return Label(state, index) + "と " + Label(state, index + 1).substr(LineLabel(state.Line).size()) + "に分けました";
}

bool TWordSession::ShortLine(int line) const {
  const TRyxStrings& rows = FEdit.Lines();
  std::size_t bytes = 0;
  for (int row = rows.FirstIndexOfLogicalLine(line); row < rows.Count(); ++row) {
    const std::string_view piece = rows.Get(row);
    bytes += static_cast<std::size_t>(ContentLength(piece));
    if (bytes > kMarkedLineBytes) return false;
    if (HasLineEnd(piece)) break;
  }
  return true;
}

std::optional<TWordSession::TUnitSpan> TWordSession::CaretUnit() {
  const int line = FLines.CaretLogicalLine();
  if (!ShortLine(line)) return std::nullopt;
  const TLineState state = Read(line);
  const std::size_t index = state.Units.IndexAt(CaretCol());
  if (index >= state.Units.Units.size()) return std::nullopt;
  const TWordUnit& unit = state.Units.Units[index];
  return TUnitSpan{state.Line, unit.Start, unit.End};
}
