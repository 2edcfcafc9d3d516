// Timed lines read from and written as SRT subtitles.
#pragma once

#include <string>
#include <string_view>

#include "app/core/TimedLyrics.h"

// Each cue becomes one timed line per text line, all shown from the cue's
// start to its end. Formatting tags ("<i>", "<font ...>", "{\an8}") and
// positions after the times are left out and counted in report. Raises
// EFormatError, naming the line, at a cue without a well-formed
// "HH:MM:SS,mmm --> HH:MM:SS,mmm" line or with an end before its start.
TTimedLyrics ReadSrt(std::string_view text, TFormatReport& report);

// Lines that start and end together make one cue; a line without an end is
// shown until the next line starts, the last one for lastLineMillis. Word
// times have no place in SRT and are counted in report.
std::string WriteSrt(const TTimedLyrics& lyrics, TFormatReport& report,
                     long long lastLineMillis = kDefaultLastLineMillis);
