// InputEncodingOf: whether a file handed to a command is Shift-JIS or a Unicode file the editor would ask about.
#pragma once

#include <filesystem>

#include "app/core/FileEncoding.h"

// Reads the whole file in blocks and applies the editor's test for a file
// that is not Shift-JIS: a byte-order mark, or text that is well-formed
// UTF-8 throughout and holds a character of three or more bytes somewhere
// (not only in the first block). Stops at the first byte that cannot be
// UTF-8. Raises EInOutError when the file cannot be read.
TFileEncoding InputEncodingOf(const std::filesystem::path& file);
