// TTextFileReader: a text file read block by block as the editor holds it, with CR LF breaks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxEditSub.h"

// The line-break style comes from the first 1024 bytes, as when the editor
// loads the file: with LF breaks every LF becomes CR LF, with CR breaks
// every CR does, and anything else stays as it is. The concatenated blocks
// are the editor's whole text of the file. A file holding a NUL byte is
// refused as binary, whenever the NUL comes.
class TTextFileReader {
 public:
  explicit TTextFileReader(const std::filesystem::path& name);

  // The next block of the text; empty at the end. The view lasts until the
  // next call.
  std::string_view Next();

 private:
  TLineBreakStyle FStyle;
  TReadOnlyFile FFile;
  std::vector<char> FRaw;
  std::string FText;
};
