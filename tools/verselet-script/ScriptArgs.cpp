// TArgs: reading words, numbers, flags and string literals from a command's tokens.
#include "tools/verselet-script/ScriptArgs.h"

#include <algorithm>

#include "tools/verselet-script/Constants.h"

const TToken& TArgs::At(std::size_t i) const {
  if (i >= FTokens.size()) throw TScriptError("missing argument " + std::to_string(i + 1));
  return FTokens[i];
}

bool TArgs::IsString(std::size_t i) const { return At(i).Kind == TTokenKind::String; }

void TArgs::ExpectCount(std::size_t min, std::size_t max, std::string_view usage) const {
  if (Count() < min || Count() > max)
    throw TScriptError("wrong number of arguments; usage: " + std::string(usage));
}

const std::string& TArgs::Word(std::size_t i) const {
  const TToken& token = At(i);
  if (token.Kind != TTokenKind::Word)
    throw TScriptError("argument " + std::to_string(i + 1) + " must be a word, not a string");
  return token.Text;
}

std::int64_t TArgs::Number(std::size_t i) const {
  const std::string& word = Word(i);
  if (const auto n = ParseNumber(word)) return *n;
  if (const auto c = FindConstant(word)) return *c;
  throw TScriptError("'" + word + "' is not a number");
}

int TArgs::Int(std::size_t i, int min, int max) const {
  const std::int64_t n = Number(i);
  if (n < min || n > max)
    throw TScriptError(std::to_string(n) + " is outside " + std::to_string(min) + " .. " + std::to_string(max));
  return static_cast<int>(n);
}

bool TArgs::Flag(std::size_t i) const {
  const std::string& word = Word(i);
  if (word == "1" || SameName(word, "true") || SameName(word, "on")) return true;
  if (word == "0" || SameName(word, "false") || SameName(word, "off")) return false;
  throw TScriptError("'" + word + "' is not 0 or 1");
}

std::string TArgs::Text(std::size_t i, TTextEncoding encoding) const {
  const TToken& token = At(i);
  if (token.Kind != TTokenKind::String)
    throw TScriptError("argument " + std::to_string(i + 1) + " must be a quoted string");
  return DecodeString(token.Text, encoding);
}

TArgs TArgs::From(std::size_t i) const { return TArgs(FTokens.subspan(std::min(i, FTokens.size()))); }
