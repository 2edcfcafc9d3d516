// TTextFileReader: a text file read block by block as the editor holds it, with CR LF breaks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxEditSub.h"

// The first line break of the file, wherever it lies, decides the style, as
// when the editor loads the file: after an LF every LF becomes CR LF, after
// a lone CR every CR does, and anything else stays as it is (the bytes
// before the first break hold no break, so they stay whatever the style).
// The concatenated blocks are the editor's whole text of the file. A file
// holding a NUL byte is refused as binary, whenever the NUL comes.
class TTextFileReader {
 public:
  explicit TTextFileReader(const std::filesystem::path& name);

  // The next block of the text; empty at the end. The view lasts until the
  // next call.
  std::string_view Next();

 private:
  enum class TStyle { Undecided, AsIs, WidenLf, WidenCr };

  void Decide(std::string_view raw);

  TReadOnlyFile FFile;
  TStyle FStyle = TStyle::Undecided;
  std::vector<char> FRaw;
  std::string FText;
};
