// TTagChecker: one pass over the lines; word tags wait for the next line's time, and problems for what may precede them.
#include "app/core/TagCheck.h"

#include <algorithm>
#include <charconv>

#include "app/core/FuncUnit.h"
#include "app/core/LineStartRules.h"
#include "app/core/WordUnits.h"
#include "platform/CodePage.h"

namespace {

bool IsWholeNumber(std::string_view value) {
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) value.remove_prefix(1);
  return !value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void AppendNumber(std::string& out, std::size_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  out.append(digits, end);
}

// "N 行目"
void AppendLineRef(std::string& out, std::size_t line) {
  AppendNumber(out, line);
  out += " 行目";
}

}  // namespace

std::pair<std::size_t, bool> TFirstLineOfTime::Find(long long millis, std::size_t line) {
  if (millis >= 0 && millis < kHundredthsMillis && millis % 10 == 0 && line < kEmpty) {
    const auto at = static_cast<std::size_t>(millis / 10);
    if (at >= FByHundredth.size())
      FByHundredth.resize(std::min(std::max(at + 1, 2 * FByHundredth.size()), std::size_t{kHundredthsMillis / 10}));
    std::uint32_t& first = FByHundredth[at];
    if (first != 0) return {first - 1, false};
    first = static_cast<std::uint32_t>(line + 1);
    return {line, true};
  }
  if (millis < 0 || millis >= kEmpty || line >= kEmpty) {
    const auto [first, fresh] = FLarge.try_emplace(millis, line);
    return {first->second, fresh};
  }
  const auto key = static_cast<std::uint32_t>(millis);
  const auto first = static_cast<std::uint32_t>(line);
  if (FInOrder.empty() || key > FInOrder.back().Millis) {
    FInOrder.push_back(TSlot{key, first});
    return {line, true};
  }
  const auto at = std::lower_bound(FInOrder.begin(), FInOrder.end(), key,
                                   [](const TSlot& slot, std::uint32_t k) { return slot.Millis < k; });
  if (at->Millis == key) return {at->Line, false};
  return FindOutOfOrder(key, first);
}

std::pair<std::size_t, bool> TFirstLineOfTime::FindOutOfOrder(std::uint32_t key, std::uint32_t line) {
  if (2 * (FUsed + 1) > FSlots.size()) Grow();
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t at = (key * 0x9E3779B97F4A7C15u) >> 24 & mask;; at = (at + 1) & mask) {
    TSlot& slot = FSlots[at];
    if (slot.Millis == key) return {slot.Line, false};
    if (slot.Millis == kEmpty) {
      slot = TSlot{key, line};
      ++FUsed;
      return {line, true};
    }
  }
}

void TFirstLineOfTime::Grow() {
  std::vector<TSlot> old(FSlots.size() * 2);
  old.swap(FSlots);
  FUsed = 0;
  for (const TSlot& slot : old)
    if (slot.Millis != kEmpty) FindOutOfOrder(slot.Millis, slot.Line);
}

std::string& TTagChecker::Message() {
  FProblem.Message.clear();
  return FProblem.Message;
}

void TTagChecker::Report(const TTagProblem& problem) {
  ++FReported;
  if (FReport) FReport(problem);
}

void TTagChecker::Add(std::size_t line, TTagProblemKind kind) {
  FProblem.Line = line;
  FProblem.Kind = kind;
  if (!FTagged || !FPendingWords.empty())
    FHeld.push_back(FProblem);
  else
    Report(FProblem);
}

void TTagChecker::ReportHeld() {
  for (const TTagProblem& problem : FHeld) Report(problem);
  FHeld.clear();
}

