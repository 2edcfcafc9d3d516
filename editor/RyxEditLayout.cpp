// TRyxEdit: tab expansion and the mapping between byte columns and pixels.
#include <algorithm>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

std::string TRyxEdit::ExpandTabs(const std::string& s) const {
  std::string out;
  out.reserve(s.size() + 8);
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\t') {
      out.append(FTabCount - out.size() % FTabCount, ' ');
    } else if (!FSingleByteMode && IsDBCSLeadByte(c) && i + 1 < n) {
      // A lead byte takes its trail byte along, so a trail byte 0x09 is never a tab.
      out.push_back(s[i]);
      out.push_back(s[++i]);
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

int TRyxEdit::TextXOfColumn(const std::string& line, int col) const {
  if (col <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(col), line.size());
  return Canvas().TextWidth(ExpandTabs(line.substr(0, n)));
}
