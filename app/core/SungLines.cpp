// TSungLines: the line tags of a text in chunks by line, each sorted by time and looked up by binary search.
#include "app/core/SungLines.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

void TSungLines::Read(const TRyxStrings& rows) {
  FKnown.reset();
  FChunks.clear();
  FRows = rows.Count();
  FLineEnds = rows.LogicalLineOf(FRows);
  TEntries entries;
  ReadLines(rows, 0, 0, FLineEnds, entries);
  CutChunks(entries.begin(), entries.end(), FChunks);
}

void TSungLines::Changed(const TRyxStrings& rows, int first, int oldLast, int newLast) {
  if (first < 0 || oldLast < first - 1 || oldLast >= FRows || newLast < first - 1 || newLast >= rows.Count() ||
      FRows - (oldLast - first) + (newLast - first) != rows.Count())
    throw std::out_of_range("TSungLines: the reported rows do not match the text");
  FKnown.reset();
  // The rows after the change are those after it before: counting the line
  // breaks from its end to the end of the text places it in the old lines.
  const int lineEnds = rows.LogicalLineOf(rows.Count());
  const int firstLine = rows.LogicalLineOf(first);
  const int newLastLine = rows.LogicalLineOf(newLast + 1);
  const int oldLastLine = FLineEnds - (lineEnds - newLastLine);
  Remove(firstLine, oldLastLine, newLastLine - oldLastLine);
  TEntries read;
  ReadLines(rows, rows.FirstIndexOfLogicalLine(firstLine), firstLine, newLastLine, read);
  Insert(std::move(read));
  FRows = rows.Count();
  FLineEnds = lineEnds;
}

void TSungLines::TChunk::Measure() {
  const auto [low, high] = std::minmax_element(Entries.begin(), Entries.end(),
                                               [](const TEntry& a, const TEntry& b) { return a.second < b.second; });
  FirstLine = low->second;
  LastLine = high->second;
}

void TSungLines::Remove(int first, int last, int shift) {
  for (TChunk& chunk : FChunks) {
    if (chunk.LastLine + chunk.Offset < first) continue;
    if (chunk.FirstLine + chunk.Offset > last) {
      chunk.Offset += shift;
      continue;
    }
    // The lines after the change stay above the lines before it when
    // moved, so the order by time, then line, holds without a sort.
    std::erase_if(chunk.Entries, [&](TEntry& entry) {
      const int line = entry.second + chunk.Offset;
      if (line > last) entry.second += shift;
      return line >= first && line <= last;
    });
    if (!chunk.Entries.empty()) chunk.Measure();
  }
  std::erase_if(FChunks, [](const TChunk& chunk) { return chunk.Entries.empty(); });
}

void TSungLines::Insert(TEntries entries) {
  if (entries.empty()) return;
  // Nothing else lies among the new lines: the first chunk that reaches
  // them, or the last, takes them without breaking the order of the chunks.
  const int firstLine = entries.front().second;
  auto chunk = std::partition_point(FChunks.begin(), FChunks.end(),
                                    [&](const TChunk& c) { return c.LastLine + c.Offset < firstLine; });
  if (chunk == FChunks.end() && !FChunks.empty()) chunk = std::prev(FChunks.end());
  if (chunk == FChunks.end()) {
    CutChunks(entries.begin(), entries.end(), FChunks);
    return;
  }
  for (TEntry& entry : entries) entry.second -= chunk->Offset;
  std::sort(entries.begin(), entries.end());
  const auto middle = chunk->Entries.insert(chunk->Entries.end(), entries.begin(), entries.end());
  std::inplace_merge(chunk->Entries.begin(), middle, chunk->Entries.end());
  chunk->Measure();
  if (chunk->Entries.size() <= FChunkSize) return;
  // Split in two by line.
  TEntries byLine;
  byLine.reserve(chunk->Entries.size());
  for (const TEntry& entry : chunk->Entries) byLine.emplace_back(entry.first, entry.second + chunk->Offset);
  std::stable_sort(byLine.begin(), byLine.end(), [](const TEntry& a, const TEntry& b) { return a.second < b.second; });
  std::vector<TChunk> halves;
  CutChunks(byLine.begin(), byLine.end(), halves);
  const auto at = FChunks.erase(chunk);
  FChunks.insert(at, std::make_move_iterator(halves.begin()), std::make_move_iterator(halves.end()));
}

