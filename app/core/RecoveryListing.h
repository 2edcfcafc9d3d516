// How a recovery file is shown to the user: its document's name, when it was written, what became of the file on disk.
#pragma once

#include <string>

#include "app/core/RecoveryFolder.h"

// What the file on disk did since the recovered text was loaded from it or saved to it.
enum class TDiskState {
  Unchanged,  // as it was, or the text never had a file
  Changed,    // another program wrote it
  Missing,    // it is gone
};

TDiskState DiskStateOf(const TRecoveryHeader& header);

// The three columns of a recovery file in the lists: the document's name
// (「新しいテキスト」 for a text never saved), the local time it was written
// ("2026-12-09 13:22:10"), and a note: why it cannot be read, or what
// became of the file on disk; empty when there is nothing to say.
struct TRecoveryListing {
  std::string Name;
  // The document's whole file name, or the recovery file's when it cannot be read.
  std::string Where;
  std::string Time;
  std::string Note;
};

TRecoveryListing ListingOf(const TOrphanRecovery& orphan);

// A name beside fileName that no file has yet, for a recovered text whose
// file changed since: "song.lrc" gives "song (復元).lrc", then "song (復元 2).lrc"...
std::string RecoveredFileName(const std::string& fileName);
