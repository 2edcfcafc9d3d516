// The markers read from a line's parsed tags, and a tag written again with its new time.
#include "app/core/TagMarkers.h"

#include <algorithm>

#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"

void AppendTagMarkers(int line, std::string_view text, std::vector<TTagMarker>& out) {
  const TTaggedLine parsed = ParseTaggedLine(text);
  for (std::size_t i = 0; i < parsed.Tags.size(); ++i)
    out.push_back(TTagMarker{line, i, TMillis{parsed.Tags[i].Millis}, parsed.Tags[i].Word});
}

void AppendRowMarkers(const TRyxStrings& rows, int first, int last, std::vector<TTagMarker>& out) {
  if (rows.Count() == 0) return;
  first = std::clamp(first, 0, rows.Count() - 1);
  last = std::clamp(last, first, rows.Count() - 1);
  std::string text;
  for (int line = rows.LogicalLineOf(first), row = rows.FirstIndexOfLogicalLine(line); row <= last; ++line) {
    text.clear();
    // The line's rows up to the line break, or up to the bytes read for markers.
    for (; row < rows.Count(); ++row) {
      const std::string_view piece = rows.Get(row);
      if (text.size() < kMarkedBytes) text.append(piece.substr(0, kMarkedBytes - text.size()));
      if (HasLineEnd(piece)) {
        ++row;
        break;
      }
    }
    AppendTagMarkers(line, StripEndMarker(StripLineEnd(text)), out);
  }
}

std::optional<TLineEdit> MovedTagEdit(std::string_view text, std::size_t tag, TMillis time) {
  const TTaggedLine parsed = ParseTaggedLine(text);
  if (tag >= parsed.Tags.size()) return std::nullopt;
  const TTimeTag& form = parsed.Tags[tag];
  TLineEdit edit{form.Start, form.Length, {}};
  AppendTimeTag(edit.Text, form, std::clamp<long long>(time.count(), 0, LargestTagMillis(form)));
  return edit;
}
