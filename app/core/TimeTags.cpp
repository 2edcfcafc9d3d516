// Reading and writing time tags: one forward walk over a line's characters.
#include "app/core/TimeTags.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// Parses "mm:ss.xx" into tag; the reason it is malformed, or nullptr.
const char* ParseTime(std::string_view content, TTimeTag& tag) {
  if (std::any_of(content.begin(), content.end(), IsLetter)) return "英字を含むタイムタグです";
  constexpr const char* kBadForm = "タイムタグの形が正しくありません";
  const std::size_t minutes = DigitRun(content, 0);
  if (minutes < 2 || minutes > kMaxMinuteDigits || minutes >= content.size() || content[minutes] != ':') return kBadForm;
  const std::size_t secondsAt = minutes + 1;
  if (DigitRun(content, secondsAt) != 2) return kBadForm;
  const std::size_t separatorAt = secondsAt + 2;
  if (separatorAt >= content.size() || (content[separatorAt] != '.' && content[separatorAt] != ':')) return kBadForm;
  const std::size_t fractionAt = separatorAt + 1;
  const std::size_t fraction = DigitRun(content, fractionAt);
  if ((fraction != 2 && fraction != 3) || fractionAt + fraction != content.size()) return kBadForm;
  const long long seconds = Number(content.substr(secondsAt, 2));
  if (seconds >= 60) return "秒が 60 以上のタイムタグです";
  const long long fractionValue = Number(content.substr(fractionAt, fraction));
  tag.Millis = (Number(content.substr(0, minutes)) * 60 + seconds) * 1000 + fractionValue * (fraction == 2 ? 10 : 1);
  tag.MinuteDigits = minutes;
  tag.Separator = content[separatorAt];
  tag.FractionDigits = fraction;
  return nullptr;
}

// A karaoke metadata line "@Key=value": the whole rest of the line is the value.
std::optional<TIdTag> ParseMetadataLine(std::string_view line) {
  std::size_t i = 1;
  while (i < line.size() && IsLetter(line[i])) ++i;
  if (i == 1 || i >= line.size() || line[i] != '=') return std::nullopt;
  return TIdTag{line.substr(1, i - 1), line.substr(i + 1)};
}

}  // namespace

std::optional<TIdTag> ParseIdTag(std::string_view line) {
  if (line.starts_with('@')) return ParseMetadataLine(line);
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

TTimeTagScanner::TTimeTagScanner(std::string_view line, std::size_t from) : FLine(line), FAt(from) {}

bool TTimeTagScanner::Next(TScannedTag& found) {
  for (;;) {
    const std::size_t i = NextBracket(FAt);
    if (i >= FLine.size()) {
      FAt = FLine.size();
      return false;
    }
    const std::optional<std::string_view> content = BracketContent(FLine, i);
    if (!content || content->empty() || !IsDigit(content->front()) || content->find(':') == std::string_view::npos) {
      FAt = i + 1;
      continue;
    }
    found.Tag = TTimeTag{};
    found.Reason = ParseTime(*content, found.Tag);
    found.Tag.Start = i;
    found.Tag.Length = content->size() + 2;
    found.Tag.Angle = FLine[i] == '<';
    FAt = i + found.Tag.Length;
    return true;
  }
}

std::size_t TTimeTagScanner::NextBracket(std::size_t from) {
  for (;;) {
    if (from >= FLine.size()) return FLine.size();
    const std::size_t at = std::min(Find('[', from, FSquareAt), Find('<', from, FAngleAt));
    if (at >= FLine.size()) return FLine.size();
    std::size_t run = at;
    while (run > from && IsDBCSLeadByte(static_cast<unsigned char>(FLine[run - 1]))) --run;
    if ((at - run) % 2 == 0) return at;
    from = at + 1;
  }
}

std::size_t TTimeTagScanner::Find(char c, std::size_t from, std::size_t& found) const {
  if (found != kUnknown && found >= from) return found;
  const void* hit = std::memchr(FLine.data() + from, c, FLine.size() - from);
  found = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - FLine.data()) : FLine.size();
  return found;
}

std::pair<std::size_t, std::size_t> NextTimeTag(std::string_view text, std::size_t from) {
  TTimeTagScanner scanner(text, from);
  TScannedTag found;
  while (scanner.Next(found))
    if (found.Reason == nullptr) return {found.Tag.Start, found.Tag.Length};
  return {text.size(), 0};
}

