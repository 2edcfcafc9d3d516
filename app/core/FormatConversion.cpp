// Choosing the reader and writer of a lyrics format conversion.
#include "app/core/FormatConversion.h"

#include "app/core/KaraokeTagForms.h"
#include "app/core/LrcFormat.h"
#include "app/core/SrtFormat.h"

namespace {

bool IsTagForm(TLyricsFormat format) { return format == TLyricsFormat::Lrc || format == TLyricsFormat::Kra; }

TTagForm TagFormOf(TLyricsFormat format) { return format == TLyricsFormat::Kra ? TTagForm::Kra : TTagForm::Lrc; }

TTimedLyrics Read(std::string_view text, TLyricsFormat from, TFormatReport& report) {
  switch (from) {
    case TLyricsFormat::Srt:
      return ReadSrt(text, report);
    case TLyricsFormat::Ass:
      return ReadAss(text, report);
    case TLyricsFormat::Lrc:
    case TLyricsFormat::Kra:
      break;
  }
  return ReadTimedLrc(text, report);
}

std::string Write(const TTimedLyrics& lyrics, TLyricsFormat to, const TConversionOptions& options,
                  TFormatReport& report) {
  switch (to) {
    case TLyricsFormat::Srt:
      return WriteSrt(lyrics, report, options.LastLineMillis);
    case TLyricsFormat::Ass:
      return WriteAss(lyrics, options.Fill, report, options.LastLineMillis);
    case TLyricsFormat::Lrc:
    case TLyricsFormat::Kra:
      break;
  }
  return WriteTimedLrc(lyrics, TagFormOf(to), report, options.LastLineMillis);
}

}  // namespace

const char* LyricsFormatName(TLyricsFormat format) {
  switch (format) {
    case TLyricsFormat::Srt:
      return "srt";
    case TLyricsFormat::Ass:
      return "ass";
    case TLyricsFormat::Lrc:
      return "lrc";
    case TLyricsFormat::Kra:
      break;
  }
  return "kra";
}

std::optional<TLyricsFormat> LyricsFormatNamed(std::string_view name) {
  for (const TLyricsFormat format : kLyricsFormats)
    if (name == LyricsFormatName(format)) return format;
  return std::nullopt;
}

const char* LyricsFormatCaption(TLyricsFormat format) {
  switch (format) {
    case TLyricsFormat::Srt:
      return "SRT 字幕 (.srt)";
    case TLyricsFormat::Ass:
      return "ASS カラオケ字幕 (.ass)";
    case TLyricsFormat::Lrc:
      return "拡張 LRC (.lrc)";
    case TLyricsFormat::Kra:
      break;
  }
  return "KRA カラオケ (.kra)";
}

bool WrittenInUtf8(TLyricsFormat format) { return !IsTagForm(format); }

TConversion ConvertLyricsFormat(std::string_view text, TLyricsFormat from, TLyricsFormat to,
                                const TConversionOptions& options) {
  TConversion conversion;
  if (IsTagForm(from) && IsTagForm(to)) {
    conversion.Text = RewriteTagForm(text, TagFormOf(to), conversion.Report);
    return conversion;
  }
  const TTimedLyrics lyrics = Read(text, from, conversion.Report);
  conversion.Text = Write(lyrics, to, options, conversion.Report);
  return conversion;
}
