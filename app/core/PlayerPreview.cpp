// TPlayerPreview: the heading, the page labels and the cell grids with their characters.
#include "app/core/PlayerPreview.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/core/LineStartRules.h"
#include "app/core/TimeTags.h"
#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

constexpr TColor kBackground = RGB(236, 236, 236);
constexpr TColor kScreen = RGB(196, 216, 168);
constexpr TColor kGridLine = RGB(172, 192, 146);
constexpr TColor kInk = RGB(24, 40, 16);
constexpr TColor kFrame = RGB(64, 80, 56);
constexpr TColor kOverflow = RGB(208, 0, 0);
constexpr TColor kKeptOffCell = RGB(255, 196, 196);
constexpr TColor kSungInk = RGB(255, 255, 255);
constexpr TColor kSungCell = RGB(40, 70, 190);
constexpr int kMargin = 6;
constexpr int kLabelGap = 2;
constexpr int kPageGap = 8;

std::string Ansi(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// A typed display size may be any number; no player has a thousand cells a row or rows a page.
constexpr int kMostCells = 1000;

TPlayerDisplay Drawable(TPlayerDisplay display) {
  return TPlayerDisplay{std::clamp(display.HalfCount, 1, kMostCells), std::clamp(display.LineCount, 1, kMostCells)};
}

void Frame(ICanvas& canvas, const TRect& r, TColor color) {
  canvas.SetPen(color);
  canvas.MoveTo(r.Left, r.Top);
  canvas.LineTo(r.Right - 1, r.Top);
  canvas.LineTo(r.Right - 1, r.Bottom - 1);
  canvas.LineTo(r.Left, r.Bottom - 1);
  canvas.LineTo(r.Left, r.Top);
}

}  // namespace

TPreviewGeometry::TPreviewGeometry(const ITextMeasurer& font, const TRect& area, TPlayerDisplay display)
    : Left(area.Left + kMargin),
      Top(area.Top + kMargin),
      CellWidth(std::max(1, font.TextWidth(" "))),
      CellHeight(std::max(1, font.GetTextMetrics().tmHeight)),
      Display(Drawable(display)) {
  HeadingHeight = 2 * CellHeight + kPageGap;
  PageHeight = CellHeight + kLabelGap + GridHeight() + kPageGap;
}

TRect TPreviewGeometry::Grid(std::size_t page) const {
  const int top = Top + HeadingHeight + static_cast<int>(page) * PageHeight + CellHeight + kLabelGap;
  return TRect{Left, top, Left + GridWidth(), top + GridHeight()};
}

TPoint TPreviewGeometry::CellOrigin(std::size_t page, int row, int cell) const {
  const TRect grid = Grid(page);
  return TPoint{grid.Left + 1 + cell * (CellWidth + 1), grid.Top + 1 + row * (CellHeight + 1)};
}

TPlayerPreview::TPlayerPreview(std::string_view line, TPlayerDisplay display)
    : FDisplay(Drawable(display)) {
  ShowLine(line);
}

void TPlayerPreview::ShowLine(std::string_view line) {
  FIdLine = ParseIdTag(line).has_value();
  FKept.Update(line, FDisplay.HalfCount);
}

void TPlayerPreview::Draw(ICanvas& canvas, const TRect& area, const TPreviewHeading& heading,
                          std::size_t sungBytes) const {
  canvas.SetBrushColor(kBackground);
  canvas.FillRect(area);
  const TPreviewGeometry at(canvas, area, FDisplay);
  DrawHeading(canvas, at, heading);
  // A display of hundreds of cells or a line of thousands of pages draws
  // only what the area shows.
  const int visibleCells = std::min(FDisplay.HalfCount, std::max(0, area.Right - at.Left) / (at.CellWidth + 1) + 1);
  for (std::size_t page = 0; page < Pages(); ++page) {
    if (at.Grid(page).Top - at.CellHeight - kLabelGap >= area.Bottom) break;
    DrawPage(canvas, at, page, visibleCells, area.Bottom, sungBytes);
  }
}

std::array<std::string, 2> TPlayerPreview::HeadingLines(const TPreviewHeading& heading) const {
  const std::size_t pages = Pages();
  std::string line = std::to_string(heading.LineNumber) + " 行目: ";
  if (FIdLine) {
    line += "ID タグ (表示されません)";
  } else {
    line += std::to_string(Layout().Rows.size()) + " 行 / " + std::to_string(pages) + " ページ";
    if (pages > 1) line += " はみ出し";
    const std::vector<std::size_t>& keptOff = FKept.KeptOffRows();
    if (!keptOff.empty()) {
      const TPlayerRow& row = Layout().Rows[keptOff.front()];
      const std::string_view first = KeptOffLineStart(std::string_view(Layout().Text).substr(row.Start, row.Length));
      line += " 表示の " + std::to_string(keptOff.front() + 1) + " 行目が「" +
              UnicodeToUtf8(AnsiToUnicode(first)) + "」で始まります";
    }
  }
  const std::string count = heading.OverflowLines ? std::to_string(*heading.OverflowLines) : "数えています…";
  return {Ansi(line), Ansi("はみ出す行: " + count + " (" + std::to_string(FDisplay.HalfCount) + "×" +
                           std::to_string(FDisplay.LineCount) + ")")};
}

