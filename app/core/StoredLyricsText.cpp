// Converting between the lyrics stored in audio files and the editor's text.
#include "app/core/StoredLyricsText.h"

#include <algorithm>

#include "app/core/LrcFormat.h"

namespace {

bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// Every line break (CR LF, LF, CR) made sep.
std::string WithBreaks(std::string_view text, std::string_view sep) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsBreak(text[i])) {
      out += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += sep;
  }
  return out;
}

}  // namespace

std::string SyncedTextAsLrc(const std::vector<TSyncedText>& parts) {
  const bool linePerPart = std::none_of(parts.begin(), parts.end(), [](const TSyncedText& part) {
    return part.Text.find_first_of("\r\n") != std::string::npos;
  });
  std::string out;
  bool opensLine = true;
  for (const TSyncedText& part : parts) {
    std::string_view text = part.Text;
    const std::size_t first = text.find_first_not_of("\r\n");
    if (first != 0) opensLine = true;
    text.remove_prefix(std::min(first, text.size()));
    const std::size_t last = text.find_last_not_of("\r\n");
    const bool closesLine = linePerPart || last + 1 != text.size();
    text = text.substr(0, last == std::string_view::npos ? 0 : last + 1);
    if (opensLine && !out.empty() && !out.ends_with("\r\n")) out += "\r\n";
    AppendFormTag(out, TTagForm::Lrc, !opensLine, part.Millis);
    out += WithBreaks(text, " ");
    if (closesLine) out += "\r\n";
    opensLine = closesLine;
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  return out;
}

std::string StoredLyricsText(const TStoredLyrics& lyrics) {
  if (lyrics.Frame == TLyricsFrame::Sylt) return SyncedTextAsLrc(lyrics.Synced);
  std::string text = WithBreaks(lyrics.Text, "\r\n");
  if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
  return text;
}

std::string LyricsTextToStore(std::string_view utf8) {
  std::string text = WithBreaks(utf8, "\n");
  while (text.ends_with('\n')) text.pop_back();
  return text;
}
