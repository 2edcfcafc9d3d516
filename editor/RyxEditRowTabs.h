// TLongRowTabs: the tabs of one long row found once for a revision of the text, and the walk that finds a row's tabs.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LeadByte.h"

// A tab of a row: its byte, the expanded column it starts at and the columns it fills.
struct TTabStop {
  int Byte = 0;
  int Column = 0;
  int Fill = 0;
  // The columns that the tabs up to this one add to the bytes before the next.
  int ShiftAfter() const { return Column + Fill - 1 - Byte; }
};

// Calls visit(t, expandedColumnOfT, fill) for every tab of row from byte
// `from` (a character start; shift holds the columns the tabs before it
// add) to before end, in order, until it returns false; shift follows. A tab
// advances to the next multiple of tabCount columns of the expanded text (a
// double-byte character counts two); a TAB byte that is the trail of a lead
// byte is no tab; with singleByte every byte is a character of its own. The
// lead-byte run before a TAB is looked at back to the last character start
// known only, so the walk stays linear on any text.
template <typename Visit>
void WalkRowTabs(std::string_view row, int from, int end, int& shift, int tabCount, bool singleByte, Visit&& visit) {
  const char* data = row.data();
  int known = from;
  while (from < end) {
    const void* hit = std::memchr(data + from, '\t', static_cast<std::size_t>(end - from));
    if (!hit) return;
    const int t = static_cast<int>(static_cast<const char*>(hit) - data);
    bool isTab = true;
    if (!singleByte) {
      int j = t;
      while (j > known && IsDBCSLeadByte(static_cast<unsigned char>(data[j - 1]))) --j;
      // An odd run ends in a lead byte, which takes the TAB as its trail.
      isTab = (t - j) % 2 == 0;
    }
    known = from = t + 1;
    if (!isTab) continue;
    const int column = t + shift;
    const int fill = tabCount - column % tabCount;
    if (!visit(t, column, fill)) return;
    shift += fill - 1;
  }
}

// The tabs of the last long row asked for, so that mapping columns to x on a
// row of megabytes is a binary search, however often a paint asks, and not a
// walk over the row each time. The bytes walked are kept: when the text
// changes, the row is compared with them and walked again only from its
// first changed byte.
class TLongRowTabs {
 public:
  // Rows shorter than this are walked each time: their walk costs less than keeping it.
  static constexpr std::size_t kLongRow = 16 * 1024;

  // The tabs of row, a view of a row of the store at revision from its
  // start (a view of the same bytes at the same revision is taken as the
  // same row without comparing); nullptr for a short row.
  const std::vector<TTabStop>* For(std::string_view row, std::uint64_t revision, int tabCount, bool singleByte);

 private:
  std::uint64_t FRevision = 0;
  const char* FData = nullptr;
  int FTabCount = 0;
  bool FSingleByte = false;
  // The bytes of the row walked so far.
  std::string FRow;
  std::vector<TTabStop> FTabs;
};
