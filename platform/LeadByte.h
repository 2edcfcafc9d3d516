// The lead-byte test of code page 932, the ANSI code page all document text is in.
#pragma once

// A lead byte starts a double-byte character and takes the next byte with it.
inline constexpr bool IsDBCSLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
