// The lyrics format conversions on any input: malformed input is refused by name, and the subtitles a writer writes its reader reads.
#include "app/core/FormatConversion.h"
#include "tests/fuzz/FuzzChecks.h"

std::string CheckFormats(std::string_view input) {
  if (input.empty()) return {};
  const TLyricsFormat from = kLyricsFormats[static_cast<unsigned char>(input.front()) % 4];
  const std::string_view text = input.substr(1);
  for (const TLyricsFormat to : kLyricsFormats) {
    std::string written;
    try {
      written = ConvertLyricsFormat(text, from, to).Text;
    } catch (const EFormatError&) {
      return {};  // refused, naming its line
    } catch (const std::exception& e) {
      return std::string(LyricsFormatName(from)) + " to " + LyricsFormatName(to) + " raised: " + e.what();
    }
    try {
      ConvertLyricsFormat(written, to, to);
    } catch (const EFormatError&) {
      // Lyrics text may itself hold "[1:2]", which a line-tagged text cannot tell from a broken tag.
      if (!WrittenInUtf8(to)) continue;
      return std::string("what ") + LyricsFormatName(to) + " wrote from " + LyricsFormatName(from) +
             " was refused when read again: " + PrintableBytes(written);
    } catch (const std::exception& e) {
      return std::string("what ") + LyricsFormatName(to) + " wrote from " + LyricsFormatName(from) +
             " could not be read again: " + e.what() + " in " + PrintableBytes(written);
    }
  }
  return {};
}
