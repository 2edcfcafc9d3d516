// TSaveEncoding: the encodings a lyrics file is written in, and the filter that writes each.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "app/core/BlockFilter.h"
#include "app/core/FileEncoding.h"

// The text stays code page 932 inside; only writing it converts.
enum class TSaveEncoding { ShiftJis, Utf8, Utf8WithBom };
// In the order the lists show them; the value of each is its index.
inline constexpr TSaveEncoding kSaveEncodings[] = {TSaveEncoding::ShiftJis, TSaveEncoding::Utf8,
                                                    TSaveEncoding::Utf8WithBom};

// "Shift-JIS", "UTF-8", "UTF-8 (BOM 付き)": what the user sees.
const char* SaveEncodingName(TSaveEncoding encoding);
// "sjis", "utf8", "utf8-bom" on the command line.
std::optional<TSaveEncoding> SaveEncodingNamed(std::string_view name);
// The encoding a file is written in that came in as encoding with these
// bytes at its start: a UTF-8 file keeps its byte-order mark or its lack of one,
// a UTF-16 one becomes UTF-8 with a mark.
TSaveEncoding SaveEncodingOf(TFileEncoding encoding, std::string_view start);
// Code page 932 to the encoding, or nullptr for ShiftJis, which is written
// as it is. Raises ETextEncodingError at a byte code page 932 does not define.
std::unique_ptr<TBlockFilter> MakeSaveEncoder(TSaveEncoding encoding);