int TPlayerPreview::Width(const ITextMeasurer& font) const {
  return TPreviewGeometry(font, TRect{}, FDisplay).GridWidth() + 2 * kMargin;
}

void TPlayerPreview::DrawHeading(ICanvas& canvas, const TPreviewGeometry& at, const TPreviewHeading& heading) const {
  const std::array<std::string, 2> lines = HeadingLines(heading);
  canvas.SetBkColor(kBackground);
  canvas.SetTextColor(Pages() > 1 ? kOverflow : kInk);
  canvas.TextOut(at.Left, at.Top, lines[0]);
  canvas.SetTextColor(heading.OverflowLines.value_or(0) > 0 ? kOverflow : kInk);
  canvas.TextOut(at.Left, at.Top + at.CellHeight, lines[1]);
}

void TPlayerPreview::DrawPage(ICanvas& canvas, const TPreviewGeometry& at, std::size_t page, int visibleCells,
                              int bottom, std::size_t sungBytes) const {
  const bool overflow = page > 0;
  const TRect grid = at.Grid(page);
  canvas.SetBkColor(kBackground);
  canvas.SetTextColor(overflow ? kOverflow : kInk);
  std::string label = std::to_string(page + 1) + "/" + std::to_string(Pages());
  if (overflow) label += " はみ出し";
  canvas.TextOut(grid.Left, grid.Top - kLabelGap - at.CellHeight, Ansi(label));

  const TRect shown{grid.Left, grid.Top, std::min(grid.Right, grid.Left + visibleCells * (at.CellWidth + 1) + 1),
                    grid.Bottom};
  canvas.SetBrushColor(kScreen);
  canvas.FillRect(shown);
  canvas.SetPen(kGridLine);
  for (int row = 1; row < at.Display.LineCount && at.CellOrigin(page, row, 0).Y < bottom; ++row) {
    const int y = at.CellOrigin(page, row, 0).Y - 1;
    canvas.MoveTo(shown.Left, y);
    canvas.LineTo(shown.Right, y);
  }
  canvas.SetTextColor(kInk);
  canvas.SetBkColor(kScreen);
  const std::size_t firstRow = page * static_cast<std::size_t>(at.Display.LineCount);
  for (int row = 0; row < at.Display.LineCount && at.CellOrigin(page, row, 0).Y < bottom; ++row) {
    const std::size_t index = firstRow + static_cast<std::size_t>(row);
    const TPlayerLayout& layout = Layout();
    const TPlayerRow* content = index < layout.Rows.size() ? &layout.Rows[index] : nullptr;
    const bool keptOff = std::binary_search(FKept.KeptOffRows().begin(), FKept.KeptOffRows().end(), index);
    int cell = 0;
    std::size_t byteAt = content ? content->Start : 0;
    const std::size_t end = content ? content->Start + content->Length : 0;
    // A cell line left of each character, and of each empty cell; none
    // through the middle of a double-byte character.
    while (cell < visibleCells) {
      int width = 1;
      const TPoint origin = at.CellOrigin(page, row, cell);
      if (byteAt < end) {
        const auto byte = static_cast<unsigned char>(layout.Text[byteAt]);
        width = IsDBCSLeadByte(byte) && byteAt + 1 < end ? 2 : 1;
        // Control characters have no glyph of their own: the player shows a blank.
        const std::string_view glyph = width == 1 && byte < 0x20
                                           ? std::string_view(" ")
                                           : std::string_view(layout.Text).substr(byteAt, static_cast<std::size_t>(width));
        const bool marked = keptOff && cell == 0;
        const bool sung = byteAt < sungBytes;
        canvas.SetTextColor(sung ? kSungInk : marked ? kOverflow : kInk);
        canvas.SetBkColor(sung ? kSungCell : marked ? kKeptOffCell : kScreen);
        if (sung) {
          // The whole cell, so that the colour runs on without gaps.
          canvas.SetBrushColor(kSungCell);
          canvas.FillRect(TRect{origin.X, origin.Y, origin.X + width * (at.CellWidth + 1) - 1, origin.Y + at.CellHeight});
        }
        canvas.TextOut(origin.X, origin.Y, glyph);
        byteAt += static_cast<std::size_t>(width);
      }
      if (cell > 0) {
        canvas.SetPen(kGridLine);
        canvas.MoveTo(origin.X - 1, origin.Y);
        canvas.LineTo(origin.X - 1, origin.Y + at.CellHeight);
      }
      cell += width;
    }
  }
  Frame(canvas, shown, overflow ? kOverflow : kFrame);
}
