// TForm1: the lyric tools, the encoding commands and the player display guides.
#include <QAction>
#include <QStatusBar>
#include <algorithm>

#include "app/core/DisplayGuides.h"
#include "app/core/LyricTools.h"
#include "app/core/TimeTagFilter.h"
#include "app/core/TimeTags.h"
#include "app/core/UselessLineFilter.h"
#include "app/Unit1.h"
#include "app/UnitFindBar.h"
#include "editor/RyxEdit.h"
#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"
#include "platform/LossyCharacters.h"

// Each tool replaces the text as one step that Undo takes back, keeping the
// history before it. The filter runs over the stored lines into new ones,
// so that the text is never copied whole.
void TForm1::ApplyTextTool(TBlockFilter& filter) {
  // A filter that raises leaves the text as it was.
  RyxEdit1->ReplaceAllText(
      [&filter](const TStoredText& text, TRyxStringsWriter& out) { FilterText(text, filter, out); });
}

void TForm1::ShowToolDone(const char* doneMessage, std::size_t count) {
  const QString message(doneMessage);
  StatusBar1->showMessage(message.contains("%1") ? message.arg(count) : message);
}

void TForm1::N9Click() {
  TTimeTagFilter filter(TTimeTagFilter::TScope::All);
  ApplyTextTool(filter);
  // Only the [mm:ss:xx] form goes; tags of other forms are pointed to the command that removes them.
  if (filter.Removed() == 0 && HoldsTimeTags(RyxEdit1->GetAllText())) {
    ShowToolDone("0 個のタイムタグを削除しました (他の形式のタグは「すべての形式のタイムタグを削除」で削除できます)", 0);
    return;
  }
  ShowToolDone("%1 個のタイムタグを削除しました", filter.Removed());
}

void TForm1::N16Click() {
  TTimeTagFilter filter(TTimeTagFilter::TScope::AfterCharacter);
  ApplyTextTool(filter);
  ShowToolDone("%1 個のカラオケタグを削除しました", filter.Removed());
}

void TForm1::N10Click() {
  TUselessLineFilter filter;
  ApplyTextTool(filter);
  ShowToolDone("%1 行を削除しました", filter.Removed());
}

void TForm1::UTF81Click() {
  TUtf8Encoder encoder;
  ApplyTextTool(encoder);
  ShowToolDone("UTF-8 に変換しました", 0);
}

void TForm1::ANSI1Click() {
  {
    const std::string all = RyxEdit1->GetAllText();
    std::string_view text = all;
    // The conversion drops a byte-order mark; text that is no UTF-8 it refuses with its own message.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    const TLossyReport report = IsValidUtf8(text) ? FindLossyCharacters(text) : TLossyReport{};
    if (report.Count > 0 && !AskLossyCharacters(report)) return;
  }
  TShiftJisEncoder encoder;
  ApplyTextTool(encoder);
  std::string done = "Shift-JIS に変換しました (「?」になった文字: %1)";
  if (encoder.Folded() > 0) done += "。" + DescribeFolded(encoder.Folded());
  ShowToolDone(done.c_str(), encoder.Replaced());
}

void TForm1::N13Click() {
  FDeviceSettings.ShowTagLine = !FDeviceSettings.ShowTagLine;
  N13->setChecked(FDeviceSettings.ShowTagLine);
  RyxEdit1->Redesign();
}

void TForm1::ApplyWrapChoice() {
  // "折り返し" wraps at the player's line width, so that the rows break where
  // the player breaks them; "ウィンドウ幅で折り返す" breaks them at the
  // window's edge, on its own or where that is the narrower of the two.
  const bool atPlayer = N18->isChecked();
  const bool atWindow = N19->isChecked();
  RyxEdit1->SetColumn(atPlayer ? FDeviceSettings.HalfCount : kWindowEdgeOnlyColumn);
  RyxEdit1->SetAutoWrap(atWindow);
  RyxEdit1->SetWordWrap(atPlayer || atWindow);
}

void TForm1::RyxEdit1UserClientDraw(TObject*, int x1, int, int L1, int L2) {
  if (const IColumnCounting* counting = RyxEdit1->ColumnCounting()) {
    DrawCountedGuides(RyxEdit1->Canvas(), *RyxEdit1, FDeviceSettings, *counting, L1, L2);
  } else {
    // The guides cross the rows just painted, and the empty view below the
    // text's end with its last row: the other rows kept theirs.
    const TRyxEdit& edit = *RyxEdit1;
    const int first = std::max(L1, edit.TopLine());
    const int top = edit.TopMargin() + (first - edit.TopLine()) * edit.LineHeight();
    const int textBottom = edit.TopMargin() + edit.TextHeight();
    const int bottom = L2 >= edit.Lines().Count() - 1
                           ? textBottom
                           : std::min(textBottom, edit.TopMargin() + (L2 + 1 - edit.TopLine()) * edit.LineHeight());
    if (bottom > top)
      DrawDisplayGuides(RyxEdit1->Canvas(), x1, top, bottom - top, FDeviceSettings, RyxEdit1->ScrollX());
  }
  DrawOverflowMarksOf(L1, L2);
  if (FindBar) FindBar->DrawHighlights(RyxEdit1->Canvas(), L1, L2);
}
