// Timed lines read from and written as ASS subtitles with karaoke timing ("{\k25}").
#pragma once

#include <string>
#include <string_view>

#include "app/core/TimedLyrics.h"

// Each "Dialogue:" line of the [Events] section becomes a timed line; its
// "\k", "\K", "\kf" and "\ko" syllables become words. Styles, comments and
// the other override tags have no place in lyrics and are counted in
// report; "\N", "\n" and "\h" become spaces, "\{" and "\}" braces. Raises EFormatError, naming
// the line, at a Dialogue line whose times or fields are malformed.
TTimedLyrics ReadAss(std::string_view text, TFormatReport& report);

enum class TKaraokeFill {
  Instant,  // "\k": each syllable is coloured at once
  Sweep,    // "\kf": the colour sweeps over the syllable
};

// A minimal valid script: [Script Info], one "Default" style and one
// Dialogue line per timed line, braces of the text written "\{" and "\}". Times are written in hundredths; a finer part
// is rounded and counted in report.
std::string WriteAss(const TTimedLyrics& lyrics, TKaraokeFill fill, TFormatReport& report,
                     long long lastLineMillis = kDefaultLastLineMillis);