TTaggedLine ParseTaggedLine(std::string_view line) {
  TTaggedLine result;
  ParseTaggedLine(line, result);
  return result;
}

void ParseTaggedLine(std::string_view line, TTaggedLine& result) {
  result.Tags.clear();
  result.Bad.clear();
  result.LineTagCount = 0;
  result.Id = ParseIdTag(line);
  if (result.Id) return;
  bool leading = true;  // only line tags stood before the tag found
  std::size_t end = 0;
  TTimeTagScanner scanner(line);
  TScannedTag found;
  while (scanner.Next(found)) {
    TTimeTag& tag = found.Tag;
    leading = leading && tag.Start == end;
    end = tag.Start + tag.Length;
    if (found.Reason != nullptr) {
      result.Bad.push_back(TBadTimeTag{tag.Start, tag.Length, found.Reason});
      leading = false;
      continue;
    }
    tag.Word = !(leading && !tag.Angle);
    if (!tag.Word) ++result.LineTagCount;
    leading = !tag.Word;
    result.Tags.push_back(tag);
  }
}

namespace {

// "00" to "99", for two digits at a time.
constexpr std::array<char, 200> DigitPairs() {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}

constexpr std::array<char, 200> kDigitPairs = DigitPairs();

// Writes value's decimal digits, at least count of them, backward before p;
// the new start. Two digits at a time while two or more are left to write.
char* WriteDigits(char* p, long long value, std::size_t count) {
  if (value < 0) {
    for (std::size_t i = 0; i < count; ++i) {
      *--p = static_cast<char>('0' + value % 10);
      value /= 10;
    }
    return p;
  }
  auto rest = static_cast<unsigned long long>(value);
  std::size_t written = 0;
  for (; rest >= 10 || written + 1 < count; written += 2) {
    const auto pair = static_cast<std::size_t>(rest % 100) * 2;
    *--p = kDigitPairs[pair + 1];
    *--p = kDigitPairs[pair];
    rest /= 100;
  }
  if (rest > 0 || written < count) *--p = static_cast<char>('0' + rest);
  return p;
}

// Writes "mm:ss.xx" of units (kPerSecond to a second) backward before p;
// the new start. The divisions by constants cost a multiplication each.
template <long long kPerSecond>
char* WriteClock(char* p, long long units, const TTimeTag& form) {
  p = WriteDigits(p, units % kPerSecond, form.FractionDigits);
  *--p = form.Separator;
  p = WriteDigits(p, units / kPerSecond % 60, 2);
  *--p = ':';
  return WriteDigits(p, units / (60 * kPerSecond), form.MinuteDigits);
}

// Appends the tag's time, "mm:ss.xx" in its form, with open and close
// around it when they are not NUL. Digits by hand: this runs for every tag
// of a large file.
void AppendTime(std::string& out, const TTimeTag& form, long long millis, char open, char close) {
  char text[40];
  char* end = text + sizeof text;
  char* p = end;
  if (close != '\0') *--p = close;
  p = form.FractionDigits == 2 ? WriteClock<100>(p, (millis + 5) / 10, form) : WriteClock<1000>(p, millis, form);
  if (open != '\0') *--p = open;
  out.append(p, static_cast<std::size_t>(end - p));
}

}  // namespace

long long LargestTagMillis(const TTimeTag& form) {
  long long minutes = 0;
  for (std::size_t i = 0; i < kMaxMinuteDigits; ++i) minutes = minutes * 10 + 9;
  return (minutes * 60 + 59) * 1000 + (form.FractionDigits == 2 ? 990 : 999);
}

void AppendTimeTag(std::string& out, const TTimeTag& form, long long millis) {
  AppendTime(out, form, millis, form.Angle ? '<' : '[', form.Angle ? '>' : ']');
}

std::string DescribeTime(long long millis) {
  std::string text;
  AppendDescribedTime(text, millis);
  return text;
}

void AppendDescribedTime(std::string& out, long long millis) {
  TTimeTag form;
  form.FractionDigits = millis % 10 == 0 ? 2 : 3;
  AppendTime(out, form, millis, '\0', '\0');
}

bool HoldsTimeTags(std::string_view text) {
  TTaggedLine parsed;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ParseTaggedLine(text.substr(start, end - start), parsed);
    if (!parsed.Tags.empty()) return true;
    start = end + 1;
  }
  return false;
}
