// Conversions between code page 932 (Shift-JIS with the NEC and IBM extensions), UTF-16 and UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Code page 932 text is read character by character: a lead byte (0x81 to
// 0x9F, 0xE0 to 0xFC) always takes the byte after it, whatever that byte is,
// as the editor does everywhere; a lead byte only stands alone at the end.

// Decodes code page 932 text; a character that code page 932 does not
// define becomes one U+FFFD.
std::u16string AnsiToUnicode(std::string_view ansi);

// Encodes to code page 932. A character that code page 932 holds only
// under another code point is folded to it: the look-alikes of
// LookAlikeFolds.h (U+301C to the full-width tilde) and the converter's
// own fallbacks (old forms of a few kanji). A character without any form
// becomes "?". replaced, when given, receives the number of "?"; folded
// the number of folded characters.
std::string UnicodeToAnsi(std::u16string_view text, std::size_t* replaced = nullptr,
                          std::size_t* folded = nullptr);

// The byte offset of the first character that code page 932 does not define,
// or std::string_view::npos when the whole text is valid.
std::size_t FindInvalidAnsi(std::string_view ansi);
bool IsValidAnsi(std::string_view ansi);

// Decodes UTF-8; every ill-formed sequence becomes one U+FFFD.
std::u16string Utf8ToUnicode(std::string_view utf8);
// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string UnicodeToUtf8(std::u16string_view text);

// The byte offset of the first ill-formed UTF-8 sequence (a missing or stray
// continuation byte, a cut-off sequence, an overlong form, a surrogate, a
// value above U+10FFFF), or std::string_view::npos when there is none.
std::size_t FindInvalidUtf8(std::string_view utf8);
bool IsValidUtf8(std::string_view utf8);

// A lossless pair for tools that edit text they may not fully understand.
// Every character that decodes and encodes back to the same bytes becomes
// its Unicode character; any other character (undefined bytes, a lone lead
// byte, and the duplicate codes that code page 932 encodes elsewhere, such
// as NEC 0x8790 for U+2252) becomes one code point U+F0000 + its code (the
// byte, or lead byte * 256 + trail byte). Plane 15 is private use that code
// page 932 never decodes to, so these never collide with real text, and a
// "[" that is a trail byte stays inside its character.
// UnicodeToAnsiLossless(AnsiToUnicodeLossless(s)) == s for every s.
std::u16string AnsiToUnicodeLossless(std::string_view ansi);
std::string UnicodeToAnsiLossless(std::u16string_view text);

// Direct tables for the streaming conversions, built on first use from the
// same converter as everything above, so that they give the same results.
// A code is a single byte, or lead byte * 256 + trail byte.
inline constexpr std::uint16_t kNoAnsiCode = 0xFFFF;
// The code page 932 code of every BMP character (65536 entries), or
// kNoAnsiCode; U+0000 to U+007F are themselves.
const std::uint16_t* AnsiCodesOfBmp();
// Whether the BMP character c is written as a code that decodes to
// another character (UnicodeToAnsi's folded characters).
bool IsFoldedToAnsi(char16_t c);
// The UTF-8 form of every code (65536 entries): the bytes from the lowest
// up and their number in the top byte, or 0 for an undefined code.
const std::uint32_t* Utf8OfAnsiCodes();
