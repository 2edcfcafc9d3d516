// TRyxStringsWriter: fills a store with a text written block by block, sharing the bytes of the text it was made from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/RyxEditPos.h"

#include "editor/Ryxstrings.h"

// The text written ends at its first NUL byte and gets the end-of-text
// marker at Finish, as the editor takes a whole text; the store gets the
// lines that SetText gives that text. A line that equals the start or the
// end of the source line it was written from shares that line's bytes
// instead of holding a copy, so that a transform leaving most lines as they
// were, or cutting only their start (a tag there) or end, adds little more
// than the index of the lines.
class TRyxStringsWriter {
 public:
  // target is emptied; source (the text the new one is made from) outlives the writer.
  TRyxStringsWriter(TRyxStrings& target, const TStoredText& source);
  TRyxStringsWriter(const TRyxStringsWriter&) = delete;
  TRyxStringsWriter& operator=(const TRyxStringsWriter&) = delete;

  // Writes bytes made from from, a line of the source as its ForEachLine
  // gives it (or nothing).
  void Write(std::string_view bytes, std::string_view from = {});
  // Ends the text. The store's capacity is its count, as after SetText.
  void Finish();
  // Bytes of the source to follow into the text written (a null one is not
  // followed): each lands in the line written from the source line that
  // holds it, as far into it as it lay in the source line and the written
  // bytes reach. Followed(i, otherwise) gives where the i-th one landed, as
  // a line and column of the text written, or otherwise when no write came from it.
  void Follow(std::vector<const char*> bytes);
  TLogicalPos Followed(std::size_t i, TLogicalPos otherwise) const;

 private:
  void Line(std::string_view line, std::string_view from);

  TRyxStrings& FTarget;
  TLineAppender FLines;
  // The start of a line whose CR LF has not been written yet.
  std::string FPending;
  bool FEnded = false;
  struct TFollowed {
    const char* Byte = nullptr;
    bool Found = false;
    TLogicalPos At;
  };
  std::vector<TFollowed> FFollowed;
};
