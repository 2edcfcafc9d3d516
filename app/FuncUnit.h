// FuncUnit: small text helpers of the application shell.
#pragma once

#include <string>

// The line without the blanks around it: bytes up to 0x20 at both ends, then
// half-width and full-width spaces (0x81 0x40) at both ends. The line is code
// page 932 text, walked character by character so that the trail byte of a
// double-byte character is never taken for part of a full-width space.
std::string TrimFullWidth(const std::string& s);
