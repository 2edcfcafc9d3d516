// TSyncSession: each action reads the caret's logical line, makes one ranged edit and says what it did.
#include "app/core/SyncSession.h"

#include "app/core/TimeTags.h"
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"

namespace {

std::string LineLabel(int line) { return std::to_string(line + 1) + " 行目: "; }

constexpr const char* kNoSong = "音声が開かれていません (ファイル → 音声を開く...)";
constexpr const char* kNoTag = "この行にはタイムタグがありません";

}  // namespace

void TSyncSession::ReadFileForm() {
  FFileForm = TTagForm{};
  const TRyxStrings& lines = FEdit.Lines();
  // By logical lines: word wrap may break a tag over two rows.
  const int last = lines.LogicalLineOf(lines.Count() - 1);
  for (int line = 0; line <= last; ++line) {
    if (const auto form = LineTagForm(LogicalLineText(line))) {
      FFileForm = *form;
      return;
    }
  }
}

int TSyncSession::CaretLogicalLine() const { return FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()}).Line; }

std::string TSyncSession::LogicalLineText(int line) const {
  std::string text;
  int last = 0;
  FEdit.JoinLogicalLine(FEdit.Lines().FirstIndexOfLogicalLine(line), text, last);
  return StripEndMarker(StripLineEnd(text));
}

bool TSyncSession::CanEdit() const { return !FEdit.ReadOnly(); }

TLineEdit TSyncSession::AsReplacement(std::string_view line, TLineEdit edit) {
  // A bare insertion right after a removal at the same place would be taken
  // back together with it by one undo: the character it goes before (or,
  // at the line's end, after) is replaced along with it instead.
  if (edit.Length != 0 || line.empty()) return edit;
  if (edit.Start < line.size()) {
    const std::size_t n = IsDBCSLeadByte(static_cast<unsigned char>(line[edit.Start])) && edit.Start + 1 < line.size() ? 2 : 1;
    return {edit.Start, n, edit.Text + std::string(line.substr(edit.Start, n))};
  }
  std::size_t previous = 0;
  for (std::size_t i = 0; i < edit.Start; i += IsDBCSLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1) previous = i;
  return {previous, edit.Start - previous, std::string(line.substr(previous)) + edit.Text};
}

void TSyncSession::ApplyEdit(int line, const TLineEdit& edit) {
  FEdit.ReplaceText(FEdit.ToDisplay({line, static_cast<int>(edit.Start)}),
                    FEdit.ToDisplay({line, static_cast<int>(edit.Start + edit.Length)}), edit.Text);
}

void TSyncSession::RestoreCaret(int line, int col, const TLineEdit& edit) {
  if (col >= static_cast<int>(edit.Start + edit.Length))
    col += static_cast<int>(edit.Text.size()) - static_cast<int>(edit.Length);
  else if (col > static_cast<int>(edit.Start))
    col = static_cast<int>(edit.Start);
  const TDisplayPos at = FEdit.ToDisplay({line, col});
  FEdit.MoveCaretTo(at.Line, at.Col);
}

void TSyncSession::PutCaretOnLine(int line) {
  const int row = FEdit.Lines().FirstIndexOfLogicalLine(line);
  FEdit.MoveCaretTo(row, 0);
}

std::optional<int> TSyncSession::NextStampableLine(int after) const {
  const TRyxStrings& lines = FEdit.Lines();
  const int last = lines.LogicalLineOf(lines.Count() - 1);
  // Only ID tag lines are passed over, and those stand at the top in a block: a short walk.
  for (int line = after + 1; line <= last; ++line) {
    if (IsStampableLine(LogicalLineText(line))) return line;
  }
  return std::nullopt;
}

TStampTime TSyncSession::TimeNow() const {
  return StampTime(FPlayer.StreamPosition(), FPlayer.OutputLatency(), FReactionDelay, FPlayer.Duration());
}

std::string TSyncSession::Described(int line, TMillis time, const TStampTime& held) const {
  return LineLabel(line) + DescribeTime(time.count()) + HeldNote(held);
}

std::string TSyncSession::HeldNote(const TStampTime& held) {
  if (held.ClampedAtStart) return " (0 秒より前なので 0 秒にしました)";
  if (held.ClampedAtEnd) return " (曲の長さを超えるので曲の終わりにしました)";
  return {};
}

