// Walking a folder for lyrics files: links checked against the folder, unreadable subfolders passed over.
#include "tools/verselet-tool/InputFiles.h"

#include <algorithm>

#include "platform/Exceptions.h"

namespace fs = std::filesystem;

namespace {

bool IsLyricsFile(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return extension == ".txt" || extension == ".lrc" || extension == ".kra";
}

// Whether path, free of links, lies inside folder, free of links too.
bool IsInside(const fs::path& path, const fs::path& folder) {
  return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first == folder.end();
}

class TFolderWalk {
 public:
  TFolderWalk(const fs::path& root, bool followLinks, const TWalkReport& report, TFileKind wanted)
      : FRoot(root), FFollowLinks(followLinks), FReport(report), FWanted(wanted) {
    std::error_code error;
    FRealRoot = fs::canonical(root, error);
  }

  // False when the folder could not be read; the walk goes on after it.
  bool Walk(const fs::path& folder, std::error_code& error) {
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) Visit(*it);
    return !error;
  }

  std::vector<TInputFile> Files;

 private:
  void Visit(const fs::directory_entry& entry) {
    const fs::path& path = entry.path();
    std::error_code error;
    if (entry.is_symlink(error)) {
      const fs::path target = fs::canonical(path, error);
      if (error || !fs::is_regular_file(target, error) || !FWanted(path)) return;
      if (!FFollowLinks && !IsInside(target, FRealRoot)) {
        FReport(path, "フォルダの外のファイル " + target.string() +
                          " へのシンボリックリンクなので処理しません (--follow-links を付けると処理します)");
        return;
      }
    } else if (entry.is_directory(error)) {
      if (!Walk(path, error)) FReport(path, "フォルダを読めないので飛ばします (" + SystemErrorText(error.value()) + ")");
      return;
    } else if (!entry.is_regular_file(error) || !FWanted(path)) {
      return;
    }
    Files.push_back(TInputFile{path, path.lexically_relative(FRoot)});
  }

  const fs::path FRoot;
  fs::path FRealRoot;
  const bool FFollowLinks;
  const TWalkReport& FReport;
  const TFileKind FWanted;
};

}  // namespace

std::vector<TInputFile> LyricsFilesIn(const fs::path& folder, bool followLinks, const TWalkReport& report) {
  return FilesIn(folder, followLinks, report, IsLyricsFile, "歌詞ファイル (.txt .lrc .kra)");
}

std::vector<TInputFile> FilesIn(const fs::path& folder, bool followLinks, const TWalkReport& report, TFileKind wanted,
                                const std::string& kindName) {
  TFolderWalk walk(folder, followLinks, report, wanted);
  std::error_code error;
  if (!walk.Walk(folder, error)) throw EInOutError("フォルダを読めません (" + SystemErrorText(error.value()) + ")");
  std::vector<TInputFile>& files = walk.Files;
  if (files.empty()) throw EInOutError("フォルダに" + kindName + "がありません");
  std::sort(files.begin(), files.end(), [](const TInputFile& a, const TInputFile& b) { return a.Path < b.Path; });
  return std::move(files);
}
