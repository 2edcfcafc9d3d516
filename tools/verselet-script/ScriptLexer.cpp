// The script's lexical layer: tokenizing, string escapes with code page 932 encoding, numbers.
#include "tools/verselet-script/ScriptLexer.h"

#include <charconv>

#include "platform/CodePage.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the escape that starts at body[i] (the backslash) and returns its
// byte; i is left on the escape's last character.
char ReadEscape(std::string_view body, std::size_t& i) {
  if (i + 1 >= body.size()) throw TScriptError("string ends in a lone backslash");
  const char c = body[++i];
  switch (c) {
    case 'r':
      return '\r';
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case '\\':
    case '"':
      return c;
    case 'x': {
      const int hi = i + 1 < body.size() ? HexDigit(body[i + 1]) : -1;
      const int lo = i + 2 < body.size() ? HexDigit(body[i + 2]) : -1;
      if (hi < 0 || lo < 0) throw TScriptError("\\x needs two hexadecimal digits");
      i += 2;
      return static_cast<char>(hi * 16 + lo);
    }
    default:
      throw TScriptError(std::string("unknown escape \\") + c);
  }
}

std::string EncodeRun(std::string_view utf8, TTextEncoding encoding) {
  if (FindInvalidUtf8(utf8) != std::string_view::npos) throw TScriptError("string is not valid UTF-8");
  if (encoding == TTextEncoding::Utf8) return std::string(utf8);
  std::size_t replaced = 0;
  std::string ansi = UnicodeToAnsi(Utf8ToUnicode(utf8), &replaced);
  if (replaced != 0) throw TScriptError("string holds a character that code page 932 cannot hold");
  return ansi;
}

}  // namespace

std::vector<TToken> Tokenize(std::string_view line) {
  std::vector<TToken> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
    } else if (line[i] == '#') {
      break;
    } else if (line[i] == '"') {
      std::size_t j = i + 1;
      for (; j < line.size() && line[j] != '"'; ++j) {
        if (line[j] == '\\') ReadEscape(line, j);
      }
      if (j >= line.size()) throw TScriptError("string is not closed");
      tokens.push_back({TTokenKind::String, std::string(line.substr(i + 1, j - i - 1))});
      i = j + 1;
    } else {
      std::size_t j = i;
      while (j < line.size() && !IsBlank(line[j]) && line[j] != '"' && line[j] != '#') ++j;
      tokens.push_back({TTokenKind::Word, std::string(line.substr(i, j - i))});
      i = j;
    }
  }
  return tokens;
}

std::string DecodeString(std::string_view body, TTextEncoding encoding) {
  std::string bytes;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\') continue;
    bytes += EncodeRun(body.substr(runStart, i - runStart), encoding);
    bytes += ReadEscape(body, i);
    runStart = i + 1;
  }
  bytes += EncodeRun(body.substr(runStart), encoding);
  return bytes;
}

std::optional<std::int64_t> ParseNumber(std::string_view word) {
  const std::size_t colon = word.find(':');
  if (colon != std::string_view::npos) {
    const auto line = ParseNumber(word.substr(0, colon));
    const auto col = ParseNumber(word.substr(colon + 1));
    if (!line || !col || *line < 0 || *line > 0xFFFF || *col < 0 || *col > 0xFFFF) return std::nullopt;
    return (*line << 16) | *col;
  }
  const bool negative = !word.empty() && word.front() == '-';
  if (negative) word.remove_prefix(1);
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word.remove_prefix(2);
  }
  std::uint64_t value = 0;
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value, base);
  if (word.empty() || ec != std::errc() || ptr != end || value > 0xFFFFFFFFull) return std::nullopt;
  const auto signedValue = static_cast<std::int64_t>(value);
  return negative ? -signedValue : signedValue;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
