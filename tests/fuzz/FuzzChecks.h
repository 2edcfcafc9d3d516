// The checks shared by the fuzz targets and the corpus replay: each runs one input and says what went wrong.
#pragma once

#include <string>
#include <string_view>

class TRyxEdit;
class TRyxStrings;

// Each returns an empty string when the input passes, else a description of
// the first fault found; neither raises.

// The line store's loaders on the input: SetText against the split rule,
// LoadFromFile of the input as a file against the line-break conversion
// the sniffed style calls for, and SaveToFile giving back GetText.
std::string CheckLoaders(std::string_view input);

// An editing session that the input drives through the headless host; see
// EditingSession.cpp for how the bytes are read.
std::string CheckEditingSession(std::string_view input);

// Text dragged and dropped in a headless control, unwrapped and wrapped, with
// the text after every drop, undo and redo checked against a plain model; see
// DragSession.cpp for how the bytes are read.
std::string CheckDragSession(std::string_view input);

// A pattern searched in a text within the search's time limit: the input's
// first byte holds the options (regular expression, case, width), then the
// pattern in Shift-JIS up to a NUL, then the text. Matches lie on character
// boundaries, and a pattern that keeps to lines finds, counts and replaces
// by lines what it does in the whole text.
std::string CheckSearch(std::string_view input);

// Lyrics in a format the input's first byte chooses (SRT, ASS, .lrc, .kra),
// converted to every format: malformed input is refused with EFormatError
// only, an SRT or ASS result reads again in its own format, and no result
// raises anything else when read again.
std::string CheckFormats(std::string_view input);

// The stored line form: at least one line; the last ends in the end-of-text
// marker and no other line does; every other line ends in CR LF, or carries
// no terminator while softWrap allows soft-wrapped pieces; and no NUL byte
// stands anywhere but in the marker.
std::string CheckLineForm(const TRyxStrings& lines, bool softWrap);

// The caret on a line of the store, at a character's first byte or the end of the line's content.
std::string CheckCaretPlace(const TRyxEdit& edit);

// The first 80 bytes, printable ASCII as it is and every other byte as \xNN.
std::string PrintableBytes(std::string_view bytes);
