// TTagMarker: the line and word tags of lyrics lines as marks on a song's time line, and the edit that moves one.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "app/core/SyncStamp.h"
#include "platform/AudioPlayer.h"

struct TTagMarker {
  int Line = 0;         // logical line, from 0
  std::size_t Tag = 0;  // which of the line's time tags, from 0
  TMillis Time{0};
  bool Word = false;
  friend bool operator==(const TTagMarker&, const TTagMarker&) = default;
};

class TRyxStrings;

// Appends a marker for every well-formed time tag of a logical line's text.
void AppendTagMarkers(int line, std::string_view text, std::vector<TTagMarker>& out);

// The tags read in a view need not walk a line of megabytes on every
// keystroke: only this many bytes from a line's start are read for them.
inline constexpr std::size_t kMarkedBytes = 64 * 1024;
// Appends the markers of the logical lines that take in rows first..last,
// each read up to kMarkedBytes from its start.
void AppendRowMarkers(const TRyxStrings& rows, int first, int last, std::vector<TTagMarker>& out);

// The edit that writes the line's tag `tag` with a new time in its own form
// (brackets, separator, digits), the time held to 0 and to the latest the
// form holds; none when the line holds no such tag.
std::optional<TLineEdit> MovedTagEdit(std::string_view text, std::size_t tag, TMillis time);
