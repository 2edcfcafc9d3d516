// TSaveText: the bytes of a save as they arrive, written through into a temporary file or kept in memory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/AtomicFileFolder.h"

// Writes the whole of bytes at offset of fd; 0 or the error.
int WriteAllAt(int fd, std::string_view bytes, off_t offset);

// The text of a save before its Commit. Once it has a temporary file it
// goes there as it arrives, a block at a time, so that a large text is not
// held in memory a second time; without one (none could be made, or the
// disk had no room for it) it is kept in memory. Every error is returned
// as the errno value, for the save to report with the target's name.
class TSaveText {
 public:
  int Append(std::string_view bytes);
  // Writes out what still waits in memory, when there is a file.
  int Flush();
  std::uint64_t Size() const { return FWritten + FPending.size(); }

  bool InFile() const { return static_cast<bool>(FFile.Fd); }
  TSaveTemporary& File() { return FFile; }

  // Writes the whole text over the start of fd (not cut to its length).
  int CopyTo(int fd);
  // Copies the text into temp, which from then on holds it; the file it
  // was in before is let go (removed when it has a name).
  int MoveTo(TSaveTemporary temp);
  // Takes the text back into memory and lets its file go.
  int MoveToMemory();

 private:
  int WriteOut(std::string_view bytes);
  // Reads size bytes of the file from offset into to.
  int ReadBack(char* to, std::uint64_t offset, std::size_t size) const;

  TSaveTemporary FFile;   // closed while the text is in memory
  std::string FPending;   // the whole text in memory, or the end not yet written to FFile
  std::uint64_t FWritten = 0;  // bytes already in FFile
};
