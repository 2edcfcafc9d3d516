// Reading and writing time tags: one forward walk over a line's characters.
#include "app/TimeTags.h"

#include <algorithm>

#include "platform/LeadByte.h"

namespace {

// Longer bracketed runs are text, whatever they hold.
constexpr std::size_t kMaxTagContent = 16;
constexpr std::size_t kMaxMinuteDigits = 6;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::size_t DigitRun(std::string_view s, std::size_t from) {
  std::size_t end = from;
  while (end < s.size() && IsDigit(s[end])) ++end;
  return end - from;
}

long long Number(std::string_view digits) {
  long long value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The content of a tag opened at i: printable ASCII up to the closing
// bracket, or nothing when the bracket is not closed that way.
std::optional<std::string_view> BracketContent(std::string_view line, std::size_t i) {
  const char open = line[i];
  const char close = open == '[' ? ']' : '>';
  for (std::size_t j = i + 1; j < line.size() && j - i <= kMaxTagContent + 1; ++j) {
    const char c = line[j];
    if (c == close) return line.substr(i + 1, j - i - 1);
    if (c <= 0x20 || c >= 0x7F || c == open) break;
  }
  return std::nullopt;
}

// Parses "mm:ss.xx" into tag; false with a reason when it is malformed.
bool ParseTime(std::string_view content, TTimeTag& tag, std::string& reason) {
  if (std::any_of(content.begin(), content.end(), IsLetter)) {
    reason = "英字を含むタイムタグです";
    return false;
  }
  reason = "タイムタグの形が正しくありません";
  const std::size_t minutes = DigitRun(content, 0);
  if (minutes < 2 || minutes > kMaxMinuteDigits || minutes >= content.size() || content[minutes] != ':') return false;
  const std::size_t secondsAt = minutes + 1;
  if (DigitRun(content, secondsAt) != 2) return false;
  const std::size_t separatorAt = secondsAt + 2;
  if (separatorAt >= content.size() || (content[separatorAt] != '.' && content[separatorAt] != ':')) return false;
  const std::size_t fractionAt = separatorAt + 1;
  const std::size_t fraction = DigitRun(content, fractionAt);
  if ((fraction != 2 && fraction != 3) || fractionAt + fraction != content.size()) return false;
  const long long seconds = Number(content.substr(secondsAt, 2));
  if (seconds >= 60) {
    reason = "秒が 60 以上のタイムタグです";
    return false;
  }
  const long long fractionValue = Number(content.substr(fractionAt, fraction));
  tag.Millis = (Number(content.substr(0, minutes)) * 60 + seconds) * 1000 + fractionValue * (fraction == 2 ? 10 : 1);
  tag.MinuteDigits = minutes;
  tag.Separator = content[separatorAt];
  tag.FractionDigits = fraction;
  return true;
}

// "[key:value]" and blanks after it, the "]" standing on a character start.
std::optional<TIdTag> ParseIdTag(std::string_view line) {
  if (line.empty() || line[0] != '[') return std::nullopt;
  std::size_t i = 1;
  while (i < line.size() && IsLetter(line[i])) ++i;
  if (i == 1 || i >= line.size() || line[i] != ':') return std::nullopt;
  const std::string_view key = line.substr(1, i - 1);
  const std::size_t valueAt = ++i;
  while (i < line.size() && line[i] != ']') i += IsDBCSLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
  if (i >= line.size()) return std::nullopt;
  for (std::size_t rest = i + 1; rest < line.size(); ++rest) {
    if (static_cast<unsigned char>(line[rest]) > 0x20) return std::nullopt;
  }
  return TIdTag{key, line.substr(valueAt, i - valueAt)};
}

}  // namespace

TTaggedLine ParseTaggedLine(std::string_view line) {
  TTaggedLine result;
  result.Id = ParseIdTag(line);
  if (result.Id) return result;
  bool leading = true;  // only line tags stood before i
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (IsDBCSLeadByte(static_cast<unsigned char>(c))) {
      i += std::min<std::size_t>(2, line.size() - i);
      leading = false;
      continue;
    }
    const std::optional<std::string_view> content =
        c == '[' || c == '<' ? BracketContent(line, i) : std::optional<std::string_view>();
    if (!content || content->empty() || !IsDigit(content->front()) || content->find(':') == std::string_view::npos) {
      ++i;
      leading = false;
      continue;
    }
    const std::size_t length = content->size() + 2;
    TTimeTag tag;
    std::string reason;
    const bool good = ParseTime(*content, tag, reason);
    if (good) {
      tag.Start = i;
      tag.Length = length;
      tag.Angle = c == '<';
      tag.Word = !(leading && c == '[');
      if (!tag.Word) ++result.LineTagCount;
      result.Tags.push_back(tag);
    } else {
      result.Bad.push_back(TBadTimeTag{i, length, std::move(reason)});
    }
    leading = leading && good && !tag.Word;
    i += length;
  }
  return result;
}

void AppendTimeTag(std::string& out, const TTimeTag& form, long long millis) {
  const bool hundredths = form.FractionDigits == 2;
  const long long perSecond = hundredths ? 100 : 1000;
  const long long units = hundredths ? (millis + 5) / 10 : millis;
  // Digits by hand: this runs for every tag of a large file.
  char text[40];
  char* end = text + sizeof text;
  char* p = end;
  auto digits = [&p](long long value, std::size_t count) {
    for (std::size_t i = 0; i < count || value > 0; ++i) {
      *--p = static_cast<char>('0' + value % 10);
      value /= 10;
    }
  };
  *--p = form.Angle ? '>' : ']';
  digits(units % perSecond, form.FractionDigits);
  *--p = form.Separator;
  digits(units / perSecond % 60, 2);
  *--p = ':';
  digits(units / (60 * perSecond), form.MinuteDigits);
  *--p = form.Angle ? '<' : '[';
  out.append(p, static_cast<std::size_t>(end - p));
}

std::string DescribeTime(long long millis) {
  TTimeTag form;
  form.FractionDigits = millis % 10 == 0 ? 2 : 3;
  std::string tag;
  AppendTimeTag(tag, form, millis);
  return tag.substr(1, tag.size() - 2);
}
