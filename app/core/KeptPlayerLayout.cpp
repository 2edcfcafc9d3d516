// TKeptPlayerLayout: finding the first changed byte, and walking the line's tags and rows from a resume point.
#include "app/core/KeptPlayerLayout.h"

#include <algorithm>

#include "app/core/LineStartRules.h"
#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"

namespace {

// How far past a bracket the tag reading looks: a resume point serves a
// change only this far behind it at least.
constexpr std::size_t kTagLookAhead = 32;

bool IsLead(char c) { return IsDBCSLeadByte(static_cast<unsigned char>(c)); }

// The character start at p or p + 1, known that `known` < p starts a character:
// p starts one when the run of lead-byte values before it has an even length.
std::size_t CharStartFrom(std::string_view line, std::size_t known, std::size_t p) {
  std::size_t run = p;
  while (run > known && IsLead(line[run - 1])) --run;
  return (p - run) % 2 == 0 ? p : p + 1;
}

}  // namespace

void TKeptPlayerLayout::Update(std::string_view line, int halfCount) {
  std::size_t changed = 0;
  if (FLaidOut && halfCount == FHalfCount) {
    changed = FirstDifference(FLine, line);
    if (changed == FLine.size() && changed == line.size()) return;
  }
  FLine.replace(changed, std::string::npos, line.substr(changed));
  FHalfCount = halfCount;
  FLaidOut = true;
  LayOutFrom(changed);
}

void TKeptPlayerLayout::LayOutFrom(std::size_t changed) {
  // An ID tag line is not shown: no text, one empty row. Whether a line is
  // one can change at its end, so it is laid out from its start.
  const bool idLine = ParseIdTag(FLine).has_value();
  if (idLine) changed = 0;
  while (!FResumePoints.empty() && FResumePoints.back().Line + kTagLookAhead > changed) FResumePoints.pop_back();
  if (FResumePoints.empty()) FResumePoints.push_back(TResumePoint{});
  const TResumePoint from = FResumePoints.back();
  FLayout.Text.resize(from.Text);
  FLayout.Rows.resize(from.Rows);
  FKeptOffRows.resize(from.KeptOff);
  TPlayerRowBreaker breaker(FHalfCount, from.BrokenTo, from.Open);
  if (!idLine) {
    std::size_t at = from.Line;
    TTimeTagScanner scanner(FLine, at);
    TScannedTag found;
    while (scanner.Next(found)) {
      Append(at, found.Tag.Start, breaker);
      at = found.Tag.Start + found.Tag.Length;
      // A malformed tag is text, shown as it stands; no resume point falls inside it.
      if (found.Reason != nullptr) AppendText(found.Tag.Start, at, breaker);
    }
    Append(at, FLine.size(), breaker);
  }
  breaker.Feed(FLayout.Text, true, [this](const TPlayerRow& row) { CloseRow(row); });
  CloseRow(breaker.Open());
}

void TKeptPlayerLayout::Append(std::size_t from, std::size_t to, TPlayerRowBreaker& breaker) {
  while (from < to) {
    // A resume point where the bytes of a long run between tags reach the spacing.
    const std::size_t due = FResumePoints.back().Line + FResumeSpacing;
    const std::size_t end = due < to ? std::min(to, std::max(from, CharStartFrom(FLine, from, due))) : to;
    AppendText(from, end, breaker);
    from = end;
    if (from - FResumePoints.back().Line >= FResumeSpacing)
      FResumePoints.push_back(TResumePoint{from, FLayout.Text.size(), FLayout.Rows.size(), FKeptOffRows.size(),
                                           breaker.At(), breaker.Open()});
  }
}

void TKeptPlayerLayout::AppendText(std::size_t from, std::size_t to, TPlayerRowBreaker& breaker) {
  FLayout.Text.append(FLine, from, to - from);
  breaker.Feed(FLayout.Text, false, [this](const TPlayerRow& row) { CloseRow(row); });
}

void TKeptPlayerLayout::CloseRow(const TPlayerRow& row) {
  const std::size_t index = FLayout.Rows.size();
  FLayout.Rows.push_back(row);
  if (index > 0 && !KeptOffLineStart(std::string_view(FLayout.Text).substr(row.Start, row.Length)).empty())
    FKeptOffRows.push_back(index);
}
