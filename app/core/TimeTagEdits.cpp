// The tag-rewriting filters: each line parsed once, its tags replaced in one
// pass.
#include "app/core/TimeTagEdits.h"

#include "app/core/TimeTags.h"

namespace {

// Appends line to out with each time tag replaced by what rewrite gives it.
template <class Rewrite>
void RewriteTags(std::string_view line, std::string& out, Rewrite rewrite) {
  std::size_t copied = 0;
  for (const TTimeTag& tag : ParseTaggedLine(line).Tags) {
    out.append(line.substr(copied, tag.Start - copied));
    rewrite(tag, out);
    copied = tag.Start + tag.Length;
  }
  out.append(line.substr(copied));
}

}  // namespace

void TTagShiftFilter::Line(std::size_t, std::string_view line, std::string& out) {
  RewriteTags(line, out, [this](const TTimeTag& tag, std::string& to) {
    long long millis = tag.Millis + FOffset;
    const long long latest = LargestTagMillis(tag);
    if (millis < 0) {
      millis = 0;
      ++FClamped;
    } else if (millis > latest) {
      millis = latest;
      ++FClampedAtLatest;
    }
    AppendTimeTag(to, tag, millis);
  });
}

void TTagFormFilter::Line(std::size_t, std::string_view line, std::string& out) {
  RewriteTags(line, out, [this, line](const TTimeTag& tag, std::string& to) {
    if (tag.Angle) {
      to.append(line.substr(tag.Start, tag.Length));
      return;
    }
    TTimeTag form = tag;
    form.Separator = FSeparator;
    form.FractionDigits = 2;
    AppendTimeTag(to, form, tag.Millis);
  });
}

void TAllTimeTagFilter::Line(std::size_t, std::string_view line, std::string& out) {
  RewriteTags(line, out, [this](const TTimeTag&, std::string&) { ++FRemoved; });
}
