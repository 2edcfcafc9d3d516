// The arithmetic of timing a lyrics text to a song: stamp times, the tag form a file uses, tag edits of one line, the next line to stamp.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/AudioPlayer.h"

// Where a stamp lands: the position heard at the key (the player's position
// less its output latency) less the user's reaction delay, held to the song.
struct TStampTime {
  TMillis Time{0};
  bool ClampedAtStart = false;
  bool ClampedAtEnd = false;
};

// streamPosition and latency as the player reported them at the key event;
// length is the song's, when known.
TStampTime StampTime(TMillis streamPosition, TMillis latency, TMillis reactionDelay, std::optional<TMillis> length);
// A time moved by delta, held to 0 and length the same way.
TStampTime MovedTime(TMillis time, TMillis delta, std::optional<TMillis> length);

// How a file writes its line tags: "[mm:ss.xx]", "[mm:ss:xx]" or "[mm:ss.xxx]".
struct TTagForm {
  char Separator = '.';
  std::size_t FractionDigits = 2;
  bool operator==(const TTagForm&) const = default;
};

// The form of the first well-formed line tag of line, if it has one.
std::optional<TTagForm> LineTagForm(std::string_view line);
// "[mm:ss.xx]" and its kin for a time; hundredths round to the nearest.
std::string FormatLineTag(TMillis time, TTagForm form);

// A change of one line's bytes: Length bytes from Start become Text.
struct TLineEdit {
  std::size_t Start = 0;
  std::size_t Length = 0;
  std::string Text;
};

// The line's first line tag set to time, in the tag's own form; on a line
// without one, a tag of fileForm inserted at its start.
TLineEdit StampEdit(std::string_view line, TMillis time, TTagForm fileForm);
// The time of the line's first line tag.
std::optional<TMillis> LineTagTime(std::string_view line);
// The line's first line tag taken out; nothing when it has none.
std::optional<TLineEdit> RemoveTagEdit(std::string_view line);

// Whether a stamp moves on past this line: ID tag lines ("[ti:...]") are
// not shown by the player and are never timed.
bool IsStampableLine(std::string_view line);

// What Ctrl+R plays: the line's time to the next line's (or the song's end).
struct TReplayRange {
  TMillis From{0};
  std::optional<TMillis> To;
};
// The next line's time ends the range only when it lies after the line's own.
TReplayRange LineReplayRange(TMillis lineTime, std::optional<TMillis> nextLineTime);
// What the status bar says of a replay: "00:12.30 から 00:16.10 まで再生します".
std::string DescribeReplay(const TReplayRange& range);
// After a nudge the song plays again from one second before the tag.
inline constexpr TMillis kNudgeReplayLead{1000};
TMillis NudgeReplayStart(TMillis tagTime);
