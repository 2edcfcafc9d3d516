// The integer text rule shared by the settings file and the colour entries.
#pragma once

#include <optional>
#include <string_view>

// The 32-bit value that text spells: optional leading spaces, an optional
// sign, then decimal digits, or hexadecimal digits after "$", "x" or "0x"
// (x in either case). Nothing may follow the digits, and a value outside the
// 32-bit range is no value at all rather than a wrapped one.
std::optional<int> ParseInteger(std::string_view text);
