// The characters that code page 932 holds under a look-alike code point, and how a fold is told to the user.
#pragma once

#include <cstddef>
#include <span>
#include <string>

// One character that code page 932 has no code for, written as the
// look-alike character that it does hold: the places where the JIS
// mapping and the Windows mapping of the same Shift-JIS code differ.
// Input methods and web pages produce From every day (U+301C WAVE DASH
// where Windows has U+FF5E FULLWIDTH TILDE); every way text comes into a
// Shift-JIS text folds them through this one table.
struct TLookAlikeFold {
  char16_t From;
  char16_t To;
};

std::span<const TLookAlikeFold> LookAlikeFolds();

// "3 文字を Shift-JIS にある同じ形の文字に置き換えました" for count folded characters.
std::string DescribeFolded(std::size_t count);
