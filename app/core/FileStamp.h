// TFileStamp: what the main window remembers of its file to notice changes that other programs make.
#pragma once

#include <cstdint>
#include <filesystem>

// The modification time and size of a file as of one moment. Two stamps of
// the same path differ when the file was written, replaced or removed in
// between (a write within the file system's time resolution that keeps the
// size goes unnoticed).
struct TFileStamp {
  bool Exists = false;
  std::filesystem::file_time_type Time{};
  std::uintmax_t Size = 0;

  bool operator==(const TFileStamp&) const = default;
};

// The stamp of path now; a file that is missing or cannot be looked at gives a stamp with Exists false.
TFileStamp FileStampOf(const std::filesystem::path& path);
