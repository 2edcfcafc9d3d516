// The help of verselet-tool, laid out for an 80-column terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The columns text takes on a terminal: two for a Japanese (full-width)
// character, one for ASCII.
std::size_t TerminalColumns(std::string_view text);

// text broken into lines of at most width columns, the first starting at
// column at, the others indented by indent spaces; Japanese text breaks
// between characters (never before "、" or "。"), ASCII text at spaces.
std::string WrapToColumns(std::string_view text, std::size_t at, std::size_t indent, std::size_t width = 80);

std::string HelpText();