void TTagChecker::AddLine(std::size_t number, std::string_view line) {
  TTaggedLine& parsed = FParsed;
  ParseTaggedLine(line, parsed);
  if (!parsed.Id && parsed.LineTagCount > 0) Close(number, parsed);
  for (const TBadTimeTag& bad : parsed.Bad) {
    Message().append(bad.Reason).append(": ").append(line.substr(bad.Start, bad.Length));
    Add(number, TTagProblemKind::Malformed);
  }
  if (parsed.Id) {
    if (parsed.Id->Key == "offset" && !IsWholeNumber(parsed.Id->Value)) {
      Message().append("[offset:] の値がミリ秒の整数ではありません");
      Add(number, TTagProblemKind::OffsetNotNumber);
    }
    return;
  }
  CheckFit(number, line);
  if (parsed.LineTagCount == 0) {
    if (!parsed.Bad.empty() || TrimsToNothing(line)) return;
    if (FTagged) {
      Message().append("タイムタグのない行です");
      Add(number, TTagProblemKind::Untagged);
    } else {
      FUntagged.push_back(number);
    }
    return;
  }
  CheckLineTimes(number, line, parsed);
}

void TTagChecker::Close(std::size_t number, const TTaggedLine& parsed) {
  if (!FTagged) {
    // Each untagged line's problem comes after the line's others.
    FTagged = true;
    std::size_t next = 0;
    const auto reportUntaggedBefore = [&](std::size_t line) {
      for (; next < FUntagged.size() && FUntagged[next] < line; ++next) {
        Message().append("タイムタグのない行です");
        FProblem.Line = FUntagged[next];
        FProblem.Kind = TTagProblemKind::Untagged;
        Report(FProblem);
      }
    };
    for (const TTagProblem& problem : FHeld) {
      reportUntaggedBefore(problem.Line);
      Report(problem);
    }
    reportUntaggedBefore(number);
    FHeld.clear();
    FUntagged = {};
    return;
  }
  if (FPendingWords.empty()) return;
  // A line sung at several times drops the words' check.
  if (parsed.LineTagCount == 1 && parsed.Tags.front().Millis >= FPrevious->Millis) {
    const long long start = parsed.Tags.front().Millis;
    for (const TPendingWord& word : FPendingWords) {
      if (word.Millis <= start) continue;
      std::string& message = Message().append("ワードタグ ").append(word.Text).append(" が次の行 (");
      AppendLineRef(message, number);
      message.append(") の時刻 ");
      AppendDescribedTime(message, start);
      message.append(" より後です");
      FProblem.Line = word.Line;
      FProblem.Kind = TTagProblemKind::WordOutside;
      Report(FProblem);
    }
  }
  FPendingWords.clear();
  for (const TTagProblem& problem : FPendingDuplicates) Report(problem);
  FPendingDuplicates.clear();
  ReportHeld();
}

void TTagChecker::CheckFit(std::size_t number, std::string_view line) {
  if (!FDisplay || FDisplay->LineCount < 1) return;
  const TPlayerLayout layout = LayOutForPlayer(line, FDisplay->HalfCount);
  const std::size_t rows = layout.Rows.size();
  if (rows > static_cast<std::size_t>(FDisplay->LineCount)) ReportOverflow(number, rows);
  for (const std::size_t row : RowsStartingKeptOff(layout)) {
    const TPlayerRow& at = layout.Rows[row];
    std::string& message = Message().append("表示の ");
    AppendNumber(message, row + 1);
    message.append(" 行目が「")
        .append(UnicodeToUtf8(AnsiToUnicode(KeptOffLineStart(std::string_view(layout.Text).substr(at.Start, at.Length)))))
        .append("」で始まります");
    Add(number, TTagProblemKind::LineStart);
  }
}

void TTagChecker::ReportOverflow(std::size_t number, std::size_t rows) {
  std::string& message = Message().append("プレーヤーの表示に ");
  AppendNumber(message, rows);
  message.append(" 行必要です (");
  AppendNumber(message, static_cast<std::size_t>(FDisplay->HalfCount));
  message.append(" 桁 ");
  AppendNumber(message, static_cast<std::size_t>(FDisplay->LineCount));
  message.append(" 行に収まりません)");
  Add(number, TTagProblemKind::Overflow);
}

