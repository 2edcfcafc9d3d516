// TPlayerPrepareFilter: each line parsed once; the copies of a repeated line wait in a heap ordered by time.
#include "app/core/PlayerPrepare.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsOffsetKey(std::string_view key) {
  constexpr std::string_view kOffset = "offset";
  return std::equal(key.begin(), key.end(), kOffset.begin(), kOffset.end(),
                    [](char a, char b) { return (a | 0x20) == b; });
}

}  // namespace

std::vector<std::string> DescribePrepareCounts(const TPrepareCounts& counts, bool withDisplay) {
  std::vector<std::string> lines;
  if (counts.LinesAdded > 0) lines.push_back("繰り返しの行を書き出す: " + std::to_string(counts.LinesAdded) + " 行");
  if (counts.Offset) {
    std::string offset = "[offset:" + std::to_string(*counts.Offset) + "] を適用して削除: " +
                         std::to_string(counts.TagsShifted) + " 個のタグ";
    if (counts.TagsClamped > 0) offset += " (うち " + std::to_string(counts.TagsClamped) + " 個は 0 秒 (か表せる最後の時刻) で止める)";
    lines.push_back(offset);
  }
  if (counts.WordTagsRemoved > 0) lines.push_back("ワードタグを削除: " + std::to_string(counts.WordTagsRemoved) + " 個");
  if (counts.TagsRewritten > 0) lines.push_back("タグを mm:ss.xx に: " + std::to_string(counts.TagsRewritten) + " 個");
  if (counts.IdLinesRemoved > 0) lines.push_back("ID タグの行を削除: " + std::to_string(counts.IdLinesRemoved) + " 行");
  if (counts.ChangesNothing()) lines.push_back("変える所はありません");
  if (!withDisplay) return lines;
  std::string overflow = "表示に収まらない行: " + std::to_string(counts.Overflowing);
  if (counts.Overflowing > 0) {
    overflow += " (";
    for (std::size_t i = 0; i < counts.FirstOverflowing.size(); ++i)
      overflow += (i == 0 ? "" : ", ") + std::to_string(counts.FirstOverflowing[i]);
    overflow += counts.Overflowing > counts.FirstOverflowing.size() ? ", ... 行目)" : " 行目)";
  }
  lines.push_back(overflow);
  return lines;
}

void TPlayerPrepareFilter::TakeOffset(std::size_t number, std::string_view value) {
  const std::string where = std::to_string(number) + " 行目: ";
  if (FCounts.Offset) throw ETextEncodingError(where + "[offset:] が 2 つ目です。1 つにしてください");
  if (FSeenTime) throw ETextEncodingError(where + "[offset:] はタイムタグのある行より前に置いてください");
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  if (value.starts_with('+')) value.remove_prefix(1);
  long long millis = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), millis);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() || millis > 99999999 ||
      millis < -99999999) {
    throw ETextEncodingError(where + "[offset:] の値はミリ秒の整数にしてください: " + std::string(value));
  }
  FCounts.Offset = millis;
}

long long TPlayerPrepareFilter::Shifted(const TTimeTag& form, long long millis) {
  if (!FCounts.Offset || *FCounts.Offset == 0) return millis;
  ++FCounts.TagsShifted;
  const long long shifted = millis - *FCounts.Offset;
  const long long latest = LargestTagMillis(form);
  if (shifted >= 0 && shifted <= latest) return shifted;
  ++FCounts.TagsClamped;
  return std::clamp(shifted, 0LL, latest);
}

long long TPlayerPrepareFilter::TimeAfterOffset(long long millis) const {
  return std::max(0LL, millis - FCounts.Offset.value_or(0));
}

void TPlayerPrepareFilter::AppendTag(std::string& out, const TTimeTag& tag, long long millis) {
  TTimeTag form = tag;
  if (FOptions.Hundredths) {
    form.Separator = '.';
    form.FractionDigits = 2;
  }
  AppendTimeTag(out, form, Shifted(form, millis));
}

void TPlayerPrepareFilter::AppendText(std::string& out, std::string_view line, long long delta) {
  const std::vector<TTimeTag>& tags = FParsed.Tags;
  std::size_t copied = FParsed.LineTagCount == 0 ? 0 : tags[FParsed.LineTagCount - 1].Start + tags[FParsed.LineTagCount - 1].Length;
  for (std::size_t i = FParsed.LineTagCount; i < tags.size(); ++i) {
    out.append(line.substr(copied, tags[i].Start - copied));
    if (!FOptions.RemoveWordTags) AppendTag(out, tags[i], tags[i].Millis + delta);
    copied = tags[i].Start + tags[i].Length;
  }
  out.append(line.substr(copied));
}

