// DetectFileEncoding: telling a UTF-8 or UTF-16 file from the Shift-JIS ones the editor works on.
#pragma once

#include <string>
#include <string_view>

enum class TFileEncoding { ShiftJis, Utf8, Utf16LE, Utf16BE };

// UTF-16 needs its byte-order mark. UTF-8 is a byte-order mark, or text that
// is well-formed UTF-8 and holds at least one character of three or more
// bytes (every Japanese character is one): a Shift-JIS text that happens to
// be well-formed UTF-8 with two-byte sequences only (half-width kana pairs
// such as "ﾃｩ") stays Shift-JIS, and so does plain ASCII.
TFileEncoding DetectFileEncoding(std::string_view bytes);

// The encoding that a byte-order mark at the start of bytes names, or
// ShiftJis when there is none.
TFileEncoding MarkedEncoding(std::string_view bytes);

// The name the user sees ("UTF-8", "UTF-16").
const char* FileEncodingName(TFileEncoding encoding);

// The text of a file in a Unicode encoding as UTF-8, the byte-order mark
// dropped, every line break (CR LF, LF, CR) made CR LF. A UTF-16 file of odd
// length loses nothing silently: its last byte becomes U+FFFD.
std::string DecodeToUtf8(std::string_view bytes, TFileEncoding encoding);
