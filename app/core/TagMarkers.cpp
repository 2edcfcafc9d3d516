// The markers read from a line's parsed tags, and a tag written again with its new time.
#include "app/core/TagMarkers.h"

#include <algorithm>

#include "app/core/TimeTags.h"

void AppendTagMarkers(int line, std::string_view text, std::vector<TTagMarker>& out) {
  const TTaggedLine parsed = ParseTaggedLine(text);
  for (std::size_t i = 0; i < parsed.Tags.size(); ++i)
    out.push_back(TTagMarker{line, i, TMillis{parsed.Tags[i].Millis}, parsed.Tags[i].Word});
}

std::optional<TLineEdit> MovedTagEdit(std::string_view text, std::size_t tag, TMillis time) {
  const TTaggedLine parsed = ParseTaggedLine(text);
  if (tag >= parsed.Tags.size()) return std::nullopt;
  const TTimeTag& form = parsed.Tags[tag];
  TLineEdit edit{form.Start, form.Length, {}};
  AppendTimeTag(edit.Text, form, std::clamp<long long>(time.count(), 0, LargestTagMillis(form)));
  return edit;
}
