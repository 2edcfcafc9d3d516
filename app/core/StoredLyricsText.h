// The text of lyrics stored in an audio file, as the editor opens it and as it is written back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/AudioLyrics.h"

// SYLT parts as LRC text: a part that opens a line (the first, one after a
// line break, or every part when no part holds a line break) gets a line
// tag, the others a word tag. UTF-8, CR LF after each line.
std::string SyncedTextAsLrc(const std::vector<TSyncedText>& parts);

// The stored lyrics as UTF-8 text with CR LF after every line; SYLT as LRC text.
std::string StoredLyricsText(const TStoredLyrics& lyrics);

// The editor's UTF-8 text as stored in an audio file: LF line breaks, as
// ID3 and Vorbis comments have them, no line break after the last line.
std::string LyricsTextToStore(std::string_view utf8);
