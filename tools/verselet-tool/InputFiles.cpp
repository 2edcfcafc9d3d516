// Walking a folder for lyrics files.
#include "tools/verselet-tool/InputFiles.h"

#include <algorithm>
#include <string>

#include "platform/Exceptions.h"

namespace {

bool IsLyricsFile(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return extension == ".txt" || extension == ".lrc" || extension == ".kra";
}

}  // namespace

std::vector<TInputFile> LyricsFilesIn(const std::filesystem::path& folder) {
  std::vector<TInputFile> files;
  std::error_code error;
  std::filesystem::recursive_directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || !IsLyricsFile(it->path())) continue;
    files.push_back(TInputFile{it->path(), it->path().lexically_relative(folder)});
  }
  if (error) throw EInOutError("フォルダを読めません (" + error.message() + ")");
  if (files.empty()) throw EInOutError("フォルダに歌詞ファイル (.txt .lrc .kra) がありません");
  std::sort(files.begin(), files.end(), [](const TInputFile& a, const TInputFile& b) { return a.Path < b.Path; });
  return files;
}
