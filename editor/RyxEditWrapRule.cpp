// The word-wrap split rule: the length of the next piece of a logical line, counting every column or as the owner's hook says.
#include "editor/RyxEditWrapRule.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"

namespace {

int PlainPieceLength(std::string_view rest, const TWrapRule& rule) {
  const int n = static_cast<int>(rest.size());
  if (n == 0) return 0;
  int pos = std::min(n, rule.Column);
  if (rule.WidthLimit > 0) {
    const TRowLayout layout(rest.substr(0, static_cast<std::size_t>(pos)), rule.TabCount, rule.SingleByte,
                            rule.Measurer);
    auto fits = [&](int p) {
      return layout.ExpandedColumn(p) <= rule.Column && layout.XOfColumn(p) <= rule.WidthLimit;
    };
    // A prefix's expansion and width grow with it: the longest that fits is found by bisection.
    if (!fits(pos)) {
      int low = 1;
      int high = pos - 1;
      while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (fits(mid))
          low = mid;
        else
          high = mid - 1;
      }
      pos = low;
    }
  } else if (std::memchr(rest.data(), '\t', static_cast<std::size_t>(pos)) != nullptr) {
    // Columns counted in one walk: a tab goes on to the next stop, unless it
    // is the trail byte of a double-byte character.
    const int tabCount = std::max(1, rule.TabCount);
    int column = 0;
    int p = 0;
    for (bool trail = false; p < pos; ++p) {
      const char c = rest[static_cast<std::size_t>(p)];
      const int width = c == '\t' && !trail ? tabCount - column % tabCount : 1;
      if (column + width > rule.Column) break;
      column += width;
      trail = !trail && !rule.SingleByte && IsDBCSLeadByte(static_cast<unsigned char>(c));
    }
    pos = std::max(1, p);
  }
  const int limit = HasLineEnd(rest) ? n - 1 : n;
  if (pos >= limit) return n;
  if (rest[static_cast<std::size_t>(pos - 1)] == '\r' || rest[static_cast<std::size_t>(pos - 1)] == '\0') --pos;
  // A lead byte right before the terminator pairs with none of its bytes.
  if (pos > 0 && StoredByteTypeAt(rest, pos - 1, rule.SingleByte) == kLeadByte) --pos;
  // A piece always takes at least one whole character, however narrow the limit.
  if (pos <= 0) pos = StoredByteTypeAt(rest, 0, rule.SingleByte) == kLeadByte ? 2 : 1;
  return pos;
}

bool EndsInLead(std::string_view text, std::size_t from, std::size_t pos, bool singleByte) {
  if (singleByte || pos <= from) return false;
  std::size_t run = pos;
  while (run > from && IsDBCSLeadByte(static_cast<unsigned char>(text[run - 1]))) --run;
  return (pos - run) % 2 != 0;
}

// The end of the first character of text from `from`.
std::size_t CharEnd(std::string_view text, std::size_t from, bool singleByte) {
  const bool wide = !singleByte && IsDBCSLeadByte(static_cast<unsigned char>(text[from])) && from + 1 < text.size();
  return from + (wide ? 2 : 1);
}

struct TCount {
  std::size_t Cut = std::string_view::npos;  // npos: the whole text fits
  int Columns = 0;                           // counted before the cut
};

// Where content (no terminator) is cut to fit column counted columns.
TCount CountedCut(std::string_view content, int column, const IColumnCounting& counting, bool singleByte) {
  TCount count;
  std::size_t i = 0;
  std::size_t countedEnd = 0;  // just past the last counted byte
  while (i < content.size()) {
    const auto room = static_cast<std::size_t>(std::max(0, column - count.Columns));
    // A markup that starts past the room cannot matter: the search is kept that short.
    const std::size_t window = std::min(content.size(), i + room + 1 + IColumnCounting::kLongestMarkup);
    const TMarkup markup = counting.NextMarkup(content.substr(0, window), i);
    const std::size_t textEnd = std::min(markup.Start, window);
    if (textEnd - i > room) {
      std::size_t pos = i + room;
      if (pos > i && (content[pos - 1] == '\r' || content[pos - 1] == '\0')) --pos;
      if (EndsInLead(content, i, pos, singleByte)) --pos;
      // Nothing more fits: the markup before this text goes on with it.
      if (pos == i) pos = countedEnd;
      // A piece takes at least one character, however narrow the column.
      count.Cut = pos > 0 ? pos : CharEnd(content, i, singleByte);
      count.Columns += static_cast<int>(count.Cut > i ? count.Cut - i : 0);
      return count;
    }
    count.Columns += static_cast<int>(textEnd - i);
    if (textEnd > i) countedEnd = textEnd;
    if (textEnd >= content.size()) break;
    i = textEnd + std::max<std::size_t>(1, markup.Length);
  }
  return count;
}

// A cut inside a markup moves to its start, or past it when the markup opens the piece.
std::size_t OutsideMarkup(std::string_view text, std::size_t cut, const IColumnCounting& counting) {
  for (std::size_t i = 0; i < cut;) {
    const TMarkup markup =
        counting.NextMarkup(text.substr(0, std::min(text.size(), cut + IColumnCounting::kLongestMarkup)), i);
    if (markup.Start >= cut) return cut;
    if (markup.Start + markup.Length > cut) return markup.Start > 0 ? markup.Start : markup.Start + markup.Length;
    i = markup.Start + std::max<std::size_t>(1, markup.Length);
  }
  return cut;
}

int CountedPieceLength(std::string_view rest, const TWrapRule& rule) {
  const std::size_t n = rest.size();
  const std::size_t content = HasLineEnd(rest) ? n - 2 : n;
  std::size_t pos = n;
  if (!rule.SilentLine)
    pos = std::min(n, CountedCut(rest.substr(0, content), rule.Column, *rule.Counting, rule.SingleByte).Cut);
  if (rule.WidthLimit > 0) {
    TWrapRule byWidth = rule;
    byWidth.Column = INT_MAX;
    const auto width = static_cast<std::size_t>(PlainPieceLength(rest.substr(0, pos), byWidth));
    if (width < pos) pos = OutsideMarkup(rest, width, *rule.Counting);
  }
  return static_cast<int>(std::max<std::size_t>(1, pos));
}

}  // namespace

int WrapPieceLength(std::string_view rest, const TWrapRule& rule) {
  return rule.Counting ? CountedPieceLength(rest, rule) : PlainPieceLength(rest, rule);
}

int CountedColumns(std::string_view text, const IColumnCounting& counting) {
  return CountedCut(text, INT_MAX, counting, false).Columns;
}
