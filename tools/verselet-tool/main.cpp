// verselet-tool: runs the editor's lyric clean-up commands over files.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <set>
#include <string>

#include "editor/Ryxstrings.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "tools/verselet-tool/Options.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Fewer files than this finish too soon for a progress line to help.
constexpr std::size_t kProgressFrom = 5;

class TRunner {
 public:
  explicit TRunner(const TToolOptions& options)
      : FOptions(options), FShowProgress(options.Files.size() >= kProgressFrom && ::isatty(STDERR_FILENO) != 0) {}

  // Processes every file; false when any failed.
  bool Run() {
    bool ok = true;
    for (std::size_t i = 0; i < FOptions.Files.size(); ++i) {
      ShowProgress(i);
      ok = Process(FOptions.Files[i]) && ok;
    }
    ClearProgress();
    return ok;
  }

 private:
  bool Process(const std::filesystem::path& file) {
    try {
      std::error_code error;
      if (std::filesystem::is_directory(file, error)) throw EInOutError("フォルダです");
      TRyxStrings lines;
      lines.LoadFromFile(file, TRyxStrings::TNulBytes::StopReading);
      if (lines.LoadedNulBytes()) throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
      std::string note;
      const std::string text = FOptions.Command->Run(lines.GetText(), note);
      Write(file, text);
      if (!note.empty()) Report(file, "注意: " + note);
      return true;
    } catch (const std::exception& e) {
      Report(file, e.what());
      return false;
    }
  }

  void Write(const std::filesystem::path& file, const std::string& text) {
    switch (FOptions.Output) {
      case TOutputMode::StandardOutput:
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
          throw EInOutError("標準出力に書き込めません");
        }
        break;
      case TOutputMode::InPlace:
        // Through a link, replace the file it points to rather than the link.
        WriteFileAtomically(std::filesystem::is_symlink(file) ? std::filesystem::canonical(file) : file, text);
        break;
      case TOutputMode::Folder: {
        const std::filesystem::path target = FOptions.OutputFolder / file.filename();
        if (!FWritten.insert(target.lexically_normal()).second) {
          throw EInOutError(target.string() + " には同じ名前の別のファイルを書き出したので、書き出しません");
        }
        WriteFileAtomically(target, text);
        break;
      }
    }
  }

  void Report(const std::filesystem::path& file, const std::string& message) {
    ClearProgress();
    std::fprintf(stderr, "verselet-tool: %s: %s\n", file.c_str(), message.c_str());
  }

  void ShowProgress(std::size_t index) {
    if (!FShowProgress) return;
    std::fprintf(stderr, "\r[%zu/%zu] %s\x1b[K", index + 1, FOptions.Files.size(),
                 FOptions.Files[index].filename().c_str());
    std::fflush(stderr);
  }

  void ClearProgress() {
    if (FShowProgress) std::fputs("\r\x1b[K", stderr);
  }

  const TToolOptions& FOptions;
  const bool FShowProgress;
  std::set<std::filesystem::path> FWritten;
};

}  // namespace

int main(int argc, char** argv) {
  TToolOptions options;
  try {
    options = ParseCommandLine(argc, argv);
  } catch (const EUsageError& e) {
    std::fprintf(stderr, "verselet-tool: %s\n詳しくは verselet-tool --help を見てください。\n", e.what());
    return kExitUsage;
  }
  if (options.Help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  return TRunner(options).Run() ? 0 : kExitFailure;
}
