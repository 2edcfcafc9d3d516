// FoldWidth: half-width and full-width forms of the same character made one, for searching.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Full-width ASCII (Ａ, ！) and the ideographic space become ASCII;
// half-width katakana and their punctuation become full-width, a following
// half-width voiced or semi-voiced mark joining its kana (ｶﾞ becomes ガ).
// sourceIndex, when given, receives for each unit of the result the index
// of the source unit it came from.
std::u16string FoldWidth(const std::u16string& text, std::vector<std::size_t>* sourceIndex = nullptr);
