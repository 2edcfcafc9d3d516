// TArgs: the arguments of one command, read by kind; a mismatch is a TScriptError.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tools/verselet-script/ScriptLexer.h"

class TArgs {
 public:
  explicit TArgs(std::span<const TToken> tokens) : FTokens(tokens) {}

  std::size_t Count() const { return FTokens.size(); }
  bool Has(std::size_t i) const { return i < FTokens.size(); }
  bool IsString(std::size_t i) const;
  // Throws unless min <= Count() <= max; usage is shown in the message.
  void ExpectCount(std::size_t min, std::size_t max, std::string_view usage) const;

  const std::string& Word(std::size_t i) const;
  // A number word or a named constant (see Constants.h).
  std::int64_t Number(std::size_t i) const;
  int Int(std::size_t i, int min, int max) const;
  bool Flag(std::size_t i) const;
  std::string Text(std::size_t i, TTextEncoding encoding = TTextEncoding::Ansi) const;
  // The arguments from i on.
  TArgs From(std::size_t i) const;

 private:
  const TToken& At(std::size_t i) const;

  std::span<const TToken> FTokens;
};
