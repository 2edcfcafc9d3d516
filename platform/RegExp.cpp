// TRegExp: pattern compilation, global replacement and the "$" forms of the replacement string.
#include "platform/RegExp.h"

#include <unicode/regex.h>

#include <climits>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace {

int32_t Length(const std::u16string& s) {
  if (s.size() > static_cast<std::size_t>(INT32_MAX)) throw ERangeError("正規表現の対象が長すぎます");
  return static_cast<int32_t>(s.size());
}

[[noreturn]] void Fail(const std::u16string& pattern, const std::string& what) {
  throw EConvertError("正規表現 \"" + UnicodeToUtf8(pattern) + "\" を使えません (" + what + ")");
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Appends the text of group, which may not have taken part in the match.
void AppendGroup(std::u16string& out, const TRegExpSpanText& text, icu::RegexMatcher& matcher, int32_t group) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t start = matcher.start(group, status);
  const int32_t end = matcher.end(group, status);
  if (U_SUCCESS(status) && start >= 0) out += text(static_cast<std::size_t>(start), static_cast<std::size_t>(end));
}

// Expands the replacement for the current match. "$" followed by anything
// that names no group or form stays a literal "$".
void AppendReplacement(std::u16string& out, const TRegExpSpanText& text, std::size_t sourceSize,
                       icu::RegexMatcher& matcher, const std::u16string& replacement) {
  const int32_t groups = matcher.groupCount();
  UErrorCode status = U_ZERO_ERROR;
  const auto matchStart = static_cast<std::size_t>(matcher.start(status));
  const auto matchEnd = static_cast<std::size_t>(matcher.end(status));
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
    if (c != u'$' || next == u'\0') {
      out.push_back(c);
    } else if (next == u'$') {
      out.push_back(u'$');
      ++i;
    } else if (next == u'&') {
      out += text(matchStart, matchEnd);
      ++i;
    } else if (next == u'`') {
      out += text(0, matchStart);
      ++i;
    } else if (next == u'\'') {
      out += text(matchEnd, sourceSize);
      ++i;
    } else if (IsDigit(next)) {
      const int32_t one = next - u'0';
      const bool twoDigits = i + 2 < replacement.size() && IsDigit(replacement[i + 2]);
      const int32_t two = twoDigits ? one * 10 + (replacement[i + 2] - u'0') : 0;
      if (twoDigits && two >= 1 && two <= groups) {
        AppendGroup(out, text, matcher, two);
        i += 2;
      } else if (one >= 1 && one <= groups) {
        AppendGroup(out, text, matcher, one);
        ++i;
      } else {
        out.push_back(c);
      }
    } else {
      out.push_back(c);
    }
  }
}

// The find callback comes at every place a search tries, the match
// callback about once a millisecond of backtracking: the interrupt is asked
// once in so many calls of the first, at every call of the second.
constexpr unsigned kPlacesPerInterrupt = 4096;

template <class Interrupt>
UBool AskInterrupt(const void* context, unsigned every) {
  auto& interrupt = *static_cast<Interrupt*>(const_cast<void*>(context));
  if (!interrupt.GoOn || ++interrupt.Calls % every != 0) return true;
  return interrupt.GoOn();
}

}  // namespace

TRegExp::TRegExp() = default;
TRegExp::~TRegExp() = default;

void TRegExp::SetPattern(const std::u16string& pattern) {
  FPattern = pattern;
  Forget();
}

void TRegExp::SetIgnoreCase(bool ignoreCase) {
  FIgnoreCase = ignoreCase;
  Forget();
}

void TRegExp::SetEditorLines(bool editorLines) {
  FEditorLines = editorLines;
  Forget();
}

void TRegExp::Forget() {
  // The matcher refers to the compiled pattern.
  FMatcher.reset();
  FCompiled.reset();
}

void TRegExp::SetTimeLimit(int units) {
  FTimeLimit = units < 0 ? 0 : units;
  FMatcher.reset();
}

const icu::RegexPattern& TRegExp::Compiled() {
  if (FCompiled) return *FCompiled;
  // UNIX_LINES leaves only the line feed outside ".", as the lyric tools'
  // patterns expect of a CR LF text; an editor's search wants lines instead.
  uint32_t flags = FEditorLines ? UREGEX_MULTILINE : UREGEX_UNIX_LINES;
  if (FIgnoreCase) flags |= UREGEX_CASE_INSENSITIVE;
  UParseError where{};
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString pattern(FPattern.data(), Length(FPattern));
  FCompiled.reset(icu::RegexPattern::compile(pattern, flags, where, status));
  if (U_FAILURE(status)) {
    Forget();
    Fail(FPattern, std::string(u_errorName(status)) + ", 位置 " + std::to_string(where.offset + 1));
  }
  return *FCompiled;
}

std::vector<TRegExpMatch> TRegExp::Matches(const std::u16string& source, const std::u16string* replacement,
                                           const TRegExpSpanText& spanText) {
  const TRegExpSpanText ownText = [&source](std::size_t start, std::size_t end) {
    return source.substr(start, end - start);
  };
  const TRegExpSpanText& text = spanText ? spanText : ownText;
  icu::RegexMatcher* matcher = &MatcherFor(source);
  UErrorCode status = U_ZERO_ERROR;
  std::vector<TRegExpMatch> found;
  while (matcher->find(status)) {
    TRegExpMatch match;
    match.Start = static_cast<std::size_t>(matcher->start(status));
    match.End = static_cast<std::size_t>(matcher->end(status));
    if (replacement) AppendReplacement(match.Replacement, text, source.size(), *matcher, *replacement);
    found.push_back(std::move(match));
    if (!FGlobal) break;
  }
  if (status == U_REGEX_TIME_OUT) throw ERegExpTimeOut();
  if (status == U_REGEX_STOPPED_BY_CALLER) throw EAbort("検索を中止しました");
  if (U_FAILURE(status)) Fail(FPattern, u_errorName(status));
  return found;
}

icu::RegexMatcher& TRegExp::MatcherFor(const std::u16string& source) {
  const icu::RegexPattern& compiled = Compiled();
  UErrorCode status = U_ZERO_ERROR;
  if (!FMatcher) {
    FMatcher.reset(compiled.matcher(status));
    if (U_SUCCESS(status)) FMatcher->setTimeLimit(FTimeLimit, status);
    if (U_SUCCESS(status)) FMatcher->setMatchCallback(
        [](const void* context, int32_t) { return AskInterrupt<TInterrupt>(context, 1); }, &FInterrupt, status);
    if (U_SUCCESS(status)) FMatcher->setFindProgressCallback(
        [](const void* context, int64_t) { return AskInterrupt<TInterrupt>(context, kPlacesPerInterrupt); }, &FInterrupt, status);
    if (U_FAILURE(status)) {
      FMatcher.reset();
      Fail(FPattern, u_errorName(status));
    }
  }
  // A read-only alias of the source, which outlives the search.
  FInput = icu::UnicodeString(false, source.data(), Length(source));
  FMatcher->reset(FInput);
  return *FMatcher;
}

std::u16string TRegExp::Replace(const std::u16string& source, const std::u16string& replacement) {
  std::u16string out;
  out.reserve(source.size());
  std::size_t last = 0;
  for (const TRegExpMatch& match : Matches(source, &replacement)) {
    out.append(source, last, match.Start - last);
    out += match.Replacement;
    last = match.End;
  }
  out.append(source, last);
  return out;
}
