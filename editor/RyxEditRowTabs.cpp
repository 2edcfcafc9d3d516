// TLongRowTabs: walking a long row's tabs once for a revision of the text, on from where the last walk ended
// or from the last tab before the row's first changed byte.
#include "editor/RyxEditRowTabs.h"

#include "editor/RyxEditSub.h"

const std::vector<TTabStop>* TLongRowTabs::For(std::string_view row, std::uint64_t revision, int tabCount,
                                               bool singleByte) {
  if (row.size() < kLongRow) return nullptr;
  if (tabCount != FTabCount || singleByte != FSingleByte) {
    FTabCount = tabCount;
    FSingleByte = singleByte;
    FRow.clear();
    FTabs.clear();
  }
  if (revision != FRevision || row.data() != FData) {
    // Another row, or this one changed: the tabs before the first byte that differs stay.
    const std::size_t same = FirstDifference(FRow, row);
    FRow.resize(same);
    while (!FTabs.empty() && static_cast<std::size_t>(FTabs.back().Byte) >= same) FTabs.pop_back();
    FRevision = revision;
    FData = row.data();
  }
  if (row.size() > FRow.size()) {
    // On from the byte after the last tab found, a character start.
    const int from = FTabs.empty() ? 0 : FTabs.back().Byte + 1;
    int shift = FTabs.empty() ? 0 : FTabs.back().ShiftAfter();
    WalkRowTabs(row, from, static_cast<int>(row.size()), shift, tabCount, singleByte, [this](int t, int column, int fill) {
      FTabs.push_back(TTabStop{t, column, fill});
      return true;
    });
    FRow.append(row.substr(FRow.size()));
  }
  return &FTabs;
}
