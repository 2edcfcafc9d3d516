// TTagChecker: one pass over the lines; word tags wait for the next line's time.
#include "app/TagCheck.h"

#include <algorithm>

#include "app/FuncUnit.h"

namespace {

bool IsWholeNumber(std::string_view value) {
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) value.remove_prefix(1);
  return !value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LineRef(std::size_t line) { return std::to_string(line) + " 行目"; }

}  // namespace

void TTagChecker::Add(std::size_t line, TTagProblemKind kind, std::string message) {
  FProblems.push_back(TTagProblem{line, kind, std::move(message)});
}

void TTagChecker::AddLine(std::size_t number, std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  for (const TBadTimeTag& bad : parsed.Bad) {
    Add(number, TTagProblemKind::Malformed, bad.Reason + ": " + std::string(line.substr(bad.Start, bad.Length)));
  }
  if (parsed.Id) {
    if (parsed.Id->Key == "offset" && !IsWholeNumber(parsed.Id->Value)) {
      Add(number, TTagProblemKind::OffsetNotNumber, "[offset:] の値がミリ秒の整数ではありません");
    }
    return;
  }
  CheckFit(number, line);
  if (parsed.LineTagCount == 0) {
    if (parsed.Bad.empty() && !TrimFullWidth(std::string(line)).empty()) FUntagged.push_back(number);
    return;
  }
  FTagged = true;
  CheckLineTimes(number, line, parsed);
}

void TTagChecker::CheckFit(std::size_t number, std::string_view line) {
  if (!FDisplay || FDisplay->LineCount < 1) return;
  const std::size_t rows = LayOutForPlayer(line, FDisplay->HalfCount).Rows.size();
  if (rows <= static_cast<std::size_t>(FDisplay->LineCount)) return;
  Add(number, TTagProblemKind::Overflow,
      "プレーヤーの表示に " + std::to_string(rows) + " 行必要です (" + std::to_string(FDisplay->HalfCount) + " 桁 " +
          std::to_string(FDisplay->LineCount) + " 行に収まりません)");
}

void TTagChecker::CheckLineTimes(std::size_t number, std::string_view line, const TTaggedLine& parsed) {
  for (std::size_t i = 0; i < parsed.LineTagCount; ++i) FLineTimes.push_back(TLineTime{parsed.Tags[i].Millis, number});
  if (parsed.LineTagCount > 1) {
    FPendingWords.clear();
    return;
  }
  const long long start = parsed.Tags.front().Millis;
  const bool forward = !FPrevious || start >= FPrevious->Millis;
  if (!forward) {
    Add(number, TTagProblemKind::Backwards,
        "時刻 " + DescribeTime(start) + " が前の行 (" + LineRef(FPrevious->Line) + "の " +
            DescribeTime(FPrevious->Millis) + ") より前に戻っています");
  }
  for (const TPendingWord& word : FPendingWords) {
    if (forward && word.Millis > start) {
      Add(word.Line, TTagProblemKind::WordOutside,
          "ワードタグ " + word.Text + " が次の行 (" + LineRef(number) + ") の時刻 " + DescribeTime(start) +
              " より後です");
    }
  }
  FPendingWords.clear();
  for (const TTimeTag& tag : parsed.Tags) {
    if (!tag.Word) continue;
    const std::string text(line.substr(tag.Start, tag.Length));
    if (tag.Millis < start) {
      Add(number, TTagProblemKind::WordOutside,
          "ワードタグ " + text + " が行の時刻 " + DescribeTime(start) + " より前です");
    } else {
      FPendingWords.push_back(TPendingWord{number, text, tag.Millis});
    }
  }
  FPrevious = TTimedLine{number, start};
}

std::vector<TTagProblem> TTagChecker::Finish() {
  if (FTagged) {
    for (std::size_t line : FUntagged) Add(line, TTagProblemKind::Untagged, "タイムタグのない行です");
  }
  FUntagged.clear();
  // Sorted by time and then line, each run of one time names its first line.
  std::sort(FLineTimes.begin(), FLineTimes.end());
  std::size_t runStart = 0;
  for (std::size_t i = 1; i < FLineTimes.size(); ++i) {
    if (FLineTimes[i].Millis != FLineTimes[i - 1].Millis) {
      runStart = i;
      continue;
    }
    Add(FLineTimes[i].Line, TTagProblemKind::Duplicate,
        "時刻 " + DescribeTime(FLineTimes[i].Millis) + " は " + LineRef(FLineTimes[runStart].Line) + "と同じです");
  }
  FLineTimes.clear();
  std::stable_sort(FProblems.begin(), FProblems.end(),
                   [](const TTagProblem& a, const TTagProblem& b) { return a.Line < b.Line; });
  return std::move(FProblems);
}
