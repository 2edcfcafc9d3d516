// The files a verselet-tool run works on: the files named, and the lyrics files below the folders named.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct TInputFile {
  std::filesystem::path Path;
  // Where the result goes below an output folder: the file's name, or its
  // path below the folder that was named.
  std::filesystem::path OutputName;
};

// Something below a folder that the walk passed over, and why.
using TWalkReport = std::function<void(const std::filesystem::path& path, const std::string& why)>;

// Every .txt, .lrc and .kra file (in any letter case) below folder, in name
// order. Links to folders are not followed; a link to a file is taken when
// the file lies inside folder, or anywhere when followLinks is given, since
// a link that someone else planted in a shared folder could otherwise
// have a private file rewritten. A link left out and a subfolder that cannot
// be read are passed to report, and the rest of the folder is walked.
// Raises EInOutError when the folder itself cannot be read or holds no such
// file.
std::vector<TInputFile> LyricsFilesIn(const std::filesystem::path& folder, bool followLinks, const TWalkReport& report);

// Whether a file is of the kind a walk looks for.
using TFileKind = bool (*)(const std::filesystem::path& path);
// The same for the files of another kind; kindName names them in the error
// about a folder that holds none.
std::vector<TInputFile> FilesIn(const std::filesystem::path& folder, bool followLinks, const TWalkReport& report,
                                TFileKind wanted, const std::string& kindName);
