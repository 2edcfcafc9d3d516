// The script's lexical layer: tokens of a line, string literals and numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A fault of the script itself; the driver reports it with its line number.
class TScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TTokenKind { Word, String };

// A Word is a run of characters other than blanks and quotes; a String
// keeps the body of a literal between its quotes, escapes not yet applied
// but already checked.
struct TToken {
  TTokenKind Kind = TTokenKind::Word;
  std::string Text;
};

// Splits one line into tokens; "#" outside a literal ends the line.
// Throws TScriptError for an unterminated literal or a bad escape.
std::vector<TToken> Tokenize(std::string_view line);

// How the characters of a literal that are not escapes become bytes: the
// editor's text is code page 932; file and font names stay UTF-8.
enum class TTextEncoding { Ansi, Utf8 };

// Applies the escapes \r \n \t \\ \" and \xNN (one raw byte, whatever the
// encoding) and encodes the rest. Throws TScriptError for ill-formed UTF-8
// and, for Ansi, for a character that code page 932 cannot hold.
std::string DecodeString(std::string_view body, TTextEncoding encoding);

// A number word: decimal or 0x hexadecimal, optionally negative, or
// LINE:COL, which packs a text position the way the edit messages take it
// (column in the low word, line in the high word).
std::optional<std::int64_t> ParseNumber(std::string_view word);

// Case-insensitive comparison of ASCII names.
bool SameName(std::string_view a, std::string_view b);
