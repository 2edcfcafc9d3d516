// The text area as drawn, built from the canvas operations alone, and checked against the control's rows.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"
#include "platform/headless/HeadlessHost.h"

// The character at each pixel column of each row top (eight pixels a byte,
// as the headless canvas draws), and whether it is drawn selected. Opaque text output and fills erase what lay under them;
// what the control asked to be repainted is painted as the platform's paint
// message would, within the invalid rectangles only, and a change of the
// window's size repaints all of it, as the platform does.
class TScreenOracle {
 public:
  // What the visible rows of the text area show wrongly, or "": each shows
  // its row's characters, where tabs are expanded to, those within the
  // selection drawn selected, the last one followed by the end mark when
  // that is shown; below the text nothing is shown.
  std::string Check(THeadlessHost& host, TRyxEdit& edit) {
    Apply(host.HeadlessCanvas().TakeOps(), edit.Color(), nullptr);
    if (const TPoint size{host.ClientWidth(), host.ClientHeight()}; size != FSize) {
      FSize = size;
      host.InvalidateRect(nullptr);
    }
    if (const std::vector<TRect> invalid = host.TakeInvalidations(); !invalid.empty()) {
      for (const TRect& r : invalid) Erase(r, nullptr);
      edit.Perform(WM_PAINT, 0, 0);
      Apply(host.HeadlessCanvas().TakeOps(), edit.Color(), &invalid);
      host.TakeInvalidations();
    }
    const std::size_t selFrom = SelectionOffset(edit, true);
    const std::size_t selTo = SelectionOffset(edit, false);
    const int left = edit.TextLeft();
    const int right = edit.TextLeft() + edit.TextWidth();
    std::size_t offset = RowOffset(edit, edit.TopLine());
    for (int i = 0; i < edit.VisibleLines(); ++i) {
      const int row = edit.TopLine() + i;
      const int y = edit.TopMargin() + i * edit.LineHeight();
      std::map<int, TCell> expected;
      auto show = [&](int x, const std::string& text, bool selected) {
        if (x >= left && x < right) expected[x] = {text, selected};
      };
      if (row < edit.Lines().Count()) {
        const std::string stored(edit.Lines().Get(row));
        const std::string content = StripLineEnd(stored);
        const int origin = left - edit.ScrollX();
        for (std::size_t k = 0; k < content.size();) {
          const std::size_t n =
              IsDBCSLeadByte(static_cast<unsigned char>(content[k])) && k + 1 < content.size() ? 2 : 1;
          const int x = origin + 8 * static_cast<int>(edit.ExpandTabs(content.substr(0, k)).size());
          const bool selected = offset + k >= selFrom && offset + k < selTo;
          if (content[k] == '\t') {
            const int next = origin + 8 * static_cast<int>(edit.ExpandTabs(content.substr(0, k + 1)).size());
            for (int at = x; at < next; at += 8) show(at, " ", selected);
          } else {
            show(x, content.substr(k, n), selected);
          }
          k += n;
        }
        if (edit.ShowEOF() && row + 1 == edit.Lines().Count()) {
          const int x = origin + 8 * static_cast<int>(edit.ExpandTabs(content).size());
          for (int k = 0; k < 5; ++k) show(x + 8 * k, std::string(1, "[EOF]"[k]), false);
        }
        offset += stored.size();
      }
      std::map<int, TCell> shown;
      if (const auto cells = FCells.find(y); cells != FCells.end())
        for (const auto& [x, cell] : cells->second)
          if (x >= left && x < right) shown[x] = cell;
      if (shown != expected)
        return "row " + std::to_string(row) + " shows " + Describe(shown) + " instead of " + Describe(expected);
    }
    return "";
  }

 private:
  struct TCell {
    std::string Text;
    bool Selected = false;
    bool operator==(const TCell&) const = default;
  };

  static std::size_t RowOffset(const TRyxEdit& edit, int row) {
    std::size_t offset = 0;
    for (int i = 0; i < row && i < edit.Lines().Count(); ++i) offset += edit.Lines().Get(i).size();
    return offset;
  }
  static std::size_t SelectionOffset(const TRyxEdit& edit, bool start) {
    int startCol = 0, startLine = 0, endLine = 0, endCol = 0;
    if (!edit.GetSelBounds(startCol, startLine, endLine, endCol)) return 0;
    return start ? RowOffset(edit, startLine) + static_cast<std::size_t>(startCol)
                 : RowOffset(edit, endLine) + static_cast<std::size_t>(endCol);
  }
  static std::string Describe(const std::map<int, TCell>& cells) {
    std::ostringstream out;
    for (const auto& [x, cell] : cells)
      out << x << (cell.Selected ? "*" : ":") << testing::PrintToString(cell.Text) << ' ';
    return "{" + out.str() + "}";
  }
  static bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
  static bool InRegion(const std::vector<TRect>* region, int x, int y) {
    if (!region) return true;
    for (const TRect& r : *region)
      if (Inside(r, x, y)) return true;
    return false;
  }

  void Erase(const TRect& r, const std::vector<TRect>* region) {
    for (auto& [y, row] : FCells)
      std::erase_if(row, [&](const auto& cell) { return Inside(r, cell.first, y) && InRegion(region, cell.first, y); });
  }
  void Apply(const std::vector<TCanvasOp>& ops, TColor background, const std::vector<TRect>* region) {
    for (const TCanvasOp& op : ops) {
      if (op.Op == "fill") Erase(op.Rect, region);
      if (op.Op != "text") continue;
      const TRect box = op.Clip ? *op.Clip : TRect{op.X, op.Y, op.X + 8 * static_cast<int>(op.Text.size()), op.Y + 16};
      Erase(box, region);
      int x = op.X;
      for (std::size_t i = 0; i < op.Text.size();) {
        const std::size_t n = IsDBCSLeadByte(static_cast<unsigned char>(op.Text[i])) && i + 1 < op.Text.size() ? 2 : 1;
        if (Inside(box, x, op.Y) && InRegion(region, x, op.Y))
          FCells[op.Y][x] = {op.Text.substr(i, n), op.Bk != background};
        x += 8 * static_cast<int>(n);
        i += n;
      }
    }
  }

  std::map<int, std::map<int, TCell>> FCells;
  TPoint FSize{};
};
