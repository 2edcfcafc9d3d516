// Writing word tags: the form a file gives them and the one-line edits that stamp, end, remove and join units.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "app/core/SyncStamp.h"
#include "app/core/TimeTags.h"
#include "app/core/WordUnits.h"

// How a file writes the tags of its units: an .lrc file "<mm:ss.xx>" before
// each unit, with the line tag before the first; a .kra file inline
// "[mm:ss:xx]" before each unit, the line tag timing the first.
struct TWordFormat {
  bool Inline = false;
  TTagForm LineForm;  // for a line tag where a line has none
  TTimeTag WordForm;  // for a word tag where a unit has none
};

// The form the word tags of a file take: that of the first word tag in
// sampleLine (the first line with a time tag), else that of its name's
// extension; new line tags take the form of sampleLine's line tag, if any.
TWordFormat WordFormatOf(std::string_view fileName, std::string_view sampleLine);

// Unit index of line timed at time: its tag set in its own form, or a new
// one written before it. The first unit sets the line tag too.
TLineEdit UnitStampEdit(std::string_view line, const TLineUnits& units, std::size_t index, TMillis time,
                        const TWordFormat& format);
// The end of the last unit timed at time: the end tag set, or written after the line's text. None without units.
std::optional<TLineEdit> UnitEndEdit(std::string_view line, const TLineUnits& units, TMillis time,
                                     const TWordFormat& format);
// The unit's time taken out: its word tag, for the first unit without one the line tag.
std::optional<TLineEdit> UnitRemoveEdit(const TLineUnits& units, std::size_t index);
// Units index and index + 1 made one: the second one's word tag taken out, if it has one.
std::optional<TLineEdit> UnitJoinEdit(const TLineUnits& units, std::size_t index);
