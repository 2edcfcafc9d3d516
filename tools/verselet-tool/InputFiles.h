// The files a verselet-tool run works on: the files named, and the lyrics files below the folders named.
#pragma once

#include <filesystem>
#include <vector>

struct TInputFile {
  std::filesystem::path Path;
  // Where the result goes below an output folder: the file's name, or its
  // path below the folder that was named.
  std::filesystem::path OutputName;
};

// Every .txt, .lrc and .kra file (in any letter case) below folder, in name
// order; links to folders are not followed. Raises EInOutError when the
// folder cannot be read or holds no such file.
std::vector<TInputFile> LyricsFilesIn(const std::filesystem::path& folder);
