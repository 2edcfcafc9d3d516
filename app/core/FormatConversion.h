// Conversions between the lyrics formats: SRT, ASS karaoke, .lrc (enhanced LRC word tags) and .kra (inline tags).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/core/AssFormat.h"
#include "app/core/TimedLyrics.h"

enum class TLyricsFormat { Srt, Ass, Lrc, Kra };
inline constexpr TLyricsFormat kLyricsFormats[] = {TLyricsFormat::Srt, TLyricsFormat::Ass, TLyricsFormat::Lrc,
                                                    TLyricsFormat::Kra};

// "srt", "ass", "lrc", "kra": on the command line and as file extensions.
const char* LyricsFormatName(TLyricsFormat format);
std::optional<TLyricsFormat> LyricsFormatNamed(std::string_view name);
// What the user sees in the menus ("SRT 字幕 (.srt)").
const char* LyricsFormatCaption(TLyricsFormat format);
// SRT and ASS files are written in UTF-8, which every program reading them
// expects; .lrc and .kra in the editor's Shift-JIS.
bool WrittenInUtf8(TLyricsFormat format);

struct TConversionOptions {
  // How long the last line is shown when nothing says when it ends.
  long long LastLineMillis = kDefaultLastLineMillis;
  TKaraokeFill Fill = TKaraokeFill::Instant;
};

struct TConversion {
  std::string Text;  // code page 932, CR LF line breaks
  TFormatReport Report;
};

// Converts code page 932 text. Between .lrc and .kra only the tags change
// and every line stays; the other conversions carry the timed lines, and
// report what they leave behind. Raises EFormatError at malformed input.
TConversion ConvertLyricsFormat(std::string_view text, TLyricsFormat from, TLyricsFormat to,
                                const TConversionOptions& options = {});
