// The recovery file: a window's unsaved text with what it takes to open it again, written whole or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/core/FileStamp.h"
#include "editor/RyxEditPos.h"
#include "editor/RyxstringsShared.h"

// What a recovery file says about its text.
struct TRecoveryHeader {
  // The document's file (file-system bytes); empty for a text never saved.
  std::string FileName;
  TLogicalPos Caret;
  // The file on disk as the text was loaded from it or last saved to it.
  TFileStamp Disk;
  // When the recovery file was written, in seconds since 1970 (UTC).
  std::int64_t WrittenAt = 0;

  bool operator==(const TRecoveryHeader&) const = default;
};

struct TRecoveredText {
  TRecoveryHeader Header;
  std::string Text;  // as GetAllText gives it
};

// The layout: a first line "VERSELET-RECOVERY 1", the header as lines of
// decimal numbers (the file name by its length, so that any byte may be in
// it), the text by its length, and last the CRC-32 of every byte before
// it. A file cut short, grown or changed is told from a whole one by the
// lengths and the CRC, so that it is never read as a good text.
//
// Writes the file atomically: the bytes go to a temporary file of mode 0600
// beside it, are flushed to disk, and the temporary file is renamed over
// file, so that at every moment file is the old recovery file or the new
// one. text is the store's text, its end-of-text marker included; its bytes
// are written from where they are, without a copy. Raises EInOutError, with
// file left as it was and no temporary file behind.
void WriteRecoveryFile(const std::filesystem::path& file, const TRecoveryHeader& header, const TStoredText& text);

// The header, from the start of the file; the file's size must be the one
// its lengths give. Raises EInOutError with a message that says what is
// wrong: not a recovery file, written by a newer version, cut short, or
// unreadable.
TRecoveryHeader ReadRecoveryHeader(const std::filesystem::path& file);
// The whole file, its CRC checked. Raises EInOutError as ReadRecoveryHeader does, and when the bytes changed.
TRecoveredText ReadRecoveryFile(const std::filesystem::path& file);
