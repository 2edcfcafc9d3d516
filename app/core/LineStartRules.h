// The characters that Japanese typesetting keeps off the start of a line, and the player rows that start with one.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "app/core/PlayerLayout.h"

// The first character of text (code page 932) when it is one that is kept
// off a line start: closing brackets and quotes (」』）〉】…), the
// punctuation 、。，．・：；？！ and the ellipses, the long vowel mark ー, the
// iteration marks, the voicing marks and the small kana (ぁ ッ ｧ...),
// full-width or half-width; otherwise empty.
std::string_view KeptOffLineStart(std::string_view text);

// The rows of layout after its first that start with such a character, from 0.
std::vector<std::size_t> RowsStartingKeptOff(const TPlayerLayout& layout);
