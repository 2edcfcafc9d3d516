// TRyxEdit: the document operations of the owner (clear, load, save, whole text, refresh).
#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

#include "editor/RyxEdit.h"
#include "editor/RyxEditCaretGuard.h"
#include "editor/RyxEditSub.h"

namespace {

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

// The position at a byte offset of the text of an unwrapped store, as its line and column.
TLogicalPos LogicalAt(const TRyxStrings& unwrapped, std::size_t offset) {
  const int line = std::clamp(unwrapped.IndexAtOffset(offset), 0, unwrapped.Count() - 1);
  return {line, static_cast<int>(offset - std::min(offset, unwrapped.OffsetOfIndex(line)))};
}

// Where an offset of the old text lies in the new one, whose bytes [start,
// start + span) became inserted bytes: before the change it stays, after it
// it moves with its text, inside it stays as far into the change as the new bytes reach.
std::size_t OffsetAfterReplace(std::size_t offset, std::size_t start, std::size_t span, std::size_t inserted) {
  if (offset <= start) return offset;
  if (offset >= start + span) return offset - span + inserted;
  return start + std::min(offset - start, inserted);
}

// The byte of a taken text at offset, or nothing past its end.
const char* ByteAt(const TStoredText& text, std::size_t offset) {
  for (const std::string_view run : text.Runs()) {
    if (offset < run.size()) return run.data() + offset;
    offset -= run.size();
  }
  return nullptr;
}

}  // namespace

TViewPlace TRyxEdit::CurrentPlace() const { return {ToLogical({FCaretLine, FCaretCol}), ToLogical({FTopLine, 0})}; }

void TRyxEdit::RestorePlace(const TViewPlace& place) {
  PlaceCaretAndTop(place);
  if (!HandleAllocated()) return;
  const TCaretHidden hidden(Host());
  ShowWholeStore();
}

void TRyxEdit::ReplaceDocument(TRyxStrings& store) {
  const TDeferredScreenPaint deferred(FDeferScreenPaint);
  const TEditScope edit(*this);
  ReplaceStore(store, TViewPlace{});
  ResetState();
  if (!HandleAllocated()) return;
  SetIMEFont(FTextLeft, FTopMargin);
  Host().SetScrollPos(SB_VERT, 0, true);
  Host().SetScrollPos(SB_HORZ, 0, true);
}

void TRyxEdit::ClearAll() {
  TRyxStrings empty;
  empty.Add(kEndMarker);
  ReplaceDocument(empty);
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
    ReplaceDocument(loaded);
    FErrorContext = "LoadFile";
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
  TRyxStrings store;
  store.SetText(normalised);
  const TEditScope edit(*this);
  ResetState();
  ReplaceStore(store, TViewPlace{});
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
  const int line = std::min(FLines.IndexAtOffset(same), FLines.Count() - 1);
  const std::size_t start = FLines.OffsetOfIndex(line);
  // The same bytes at the end are counted only after the same bytes at the
  // start, so that a caret before the first changed byte stays where it is.
  const std::size_t room = std::min(current.size(), replacement.size()) - same;
  std::size_t tail = 0;
  while (tail < room && current[current.size() - 1 - tail] == replacement[replacement.size() - 1 - tail]) ++tail;
  const std::size_t span = current.size() - start - tail;
  const std::size_t inserted = replacement.size() - start - tail;
  TRyxStrings store;
  store.SetText(replacement + std::string(kEndMarker));
  // The caret and the view stay on the text they were on.
  const TViewPlace before = CurrentPlace();
  const auto follow = [&](TLogicalPos pos) {
    return LogicalAt(store, OffsetAfterReplace(TextOffset(pos), start, span, inserted));
  };
  const TViewPlace after{follow(before.Caret), follow(before.Top)};
  const TEditScope edit(*this);
  RecordChange(TUndoRecord{ukReplace, ToLogical({line, 0}), current.substr(start, span), inserted, nullptr, before, after},
               true);
  ReplaceStore(store, after);
}

void TRyxEdit::ReplaceAllText(const TTextRewrite& rewrite) {
  // Open from the start, so that the door counts the rows the text had before it was taken.
  const TEditScope edit(*this);
  const TViewPlace before = CurrentPlace();
  const std::size_t caretOffset = TextOffset(before.Caret);
  const std::size_t topOffset = TextOffset(before.Top);
  auto taken = std::make_shared<TStoredText>(FLines.TakeText());
  // The text as it was, in the rows the view shows, where caret and selection still fit.
  auto restore = [&] {
    FLines.SetText(*taken);
    if (!FWordWrap) return;
    TRyxStrings wrapped;
    BuildWrappedLines(wrapped);
    FLines.Swap(wrapped);
  };
  TRyxStrings store;
  TViewPlace after = before;
  try {
    TRyxStringsWriter out(store, *taken);
    out.Follow({ByteAt(*taken, caretOffset), ByteAt(*taken, topOffset)});
    rewrite(*taken, out);
    out.Finish();
    // The caret and the view stay on the text they were on, as far as the rewrite kept it.
    after = {out.Followed(0, before.Caret), out.Followed(1, before.Top)};
  } catch (...) {
    restore();
    throw;
  }
  const std::optional<int> line = FirstChangedLine(*taken, store);
  if (!line) {
    // The same text: unwrapped, the new lines are the old rows.
    if (FWordWrap)
      restore();
    else
      FLines.Swap(store);
    return;
  }
  const std::size_t size = taken->Size() - std::min(taken->Size(), kEndMarker.size());
  RecordChange(TUndoRecord{ukReplace, {*line, 0}, {}, size, std::move(taken), before, after}, true);
  ReplaceStore(store, after);
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
