// Word tags rewritten between enhanced LRC ("[00:12.30]<00:12.30>歌<00:12.80>詞") and inline .kra ("[00:12:30]歌[00:12:80]詞").
#pragma once

#include <string>
#include <string_view>

#include "app/core/LrcFormat.h"

// Rewrites every well-formed time tag of the line into form, keeping its
// time and fraction digits and every other byte; appends the line to out.
// Lines without tags, ID tag lines and metadata lines pass unchanged.
// Toward .kra a word tag at the line's start that repeats the line's time
// goes (the line tag times that word); one with another time is dropped and
// counted in report, as a "[...]" there would read as a second line tag.
// Toward .lrc a word-timed line gains that word tag, as enhanced LRC has it.
// Raises EFormatError, naming number, at a malformed time tag.
void AppendInTagForm(std::string_view line, std::size_t number, TTagForm form, TFormatReport& report,
                     std::string& out);

// The same over a whole text, lines ending in CR LF.
std::string RewriteTagForm(std::string_view text, TTagForm form, TFormatReport& report);
