// The main window's naming rules: window title, Save As extension, file dialog filters.
#pragma once

#include <string>
#include <vector>

inline constexpr char ApplicationTitle[] = "Verselet 0.3";
// What the title and the questions call a text that has no file yet.
inline constexpr char UntitledName[] = "新しいテキスト";

// File dialog filters as the menu commands give them: "description|pattern"
// pairs joined by "|"; a pattern lists wildcards separated by ";".
inline constexpr char OpenFilter[] =
    "歌詞ファイル(*.txt;*.lrc;*.kra)|*.txt;*.lrc;*.kra|すべてのファイル(*.*)|*.*";
inline constexpr char SaveFilter[] =
    "歌詞ファイル(*.txt)|*.txt|歌詞ファイル(*.lrc)|*.lrc|歌詞ファイル(*.kra)|*.kra|"
    "すべてのファイル(*.*)|*.*";

// The name without its folder: the text after the last "/", the only
// separator of this platform's paths ("10:30 live.lrc" is a whole name).
std::string ExtractFileName(const std::string& fileName);

// "新しいテキスト - Verselet 0.3" for a new text, "name - Verselet 0.3" for a file; while the
// text has changes that are not saved, "*" goes in front.
std::string WindowTitle(const std::string& currentFileName, bool modified = false);

// The 1-based SaveFilter entry whose extension the name has (".txt" 1,
// ".lrc" 2, ".kra" 3, in any case); 0 for any other name.
int FilterIndexForFileName(const std::string& fileName);

// Drops everything from the last "." that follows the last "/", "\" or ":"
// and appends ext; a name without such a "." just gets ext appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

// The Save As target for the 1-based index of the chosen SaveFilter entry:
// 1 ".txt", 2 ".lrc", 3 ".kra", 4 (all files) ".txt". The extension the user
// typed never survives. Any other index is taken as "all files".
std::string ChangeFileExtForFilter(const std::string& fileName, int filterIndex);

// A filter as name filters in the "description (pattern pattern)" form that
// file dialogs parse, one per pair, in the same order. Patterns are split at
// ";" and "*.*" becomes "*", which matches names without a dot too, as the
// "all files" entry means. A description that ends with its pattern in
// parentheses keeps its look with the converted pattern in its place.
std::vector<std::string> NameFiltersFromFilter(const std::string& filter);
