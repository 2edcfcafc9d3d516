// TRyxEdit: the document operations of the owner (clear, load, save, whole text, refresh).
#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"

namespace {

const std::string kEndMarker(2, '\0');

// Full paints only invalidate while the document is being replaced.
class TDeferredScreenPaint {
 public:
  explicit TDeferredScreenPaint(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TDeferredScreenPaint() { FFlag = false; }

 private:
  bool& FFlag;
};

// The line of lines that holds the first byte in which its text differs
// from old (the last line when one text is the start of the other), or
// nothing when the texts are the same. Rows before it are the same in both,
// so it is where the caret goes either way. Bytes that lines shares with
// old are not compared.
std::optional<int> FirstChangedLine(const TStoredText& old, const TRyxStrings& lines) {
  const std::vector<std::string_view>& runs = old.Runs();
  std::size_t run = 0;
  std::string_view left = runs.empty() ? std::string_view() : runs[0];
  const int count = lines.Count();
  for (int line = 0; line < count; ++line) {
    std::string_view right = lines.Get(line);
    while (!right.empty()) {
      while (left.empty() && ++run < runs.size()) left = runs[run];
      if (left.empty()) return line;
      const std::size_t n = std::min(left.size(), right.size());
      if (left.data() != right.data() && std::memcmp(left.data(), right.data(), n) != 0) return line;
      left.remove_prefix(n);
      right.remove_prefix(n);
    }
  }
  while (left.empty() && ++run < runs.size()) left = runs[run];
  if (left.empty()) return std::nullopt;
  return count - 1;
}

}  // namespace

void TRyxEdit::ClearAll() {
  const int oldLast = FLines.Count() - 1;
  FLines.Clear();
  FLines.Add(kEndMarker);
  NotifyLinesChanged(0, oldLast, 0);
  ResetState();
  if (!HandleAllocated()) return;
  SetIMEFont(FTextLeft, FTopMargin);
  Host().SetScrollPos(SB_VERT, 0, true);
  Host().SetScrollPos(SB_HORZ, 0, true);
  const TDeferredScreenPaint deferred(FDeferScreenPaint);
  RefreshView();
}

bool TRyxEdit::LoadFromFile(const std::filesystem::path& fileName) {
  FLastFileError.clear();
  try {
    // The file is read aside: a load that fails, halfway or because the file
    // is no text, leaves the document, its caret and its history as they were.
    TRyxStrings loaded;
    loaded.LoadFromFile(fileName, TRyxStrings::TNulBytes::StopReading);
    if (loaded.LoadedNulBytes()) {
      // NUL bytes mean a binary or UTF-16 file: editing and saving it as
      // text would destroy it, so it is not taken as a document at all.
      FLastFileError = fileName.string() + " はテキストファイルではありません (NUL バイトを含んでいます)";
      return false;
    }
    FLines.Swap(loaded);
    NotifyLinesChanged(0, loaded.Count() - 1, FLines.Count() - 1);
    ResetState();
    FErrorContext = "LoadFile";
    if (HandleAllocated()) {
      SetIMEFont(FTextLeft, FTopMargin);
      Host().SetScrollPos(SB_VERT, 0, true);
      Host().SetScrollPos(SB_HORZ, 0, true);
      const TDeferredScreenPaint deferred(FDeferScreenPaint);
      RefreshView();
    } else {
      RefreshView();
    }
    return true;
  } catch (const std::exception& e) {
    FLastFileError = e.what();
    return false;
  }
}

bool TRyxEdit::SaveToFile(const std::filesystem::path& fileName, bool overwriteReadOnly,
                          const TRyxStrings::TSaveEncoder& encode) {
  FLastFileError.clear();
  try {
    FLines.SaveToFile(fileName, overwriteReadOnly, encode);
    FSaveDepth = FUndoList.size();
    FUndoTrimmed = false;
    UpdateModified();
    return true;
  } catch (const std::exception& e) {
    FLastFileError = e.what();
    return false;
  }
}

std::string TRyxEdit::GetAllText() const { return FLines.GetText(); }

void TRyxEdit::SetAllText(const std::string& text) {
  std::string normalised = text;
  const std::size_t n = normalised.size();
  if (n == 0 || normalised[0] == '\0')
    normalised = kEndMarker;
  else if (normalised[n - 1] != '\0')
    normalised += kEndMarker;
  else if (n < 2 || normalised[n - 2] != '\0')
    normalised.push_back('\0');
  ResetState();
  const int oldLast = FLines.Count() - 1;
  FLines.SetText(normalised);
  NotifyLinesChanged(0, oldLast, FLines.Count() - 1);
  RefreshView();
}

void TRyxEdit::ReplaceAllText(const std::string& text) {
  const std::string replacement = text.substr(0, text.find('\0'));
  const std::string current = FLines.GetText();
  if (replacement == current) return;
  // The step holds only the bytes from the start of the first changed row to
  // the last changed byte, so that a change to a few lines of a long text
  // stays small in the undo budget.
  const std::size_t same = static_cast<std::size_t>(
      std::mismatch(current.begin(), current.end(), replacement.begin(), replacement.end()).first - current.begin());
  int line = 0;
  std::size_t start = 0;
  while (line + 1 < FLines.Count() && start + FLines.Get(line).size() <= same) start += FLines.Get(line++).size();
  const std::size_t room = std::min(current.size(), replacement.size()) - start;
  std::size_t tail = 0;
  while (tail < room && current[current.size() - 1 - tail] == replacement[replacement.size() - 1 - tail]) ++tail;
  const std::size_t span = current.size() - start - tail;
  const std::size_t inserted = replacement.size() - start - tail;
  const TLogicalPos at = ToLogical({line, 0});
  RecordChange(TUndoRecord{ukReplace, at, current.substr(start, span), inserted}, true);
  ReplaceBytes(at, span, replacement.substr(start, inserted));
  if (OnChange) OnChange(this);
}

void TRyxEdit::ReplaceAllText(const TTextRewrite& rewrite) {
  const int oldLast = FLines.Count() - 1;
  auto taken = std::make_shared<TStoredText>(FLines.TakeText());
  // The text as it was, in the rows the view shows, where caret and selection still fit.
  auto restore = [&] {
    FLines.SetText(*taken);
    if (!FWordWrap) return;
    TRyxStrings wrapped;
    BuildWrappedLines(wrapped);
    FLines.Swap(wrapped);
  };
  try {
    TRyxStringsWriter out(FLines, *taken);
    rewrite(*taken, out);
    out.Finish();
  } catch (...) {
    restore();
    throw;
  }
  const std::optional<int> line = FirstChangedLine(*taken, FLines);
  if (!line) {
    // The same text: unwrapped, the new lines are the old rows.
    if (FWordWrap) restore();
    return;
  }
  NotifyLinesChanged(0, oldLast, FLines.Count() - 1);
  const std::size_t size = taken->Size() - std::min(taken->Size(), kEndMarker.size());
  RecordChange(TUndoRecord{ukReplace, {*line, 0}, {}, size, std::move(taken)}, true);
  ShowReplacedText(*line);
  if (OnChange) OnChange(this);
}

void TRyxEdit::RefreshView() {
  // The store takes the wrapped form also before there is a window to show it.
  if (FWordWrap) {
    RewrapAll(HandleAllocated());
    return;
  }
  if (!HandleAllocated()) return;
  const TCaretHidden hidden(Host());
  UpdateVScrollRange(true);
  PaintScreen();
  UpdateCaretPos();
}