void TPlayerPrepareFilter::Emit(std::string_view text, std::string_view lineBreak, bool shown, std::string& out) {
  if (FOpenEnd) out.append(FBreakStyle);
  out.append(text).append(lineBreak);
  FOpenEnd = lineBreak.empty();
  ++FOutputLine;
  if (!shown || !FDisplay) return;
  if (!NeedsMoreThanAPage(text, *FDisplay)) return;
  ++FCounts.Overflowing;
  if (FCounts.FirstOverflowing.size() < kKeptOverflowing) FCounts.FirstOverflowing.push_back(FOutputLine);
}

void TPlayerPrepareFilter::Release(long long millis, std::string& out) {
  while (!FWaiting.empty() && FWaiting.top().Millis <= millis) {
    const TWaiting& next = FWaiting.top();
    Emit(next.Text, next.Break, true, out);
    FWaiting.pop();
  }
}

void TPlayerPrepareFilter::SplitLine(std::size_t number, std::string_view line, std::string_view lineBreak,
                                     std::string& out) {
  if (!lineBreak.empty()) FBreakStyle = lineBreak;
  ParseTaggedLine(line, FParsed);
  if (FParsed.Id) {
    if (IsOffsetKey(FParsed.Id->Key)) return TakeOffset(number, FParsed.Id->Value);
    if (FOptions.RemoveIdLines) {
      ++FCounts.IdLinesRemoved;
      return;
    }
    return Emit(line, lineBreak, false, out);
  }
  const std::size_t lineTags = FParsed.LineTagCount;
  for (std::size_t i = lineTags; i < FParsed.Tags.size(); ++i) {
    if (FOptions.RemoveWordTags) ++FCounts.WordTagsRemoved;
  }
  for (const TTimeTag& tag : FParsed.Tags) {
    const bool rewritten = tag.Separator != '.' || tag.FractionDigits != 2;
    if (FOptions.Hundredths && rewritten && !(FOptions.RemoveWordTags && tag.Word)) ++FCounts.TagsRewritten;
  }
  FLine.clear();
  if (lineTags == 0) {
    AppendText(FLine, line, 0);
    return Emit(FLine, lineBreak, true, out);
  }
  FSeenTime = true;
  FTimes.clear();
  for (std::size_t i = 0; i < lineTags; ++i) FTimes.push_back(FParsed.Tags[i].Millis);
  const long long earliest = *std::min_element(FTimes.begin(), FTimes.end());
  if (!FOptions.ExpandLines || lineTags == 1) {
    for (std::size_t i = 0; i < lineTags; ++i) AppendTag(FLine, FParsed.Tags[i], FTimes[i]);
    AppendText(FLine, line, 0);
    Release(TimeAfterOffset(earliest), out);
    return Emit(FLine, lineBreak, true, out);
  }
  // One copy per line tag, in time order; the first stands here, the others wait for their time.
  std::vector<std::size_t> order(lineTags);
  for (std::size_t i = 0; i < lineTags; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) { return FTimes[a] < FTimes[b]; });
  FCounts.LinesAdded += lineTags - 1;
  for (std::size_t k = 0; k < lineTags; ++k) {
    const TTimeTag& tag = FParsed.Tags[order[k]];
    FLine.clear();
    AppendTag(FLine, tag, tag.Millis);
    AppendText(FLine, line, tag.Millis - earliest);
    const long long at = TimeAfterOffset(tag.Millis);
    if (k == 0) {
      Release(at, out);
      Emit(FLine, lineBreak, true, out);
    } else {
      FWaiting.push(TWaiting{at, FOrder++, FLine, std::string(lineBreak)});
    }
  }
}

void TPlayerPrepareFilter::End(std::string& out) {
  // A text that ended without a break still does, after its last copy.
  const bool openEnd = FOpenEnd;
  while (!FWaiting.empty()) {
    const TWaiting next = FWaiting.top();
    FWaiting.pop();
    Emit(next.Text, FWaiting.empty() && openEnd ? "" : next.Break, true, out);
  }
}