void TSungLines::CutChunks(TEntries::const_iterator begin, TEntries::const_iterator end,
                           std::vector<TChunk>& chunks) const {
  const std::size_t piece = std::max<std::size_t>(1, FChunkSize / 2);
  while (begin != end) {
    const auto stop = begin + static_cast<std::ptrdiff_t>(std::min<std::size_t>(piece, end - begin));
    TChunk& chunk = chunks.emplace_back();
    chunk.Entries.assign(begin, stop);
    std::sort(chunk.Entries.begin(), chunk.Entries.end());
    chunk.Measure();
    begin = stop;
  }
}

TSungLines::TEntries TSungLines::Entries() const {
  TEntries all;
  for (const TChunk& chunk : FChunks)
    for (const TEntry& entry : chunk.Entries) all.emplace_back(entry.first, entry.second + chunk.Offset);
  std::sort(all.begin(), all.end());
  return all;
}

void TSungLines::ReadLines(const TRyxStrings& rows, int row, int line, int lastLine, TEntries& entries) {
  TTaggedLine parsed;
  // The start of each logical line, gathered across the rows word wrap
  // broke it into: a tag may straddle two of them, and line tags stand at the start.
  constexpr std::size_t kHeadBytes = 64;
  std::string head;
  bool read = false;
  for (; row < rows.Count() && line <= lastLine; ++row) {
    const std::string_view piece = rows.Get(row);
    const std::string_view content = piece.substr(0, static_cast<std::size_t>(ContentLength(piece)));
    if (!read && head.size() < kHeadBytes) head.append(content.substr(0, kHeadBytes - head.size()));
    const bool lineEnd = HasLineEnd(piece);
    if (!read && (lineEnd || head.size() >= kHeadBytes || row + 1 == rows.Count())) {
      ParseTaggedLine(head, parsed);
      for (std::size_t i = 0; i < parsed.LineTagCount; ++i) entries.emplace_back(TMillis{parsed.Tags[i].Millis}, line);
      read = true;
    }
    if (lineEnd) {
      ++line;
      head.clear();
      read = false;
    } else if (read) {
      // The rest of a long line is passed over, not walked row by row: on to
      // the row that ends it (a last line without a break ends at the last row).
      const int next = rows.FirstIndexOfLogicalLine(line + 1);
      const int lastRow = rows.LogicalLineOf(next) > line ? next - 1 : next;
      row = std::max(row, lastRow - 1);
    }
  }
}

std::optional<int> TSungLines::LineAt(TMillis position) const {
  if (FKnown && FKnown->From <= position && position < FKnown->To) return FKnown->Line;
  // The latest tag at or before position by time, the last line of a shared
  // time: the best of each chunk's, found by binary search; and the earliest
  // time after position, up to which the answer holds.
  std::optional<TEntry> best;
  TMillis next = TMillis::max();
  for (const TChunk& chunk : FChunks) {
    const auto after = std::upper_bound(chunk.Entries.begin(), chunk.Entries.end(),
                                        TEntry{position, std::numeric_limits<int>::max()});
    if (after != chunk.Entries.end()) next = std::min(next, after->first);
    if (after == chunk.Entries.begin()) continue;
    const TEntry found{std::prev(after)->first, std::prev(after)->second + chunk.Offset};
    if (!best || *best < found) best = found;
  }
  const std::optional<int> line = best ? std::optional<int>(best->second) : std::nullopt;
  FKnown = TKnownSpan{best ? best->first : TMillis::min(), next, line};
  return line;
}
