// TTextSearch: decoding Shift-JIS text with its byte offsets, finding with wrap-around, replacing.
#include "app/core/TextSearch.h"

#include <algorithm>

#include "app/core/WidthFolding.h"
#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

bool IsAsciiWordCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// A regular expression with its wide characters folded; a full-width "＊"
// becomes a literal "*", never an operator.
std::u16string FoldPattern(const std::u16string& pattern) {
  std::vector<std::size_t> source;
  const std::u16string folded = FoldWidth(pattern, &source);
  std::u16string out;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (pattern[source[i]] >= 0x80 && folded[i] < 0x80 && !IsAsciiWordCharacter(folded[i])) out += u'\\';
    out += folded[i];
  }
  return out;
}

// A plain-text pattern as a regular expression that matches exactly it.
std::u16string QuotePattern(const std::u16string& text) {
  std::u16string quoted;
  for (const char16_t c : text) {
    if (c < 0x80 && !IsAsciiWordCharacter(c)) quoted += u'\\';
    quoted += c;
  }
  return quoted;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Whether a regular expression may match a line break or tell the text's
// own ends from a line's: an escape that names a line break, a class that
// holds one or a code point, a negated or property set, or the dot-all flag,
// and a line break itself, escaped or not.
// Anything doubtful counts, since it only costs the search a whole-text pass.
bool MaySpanLines(const std::u16string& pattern) {
  constexpr std::u16string_view kSpanningEscapes = u"nrfstvRWDSHVXxuUNpPcAzZG0\r\n";
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    if (c == u'\\') {
      if (kSpanningEscapes.find(next) != std::u16string_view::npos) return true;
      ++i;
    } else if (c == u'[' && (next == u'^' || next == u':' || next == u'[')) {
      return true;
    } else if (c == u'(' && next == u'?') {
      // Inline flags run up to ":" or ")"; "s" among them lets "." take line breaks.
      const std::size_t end = pattern.find_first_of(u":)", i);
      if (pattern.find(u's', i) < end) return true;
    } else if (c == u'\r' || c == u'\n') {
      return true;
    }
  }
  return false;
}

// Units of the engine's backtracking (roughly milliseconds) that one line,
// or the whole text, may take.
constexpr int kSearchTimeLimit = 3000;

}  // namespace

TTextSearch::TTextSearch(const TSearchOptions& options)
    : FRegularExpression(options.RegularExpression),
      FIgnoreWidth(options.IgnoreWidth),
      FSpansLines(options.RegularExpression ? MaySpanLines(options.Pattern)
                                            : options.Pattern.find_first_of(u"\r\n") != std::u16string::npos) {
  FRegExp.SetTimeLimit(kSearchTimeLimit);
  // Lowering every byte, trail bytes too, can only let more lines through
  // the look, never fewer. Letters whose case the engine folds beyond ASCII
  // (full-width, Greek, Cyrillic) have no byte form for both cases.
  const bool foldsOnlyAscii = std::all_of(options.Pattern.begin(), options.Pattern.end(), [](char16_t c) {
    return c < 0x80 || (c >= 0x3000 && !(c >= 0xFF21 && c <= 0xFF5A));
  });
  std::size_t lossy = 0;
  const std::string bytes = UnicodeToAnsi(options.Pattern, &lossy);
  if (!FRegularExpression && !FIgnoreWidth && lossy == 0 && (options.MatchCase || foldsOnlyAscii))
    FBytePattern = TBytePattern(bytes);
  if (FRegularExpression)
    FRegExp.SetPattern(FIgnoreWidth ? FoldPattern(options.Pattern) : options.Pattern);
  else
    FRegExp.SetPattern(QuotePattern(FIgnoreWidth ? FoldWidth(options.Pattern) : options.Pattern));
  FRegExp.SetIgnoreCase(!options.MatchCase);
  FRegExp.SetGlobal(true);
  FRegExp.SetEditorLines(true);
}

