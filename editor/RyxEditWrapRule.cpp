// The word-wrap split rule: the length of the next piece of a logical line.
#include "editor/RyxEditWrapRule.h"

#include <algorithm>
#include <cstring>

#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"

int WrapPieceLength(std::string_view rest, const TWrapRule& rule) {
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
