// Stamp times and the tag edits of one line, on the tag model of TimeTags.
#include "app/core/SyncStamp.h"

#include <algorithm>

#include "app/core/TimeTags.h"

namespace {

TStampTime Held(TMillis time, std::optional<TMillis> length) {
  TStampTime held{time};
  if (time < TMillis{0}) {
    held.Time = TMillis{0};
    held.ClampedAtStart = true;
  } else if (length && time > *length) {
    held.Time = *length;
    held.ClampedAtEnd = true;
  }
  return held;
}

const TTimeTag* FirstLineTag(const TTaggedLine& parsed) {
  return parsed.LineTagCount > 0 ? &parsed.Tags.front() : nullptr;
}

}  // namespace

TStampTime StampTime(TMillis streamPosition, TMillis latency, TMillis reactionDelay, std::optional<TMillis> length) {
  return Held(streamPosition - latency - reactionDelay, length);
}

TStampTime MovedTime(TMillis time, TMillis delta, std::optional<TMillis> length) { return Held(time + delta, length); }

std::optional<TTagForm> LineTagForm(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  const TTimeTag* tag = FirstLineTag(parsed);
  if (!tag) return std::nullopt;
  return TTagForm{tag->Separator, tag->FractionDigits};
}

std::string FormatLineTag(TMillis time, TTagForm form) {
  TTimeTag tag;
  tag.Separator = form.Separator;
  tag.FractionDigits = form.FractionDigits;
  std::string out;
  AppendTimeTag(out, tag, std::max<long long>(0, time.count()));
  return out;
}

TLineEdit StampEdit(std::string_view line, TMillis time, TTagForm fileForm) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  if (const TTimeTag* tag = FirstLineTag(parsed)) {
    std::string text;
    AppendTimeTag(text, *tag, std::max<long long>(0, time.count()));
    return {tag->Start, tag->Length, std::move(text)};
  }
  return {0, 0, FormatLineTag(time, fileForm)};
}

std::optional<TMillis> LineTagTime(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  const TTimeTag* tag = FirstLineTag(parsed);
  if (!tag) return std::nullopt;
  return TMillis{tag->Millis};
}

std::optional<TLineEdit> RemoveTagEdit(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  const TTimeTag* tag = FirstLineTag(parsed);
  if (!tag) return std::nullopt;
  return TLineEdit{tag->Start, tag->Length, {}};
}

bool IsStampableLine(std::string_view line) { return !ParseTaggedLine(line).Id.has_value(); }

TMillis NudgeReplayStart(TMillis tagTime) { return std::max(TMillis{0}, tagTime - kNudgeReplayLead); }

TReplayRange LineReplayRange(TMillis lineTime, std::optional<TMillis> nextLineTime) {
  if (nextLineTime && *nextLineTime > lineTime) return {lineTime, nextLineTime};
  return {lineTime, std::nullopt};
}

std::string DescribeReplay(const TReplayRange& range) {
  // Appended piece by piece: a chain of operator+ trips a false -Wrestrict of GCC 12 at -O2.
  std::string said = DescribeTime(range.From.count());
  said += " から";
  if (range.To) {
    said += " ";
    said += DescribeTime(range.To->count());
    said += " まで";
  } else {
    said += " 曲の終わりまで";
  }
  said += "再生します";
  return said;
}
