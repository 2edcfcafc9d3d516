// Timed lines read from and written as line-tagged lyrics: .lrc with "<...>" word tags, or .kra with inline "[...]" tags.
#pragma once

#include <string>
#include <string_view>

#include "app/core/TimedLyrics.h"

enum class TTagForm {
  Lrc,  // "[mm:ss.xx]" line tags, "<mm:ss.xx>" word tags
  Kra,  // "[mm:ss:xx]" line tags and word tags
};

// Reads both forms. A line holding only line tags ends the line shown
// before it; a line with several line tags is shown at each of them. ID tag
// lines and lines without a line tag have no place among timed lines and
// are counted in report. Raises EFormatError at a malformed time tag.
TTimedLyrics ReadTimedLrc(std::string_view text, TFormatReport& report);

// One line per timed line, CR LF after each. A line's end is written as a
// line of its own when it differs from the next line's start (for the last
// line: from lastLineMillis after its start). Word-timed lines of the .lrc
// form open with a word tag at the line's start, as enhanced LRC has it.
std::string WriteTimedLrc(const TTimedLyrics& lyrics, TTagForm form, TFormatReport& report,
                          long long lastLineMillis = kDefaultLastLineMillis);

// A time tag of that form: hundredths when millis holds no finer part, else milliseconds.
void AppendFormTag(std::string& out, TTagForm form, bool word, long long millis);
