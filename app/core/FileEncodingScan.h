// ScanFileEncoding: a file's encoding told block by block, reading no further than the answer needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/core/FileEncoding.h"

struct TEncodingScan {
  TFileEncoding Encoding = TFileEncoding::ShiftJis;
  // A NUL character was seen (U+0000 in a UTF-16 file): no text file.
  bool HoldsNul = false;
  // Larger than the limit given: nothing was read.
  bool TooLarge = false;
};

// Applies the editor's test for a file that is not Shift-JIS (a byte-order
// mark, or text that is well-formed UTF-8 throughout and holds a character
// of three or more bytes somewhere, not only in the first block) while
// reading the file in blocks. It stops as soon as the answer is known: at
// the first byte that cannot be UTF-8, and at the first NUL character,
// since a file holding one is refused as binary whatever its encoding. A
// file larger than largest is not read at all. Raises EInOutError when the
// file cannot be read.
TEncodingScan ScanFileEncoding(const std::filesystem::path& file, std::uint64_t largest = UINT64_MAX);

// The line (from 1) of the first bytes of file that are no Shift-JIS
// character: a byte no character starts with (0x80, 0xA0, 0xFD to 0xFF), or
// a lead byte without a trail byte after it. Nothing when the file is
// Shift-JIS throughout. Read block by block; raises EInOutError when the
// file cannot be read.
std::optional<std::uint64_t> FirstNonShiftJisLine(const std::filesystem::path& file);
