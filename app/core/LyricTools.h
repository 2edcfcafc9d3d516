// The lyric clean-up commands as transforms of the editor's whole text.
#pragma once

#include <cstddef>
#include <string>

#include "app/core/EncodingFilters.h"
#include "editor/RyxstringsWriter.h"

// Each command takes the whole text as the editor gives it (code page 932
// bytes, lines joined by CR LF) and returns the text to put back. The tag and
// line commands never alter a byte they do not remove, even in text that is
// not valid code page 932; characters are read as the editor reads them, so a
// "[" that is the trail byte of a double-byte character is never a tag's.
// Each is the whole-text form of a block filter (TimeTagFilter.h,
// UselessLineFilter.h, EncodingFilters.h) that the command-line tool feeds
// block by block.

// "タイムタグをすべて削除": removes every time tag "[mm:ss:cc]" (two digits
// each, the tens of seconds 0 to 5). removed, when given, receives the
// number of tags removed.
std::string DeleteTimeTags(const std::string& text, std::size_t* removed = nullptr);

// "行頭以外のカラオケタグを削除": removes every time tag that has a character
// before it on its line, with any further "]" right after the tag; adjacent
// tags after a character all go in one run, while tags at the start of the
// text or of a line stay. removed, when given, receives the number of tags
// removed.
std::string DeleteKaraokeTags(const std::string& text, std::size_t* removed = nullptr);

// "無駄な行を削除": drops the lines that TrimFullWidth leaves empty (so a tab
// between two full-width spaces keeps its line); the kept lines stay as they
// are and each ends with CR LF, the last one too. CR LF, a lone CR and a lone
// LF each end a line; a NUL byte is ordinary content. removed, when given,
// receives the number of lines dropped.
std::string DeleteUselessLines(const std::string& text, std::size_t* removed = nullptr);

// "UTF8": the text re-encoded from code page 932 to UTF-8. Raises
// ETextEncodingError when the text holds bytes that are not code page 932.
std::string ConvertToUtf8(const std::string& text);

// "Shift-JIS": the text re-encoded from UTF-8 to code page 932; a byte-order
// mark at the start is dropped, and characters without a code page 932 form
// become "?" (their number goes to replaced when it is given). Raises
// ETextEncodingError when the text is not valid UTF-8.
std::string ConvertToShiftJis(const std::string& text, std::size_t* replaced = nullptr);

// Runs filter over the editor's text as its store holds it (the
// end-of-text marker left out) into out, as the commands above run over
// the whole text. Each line's output is written with the line it came
// from, so that the lines a command leaves alone share their bytes.
void FilterText(const TStoredText& text, TBlockFilter& filter, TRyxStringsWriter& out);
