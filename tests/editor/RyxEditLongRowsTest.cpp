// What a long row keeps between edits (its tabs, its link runs) against the same found afresh after every edit.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/RyxEditLinks.h"
#include "editor/RyxEditRowLayout.h"
#include "editor/RyxEditRowTabs.h"
#include "editor/Ryxstrings.h"

namespace {

using namespace std::string_literals;

// Pieces that meet the rules of tabs and links: tabs, a TAB byte that is a
// trail, lead bytes alone and paired, schemes in any case, tags with and
// without their dot, link terminators and a full-width space.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "\t", "\x81\t", "\x82\xa0", "\x81", "ab ", "http://a.b/c", "HTTPS://x", "mailto:me", "mail:", "tag:x.y",
      "tag:", ".", "|", "\"", ">", "\x81\x40", "t", "h", "m", " ", ",", ":"};
  return pieces;
}

std::string RandomRow(std::mt19937& random, std::size_t bytes) {
  std::string row;
  while (row.size() < bytes) row += Pieces()[random() % Pieces().size()];
  return row;
}

// An edit as typing makes it, mostly near the end, sometimes anywhere, at any byte.
void EditRandomly(std::mt19937& random, std::string& row) {
  const bool nearEnd = random() % 4 != 0;
  const std::size_t at = nearEnd ? row.size() - std::min<std::size_t>(row.size(), random() % 24) : random() % (row.size() + 1);
  if (random() % 3 == 0)
    row.erase(at, random() % 6);
  else
    row.insert(at, Pieces()[random() % Pieces().size()]);
}

// After every edit, each column, x and span of the row maps through the
// tabs kept the same as through a fresh walk, in both byte modes.
TEST(RyxEditLongRows, KeptTabsMapAsAFreshWalkDoes) {
  std::mt19937 random(7);
  for (const bool singleByte : {false, true}) {
    TLongRowTabs kept;
    std::string row = RandomRow(random, TLongRowTabs::kLongRow + 500);
    for (int step = 0; step < 150; ++step) {
      EditRandomly(random, row);
      // Each edit a new revision, and now and then a new copy of the row, as the store makes them.
      std::string stored = row;
      const std::vector<TTabStop>* tabs = kept.For(stored, static_cast<std::uint64_t>(step) + 1, 4, singleByte);
      ASSERT_NE(tabs, nullptr);
      const TRowLayout fast(stored, 4, singleByte, nullptr, tabs);
      const TRowLayout plain(stored, 4, singleByte, nullptr);
      const int length = static_cast<int>(stored.size());
      for (int probe = 0; probe < 40; ++probe) {
        const int col = probe < 2 ? probe * length : static_cast<int>(random() % (length + 1));
        ASSERT_EQ(fast.ExpandedColumn(col), plain.ExpandedColumn(col)) << "step " << step << " col " << col;
        int fastX = 0;
        int plainX = 0;
        const int x = static_cast<int>(random() % (plain.XOfColumn(length) + 8));
        ASSERT_EQ(fast.ColumnAtX(x, fastX), plain.ColumnAtX(x, plainX)) << "step " << step << " x " << x;
        ASSERT_EQ(fastX, plainX);
        const int to = std::min(length, col + static_cast<int>(random() % 64));
        ASSERT_EQ(fast.Expanded(col, to), plain.Expanded(col, to)) << "step " << step;
        ASSERT_EQ(fast.DrawnSpan(0, length, x - 40, x + 40), plain.DrawnSpan(0, length, x - 40, x + 40));
      }
      // A view of the row without its last bytes maps through the same tabs.
      const std::string_view shorter = std::string_view(stored).substr(0, stored.size() - 2);
      const TRowLayout shortFast(shorter, 4, singleByte, nullptr, kept.For(shorter, static_cast<std::uint64_t>(step) + 1, 4, singleByte));
      ASSERT_EQ(shortFast.ExpandedColumn(length), TRowLayout(shorter, 4, singleByte, nullptr).ExpandedColumn(length));
    }
  }
}

// A long row that is a paragraph of its own, edited at random: the runs
// kept equal a fresh scan after every edit, with resume points every byte,
// every few bytes and at the usual spacing, in both byte modes, as the last
// row and as a row with a line break between others.
TEST(RyxEditLongRows, KeptLinkRunsEqualAFreshScan) {
  std::mt19937 random(11);
  for (const int spacing : {1, 5, 4096}) {
    for (const bool singleByte : {false, true}) {
      for (const bool last : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "spacing " << spacing << " singleByte " << singleByte << " last " << last);
        TLongRowLinks kept(spacing);
        TRyxStrings lines;
        lines.Add("before http://x\r\n");
        std::string row = RandomRow(random, 16 * 1024 + 200);
        const std::string end = last ? "\0\0"s : "\r\n"s;
        lines.Add(row + end);
        if (!last) lines.Add("after\0\0"s);
        ASSERT_TRUE(TLongRowLinks::Keeps(lines, 1));
        for (int step = 0; step < (spacing == 4096 ? 120 : 40); ++step) {
          EditRandomly(random, row);
          lines.Put(1, row + end);
          ASSERT_EQ(kept.For(lines, 1, singleByte), ScanLinkRuns(lines, 1, 1, singleByte)) << "step " << step;
        }
        // The paint's scan takes the kept runs and cuts them at its limit as a fresh scan does.
        for (const int limit : {1, 300, 9000, INT_MAX})
          ASSERT_EQ(ScanLinkRuns(lines, 0, 1, singleByte, limit, &kept), ScanLinkRuns(lines, 0, 1, singleByte, limit));
      }
    }
  }
}

}  // namespace
