// Rewriting the time tags of lyrics lines between the .lrc and .kra forms.
#include "app/core/KaraokeTagForms.h"

#include "app/core/TimeTags.h"

namespace {

void AppendTag(std::string& out, const TTimeTag& tag, TTagForm form, bool word) {
  TTimeTag written = tag;
  written.Angle = word && form == TTagForm::Lrc;
  written.Separator = form == TTagForm::Lrc ? '.' : ':';
  AppendTimeTag(out, written, tag.Millis);
}

}  // namespace

void AppendInTagForm(std::string_view line, std::size_t number, TTagForm form, TFormatReport& report,
                     std::string& out) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  if (!parsed.Bad.empty()) throw EFormatError(number, parsed.Bad.front().Reason);
  std::size_t at = 0;
  for (std::size_t i = 0; i < parsed.Tags.size(); ++i) {
    const TTimeTag& tag = parsed.Tags[i];
    out.append(line.substr(at, tag.Start - at));
    at = tag.Start + tag.Length;
    const bool word = i >= parsed.LineTagCount;
    const bool firstWord = word && i == parsed.LineTagCount && parsed.LineTagCount > 0 &&
                           tag.Start == parsed.Tags[i - 1].Start + parsed.Tags[i - 1].Length;
    if (firstWord && form == TTagForm::Kra) {
      if (tag.Millis != parsed.Tags[i - 1].Millis) report.Drop("行頭の間 (.kra のタグで書けないもの)");
      continue;
    }
    AppendTag(out, tag, form, word);
    // The first word of a word-timed line is sung from the line's time.
    const bool lastLineTag = i + 1 == parsed.LineTagCount && parsed.Tags.size() > parsed.LineTagCount;
    if (lastLineTag && form == TTagForm::Lrc && parsed.Tags[i + 1].Start != at) AppendTag(out, tag, form, true);
  }
  out.append(line.substr(at));
}

std::string RewriteTagForm(std::string_view text, TTagForm form, TFormatReport& report) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  ForEachTextLine(text, [&](std::string_view line, std::size_t number) {
    AppendInTagForm(line, number, form, report, out);
    out += "\r\n";
    return true;
  });
  return out;
}