std::string TSyncSession::Stamp() {
  // Read first: the time is that of the key, whatever the edit costs.
  const TStampTime held = TimeNow();
  if (!FPlayer.IsOpen()) return kNoSong;
  if (!CanEdit()) return {};
  // An ID tag line is never timed: the stamp goes to the first line after it that is timed.
  int line = CaretLogicalLine();
  if (!IsStampableLine(LogicalLineText(line))) {
    const auto next = NextStampableLine(line);
    if (!next) return LineLabel(line) + "ID タグの行には時刻を付けません";
    line = *next;
  }
  const std::string text = LogicalLineText(line);
  ApplyEdit(line, AsReplacement(text, StampEdit(text, held.Time, FFileForm)));
  if (const auto next = NextStampableLine(line)) PutCaretOnLine(*next);
  return Described(line, held.Time, held);
}

std::string TSyncSession::InsertEndLine() {
  const TStampTime held = TimeNow();
  if (!FPlayer.IsOpen()) return kNoSong;
  if (!CanEdit()) return {};
  const int line = CaretLogicalLine();
  const std::string text = LogicalLineText(line);
  ApplyEdit(line, AsReplacement(text, TLineEdit{text.size(), 0, "\r\n" + FormatLineTag(held.Time, FFileForm)}));
  if (const auto next = NextStampableLine(line + 1))
    PutCaretOnLine(*next);
  else
    PutCaretOnLine(line + 1);
  return Described(line + 1, held.Time, held);
}

std::string TSyncSession::Nudge(TMillis delta) {
  if (!CanEdit()) return {};
  const int line = CaretLogicalLine();
  const std::string text = LogicalLineText(line);
  const auto time = LineTagTime(text);
  if (!time) return kNoTag;
  const TStampTime held = MovedTime(*time, delta, FPlayer.Duration());
  const TLogicalPos caret = FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()});
  const TLineEdit edit = StampEdit(text, held.Time, FFileForm);
  ApplyEdit(line, edit);
  RestoreCaret(line, caret.Col, edit);
  if (FPlayer.IsOpen()) {
    FReplayEnd.reset();
    FPlayer.Seek(NudgeReplayStart(held.Time));
    FPlayer.Play();
  }
  return Described(line, held.Time, held);
}

std::string TSyncSession::MoveLine(int direction) {
  const TRyxStrings& lines = FEdit.Lines();
  const int last = lines.LogicalLineOf(lines.Count() - 1);
  const int line = std::clamp(CaretLogicalLine() + direction, 0, last);
  PutCaretOnLine(line);
  const auto time = LineTagTime(LogicalLineText(line));
  if (!time) return LineLabel(line) + kNoTag;
  if (!FPlayer.IsOpen()) return kNoSong;
  FReplayEnd.reset();
  FPlayer.Seek(*time);
  return LineLabel(line) + DescribeTime(time->count());
}

std::string TSyncSession::ReplayLine() {
  const int line = CaretLogicalLine();
  const auto time = LineTagTime(LogicalLineText(line));
  if (!time) return LineLabel(line) + kNoTag;
  if (!FPlayer.IsOpen()) return kNoSong;
  std::optional<TMillis> next;
  if (const auto nextLine = NextStampableLine(line)) next = LineTagTime(LogicalLineText(*nextLine));
  const TReplayRange range = LineReplayRange(*time, next);
  FPlayer.Seek(range.From);
  FPlayer.Play();
  FReplayEnd = range.To;
  return LineLabel(line) + DescribeReplay(range);
}

std::string TSyncSession::RemoveTag() {
  if (!CanEdit()) return {};
  const int line = CaretLogicalLine();
  const auto edit = RemoveTagEdit(LogicalLineText(line));
  if (!edit) return LineLabel(line) + kNoTag;
  const TLogicalPos caret = FEdit.ToLogical({FEdit.CaretLine(), FEdit.CaretCol()});
  ApplyEdit(line, *edit);
  RestoreCaret(line, caret.Col, *edit);
  return LineLabel(line) + "タイムタグを削除しました";
}

void TSyncSession::Tick() {
  if (!FReplayEnd) return;
  if (!FPlayer.Playing()) {
    FReplayEnd.reset();
  } else if (FPlayer.Position() >= *FReplayEnd) {
    FPlayer.Pause();
    FReplayEnd.reset();
  }
}