void TTagChecker::CheckLineTimes(std::size_t number, std::string_view line, const TTaggedLine& parsed) {
  // The duplicates, by time; a time seen first on this line is its own.
  std::vector<std::pair<long long, std::size_t>>& duplicates = FDuplicates;
  duplicates.clear();
  for (std::size_t i = 0; i < parsed.LineTagCount; ++i) {
    const long long millis = parsed.Tags[i].Millis;
    const auto [first, fresh] = FFirstLineOfTime.Find(millis, number);
    if (!fresh) duplicates.emplace_back(millis, first);
  }
  // A stable sort takes a buffer from the heap, even for the single time of most lines.
  if (duplicates.size() > 1)
    std::stable_sort(duplicates.begin(), duplicates.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  const auto reportDuplicates = [&](std::vector<TTagProblem>* hold) {
    for (const auto& [millis, first] : duplicates) {
      std::string& message = Message().append("時刻 ");
      AppendDescribedTime(message, millis);
      message.append(" は ");
      AppendLineRef(message, first);
      message.append("と同じです");
      FProblem.Line = number;
      FProblem.Kind = TTagProblemKind::Duplicate;
      if (hold)
        hold->push_back(FProblem);
      else
        Report(FProblem);
    }
  };
  if (parsed.LineTagCount > 1) {
    reportDuplicates(nullptr);
    return;
  }
  const long long start = parsed.Tags.front().Millis;
  if (FPrevious && start < FPrevious->Millis) {
    std::string& message = Message().append("時刻 ");
    AppendDescribedTime(message, start);
    message.append(" が前の行 (");
    AppendLineRef(message, FPrevious->Line);
    message.append("の ");
    AppendDescribedTime(message, FPrevious->Millis);
    message.append(") より前に戻っています");
    Add(number, TTagProblemKind::Backwards);
  }
  for (const TTimeTag& tag : parsed.Tags) {
    if (!tag.Word || tag.Millis >= start) continue;
    std::string& message = Message().append("ワードタグ ").append(line.substr(tag.Start, tag.Length));
    message.append(" が行の時刻 ");
    AppendDescribedTime(message, start);
    message.append(" より前です");
    Add(number, TTagProblemKind::WordOutside);
  }
  CheckWordOrder(number, line, parsed);
  // The others wait for the next line's time; from here on, later lines' problems wait for them.
  for (const TTimeTag& tag : parsed.Tags) {
    if (tag.Word && tag.Millis >= start)
      FPendingWords.push_back(TPendingWord{number, std::string(line.substr(tag.Start, tag.Length)), tag.Millis});
  }
  FPrevious = TTimedLine{number, start};
  reportDuplicates(FPendingWords.empty() ? nullptr : &FPendingDuplicates);
}

void TTagChecker::CheckWordOrder(std::size_t number, std::string_view line, const TTaggedLine& parsed) {
  const TTimeTag* previous = nullptr;
  for (const TTimeTag& tag : parsed.Tags) {
    if (!tag.Word) continue;
    if (previous && tag.Millis < previous->Millis) {
      Message()
          .append("ワードタグ ")
          .append(line.substr(tag.Start, tag.Length))
          .append(" が前のワードタグ ")
          .append(line.substr(previous->Start, previous->Length))
          .append(" より前に戻っています");
      Add(number, TTagProblemKind::WordBackwards);
    }
    previous = &tag;
  }
  if (!previous) return;
  // A line whose only word tag ends it is timed by lines, with an end.
  const TLineUnits units = SplitUnits(line);
  if (std::none_of(units.Units.begin(), units.Units.end(), [](const TWordUnit& unit) { return unit.Tag.has_value(); }))
    return;
  for (std::size_t i = 0; i < units.Units.size(); ++i) {
    if (units.Timed(i)) continue;
    const TWordUnit& unit = units.Units[i];
    Message()
        .append("「")
        .append(UnicodeToUtf8(AnsiToUnicode(line.substr(unit.Start, unit.End - unit.Start))))
        .append("」にワードタグがありません");
    Add(number, TTagProblemKind::UntimedUnit);
  }
}

std::size_t TTagChecker::Finish() {
  // Word tags of the last timed line have no next line to pass.
  FPendingWords.clear();
  for (const TTagProblem& problem : FPendingDuplicates) Report(problem);
  FPendingDuplicates.clear();
  ReportHeld();
  FUntagged = {};
  return FReported;
}
