// TRyxEdit: the document operations of the owner (clear, load, save, whole text, refresh).
#include <exception>

#include "editor/RyxEdit.h"

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

}  // namespace

void TRyxEdit::ClearAll() {
  FLines.Clear();
  FLines.Add(kEndMarker);
  ResetState();
  if (!HandleAllocated()) return;
  SetIMEFont(FTextLeft, FTopMargin);
  Host().SetScrollPos(SB_VERT, 0, true);
  Host().SetScrollPos(SB_HORZ, 0, true);
  const TDeferredScreenPaint deferred(FDeferScreenPaint);
  RefreshView();
}

void TRyxEdit::RestoreEmptyDocument() {
  FLines.Clear();
  FLines.Add(kEndMarker);
  ResetState();
  if (HandleAllocated()) RefreshView();
}

bool TRyxEdit::LoadFromFile(const std::filesystem::path& fileName) {
  FLastFileError.clear();
  try {
    FLines.LoadFromFile(fileName);
    if (FLines.LoadedNulBytes()) {
      // NUL bytes mean a binary or UTF-16 file: editing and saving it as
      // text would destroy it, so it is not taken as a document at all.
      RestoreEmptyDocument();
      FLastFileError = fileName.string() + " はテキストファイルではありません (NUL バイトを含んでいます)";
      return false;
    }
    ResetState();
    FErrorContext = "LoadFile";
    if (HandleAllocated()) {
      SetIMEFont(FTextLeft, FTopMargin);
      Host().SetScrollPos(SB_VERT, 0, true);
      Host().SetScrollPos(SB_HORZ, 0, true);
      const TDeferredScreenPaint deferred(FDeferScreenPaint);
      RefreshView();
    }
    return true;
  } catch (const std::exception& e) {
    FLastFileError = e.what();
    // A loader that failed halfway has emptied the store, which must always
    // hold at least the empty last line.
    if (FLines.Count() == 0) RestoreEmptyDocument();
    return false;
  }
}

bool TRyxEdit::SaveToFile(const std::filesystem::path& fileName) {
  FLastFileError.clear();
  try {
    FLines.SaveToFile(fileName);
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
  FLines.SetText(normalised);
  RefreshView();
}

void TRyxEdit::RefreshView() {
  if (!HandleAllocated()) return;
  IControlHost& host = Host();
  host.HideCaret();
  UpdateVScrollRange(true);
  PaintScreen();
  UpdateCaretPos();
  host.ShowCaret();
}
