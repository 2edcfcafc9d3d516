// The lyric clean-up commands: each runs its block filter over the whole text at once.
#include "app/core/LyricTools.h"

#include "app/core/TimeTagFilter.h"
#include "app/core/UselessLineFilter.h"

namespace {

template <class Filter, class... Args>
std::string Run(const std::string& text, std::size_t* removed, Args... args) {
  Filter filter(args...);
  std::string result = filter.Apply(text);
  if (removed) *removed = filter.Removed();
  return result;
}

}  // namespace

std::string DeleteTimeTags(const std::string& text, std::size_t* removed) {
  return Run<TTimeTagFilter>(text, removed, TTimeTagFilter::TScope::All);
}

std::string DeleteKaraokeTags(const std::string& text, std::size_t* removed) {
  return Run<TTimeTagFilter>(text, removed, TTimeTagFilter::TScope::AfterCharacter);
}

std::string DeleteUselessLines(const std::string& text, std::size_t* removed) {
  return Run<TUselessLineFilter>(text, removed);
}

std::string ConvertToUtf8(const std::string& text) { return TUtf8Encoder().Apply(text); }

std::string ConvertToShiftJis(const std::string& text, std::size_t* replaced) {
  TShiftJisEncoder encoder;
  std::string result = encoder.Apply(text);
  if (replaced) *replaced = encoder.Replaced();
  return result;
}

void FilterText(const TStoredText& text, TBlockFilter& filter, TRyxStringsWriter& out) {
  std::size_t read = 0;
  std::string made;
  text.ForEachLine([&](std::string_view line) {
    read += line.size();
    // Only the last line carries the marker; a NUL before it is text.
    const bool last = read == text.Size() && line.size() >= 2 && line[line.size() - 2] == '\0';
    made.clear();
    filter.Write(last ? line.substr(0, line.size() - 2) : line, made);
    out.Write(made, line);
  });
  made.clear();
  filter.Finish(made);
  out.Write(made);
}