TTextSearch::TDecoded TTextSearch::Decode(std::string_view text) const {
  // Every character of the text becomes exactly one code point, so the two
  // can be walked side by side.
  TDecoded decoded;
  decoded.Units = AnsiToUnicodeLossless(text);
  decoded.ByteAt.reserve(decoded.Units.size() + 1);
  std::size_t byte = 0;
  for (std::size_t unit = 0; unit < decoded.Units.size(); ++unit) {
    decoded.ByteAt.push_back(byte);
    if (IsHighSurrogate(decoded.Units[unit]) && unit + 1 < decoded.Units.size()) {
      decoded.ByteAt.push_back(byte);
      ++unit;
    }
    const bool pair = IsDBCSLeadByte(static_cast<unsigned char>(text[byte])) && byte + 1 < text.size();
    byte += pair ? 2 : 1;
  }
  decoded.ByteAt.push_back(text.size());
  if (!FIgnoreWidth) return decoded;
  decoded.Unfolded = std::move(decoded.Units);
  decoded.Units = FoldWidth(decoded.Unfolded, &decoded.UnfoldedIndex);
  decoded.UnfoldedIndex.push_back(decoded.Unfolded.size());
  std::vector<std::size_t> byteAt;
  byteAt.reserve(decoded.UnfoldedIndex.size());
  for (const std::size_t unit : decoded.UnfoldedIndex) byteAt.push_back(decoded.ByteAt[unit]);
  decoded.ByteAt = std::move(byteAt);
  return decoded;
}

std::u16string TTextSearch::LiteralReplacement(const std::u16string& replacement) const {
  if (FRegularExpression) return replacement;
  std::u16string literal;
  for (const char16_t c : replacement) {
    literal += c;
    if (c == u'$') literal += u'$';
  }
  return literal;
}

std::string TTextSearch::Bytes(const std::u16string& replacement) { return UnicodeToAnsiLossless(replacement); }

std::vector<TRegExpMatch> TTextSearch::Matches(std::string_view text, const std::u16string* replacement) {
  const TDecoded decoded = Decode(text);
  const std::u16string expansion = replacement ? LiteralReplacement(*replacement) : std::u16string();
  TRegExpSpanText unfolded;
  if (FIgnoreWidth) {
    unfolded = [&decoded](std::size_t start, std::size_t end) {
      const std::size_t from = decoded.UnfoldedIndex[start];
      return decoded.Unfolded.substr(from, decoded.UnfoldedIndex[end] - from);
    };
  }
  std::vector<TRegExpMatch> matches = FRegExp.Matches(decoded.Units, replacement ? &expansion : nullptr, unfolded);
  for (TRegExpMatch& match : matches) {
    match.Start = decoded.ByteAt[match.Start];
    match.End = decoded.ByteAt[match.End];
  }
  // A CR LF is one line break: nothing is found, or put, between its two bytes.
  std::erase_if(matches, [&text](const TRegExpMatch& m) {
    return m.Start == m.End && m.Start > 0 && m.Start < text.size() && text[m.Start - 1] == '\r' &&
           text[m.Start] == '\n';
  });
  return matches;
}

std::optional<TFoundMatch> TTextSearch::FindNext(const std::string& text, std::size_t selStart, std::size_t selEnd,
                                                 bool forward) {
  const std::vector<TRegExpMatch> matches = Matches(text);
  auto isSelection = [&](const TRegExpMatch& m) { return m.Start == selStart && m.End == selEnd; };
  const TRegExpMatch* pick = nullptr;
  for (const TRegExpMatch& m : matches) {
    if (isSelection(m)) continue;
    if (forward && m.Start >= selEnd) {
      pick = &m;
      break;
    }
    if (!forward && (m.Start < selStart || (m.Start == selStart && m.End == selStart))) pick = &m;
  }
  if (pick) return TFoundMatch{{pick->Start, pick->End}, false};
  if (matches.empty()) return std::nullopt;
  const TRegExpMatch& other = forward ? matches.front() : matches.back();
  return TFoundMatch{{other.Start, other.End}, true};
}

std::optional<std::string> TTextSearch::ReplacementFor(const std::string& text, const TTextMatch& match,
                                                       const std::u16string& replacement) {
  for (const TRegExpMatch& m : Matches(text, &replacement)) {
    if (m.Start == match.Start && m.End == match.End) return UnicodeToAnsiLossless(m.Replacement);
    if (m.Start > match.Start) break;
  }
  return std::nullopt;
}

std::string TTextSearch::ReplaceAll(const std::string& text, const std::u16string& replacement, std::size_t& count) {
  const std::vector<TRegExpMatch> matches = Matches(text, &replacement);
  std::string out;
  out.reserve(text.size());
  std::size_t last = 0;
  for (const TRegExpMatch& m : matches) {
    out.append(text, last, m.Start - last);
    out += UnicodeToAnsiLossless(m.Replacement);
    last = m.End;
  }
  out.append(text, last);
  count = matches.size();
  return out;
}
