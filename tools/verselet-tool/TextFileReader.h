// TTextFileReader: a text file read block by block as the editor holds it, with CR LF breaks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/FileEncoding.h"
#include "editor/RyxEditSub.h"

// The first line break of the file, wherever it lies, decides the style, as
// when the editor loads the file: after an LF every LF becomes CR LF, after
// a lone CR every CR does, and anything else stays as it is (the bytes
// before the first break hold no break, so they stay whatever the style).
// The concatenated blocks are the editor's whole text of the file. A file
// holding a NUL byte is refused as binary, whenever the NUL comes.
//
// A file in UTF-16 (encoding Utf16LE or Utf16BE, with its byte-order mark)
// is decoded to UTF-8 first, and the rules above apply to that text; for any
// other encoding the bytes are taken as they are.
class TTextFileReader {
 public:
  explicit TTextFileReader(const std::filesystem::path& name, TFileEncoding encoding = TFileEncoding::ShiftJis);

  // The next block of the text; empty at the end. The view lasts until the
  // next call.
  std::string_view Next();

 private:
  enum class TStyle { Undecided, AsIs, WidenLf, WidenCr };

  void Decide(std::string_view raw);
  // The next raw block, decoded from UTF-16 when the file is in it.
  std::string_view NextRaw();

  TReadOnlyFile FFile;
  const TFileEncoding FEncoding;
  bool FAtStart = true;
  std::u16string FUnits;  // decoded UTF-16, a high surrogate left from the last block at its front
  std::string FDecoded;
  std::string FOddByte;   // the first byte of a unit that the block cut in two
  TStyle FStyle = TStyle::Undecided;
  std::vector<char> FRaw;
  std::string FText;
};
