// verselet-tool: runs the editor's lyric clean-up commands and the time-tag check over files.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <set>
#include <string>

#include "app/TagCheck.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "tools/verselet-tool/InputFiles.h"
#include "tools/verselet-tool/Options.h"
#include "tools/verselet-tool/SpooledOutput.h"
#include "tools/verselet-tool/TextFileReader.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Fewer files than this finish too soon for a progress line to help.
constexpr std::size_t kProgressFrom = 5;

class TRunner {
 public:
  explicit TRunner(const TToolOptions& options) : FOptions(options) {}

  // Processes every file; false when any failed.
  bool Run() {
    bool ok = Collect();
    FShowProgress = FFiles.size() >= kProgressFrom && ::isatty(STDERR_FILENO) != 0;
    for (std::size_t i = 0; i < FFiles.size(); ++i) {
      ShowProgress(i);
      ok = Process(FFiles[i]) && ok;
    }
    ClearProgress();
    return ok;
  }

 private:
  // The files named and those below the folders named; false when a folder failed.
  bool Collect() {
    bool ok = true;
    for (const std::filesystem::path& given : FOptions.Files) {
      std::error_code error;
      if (!std::filesystem::is_directory(given, error)) {
        FFiles.push_back(TInputFile{given, given.filename()});
        continue;
      }
      try {
        if (!FOptions.Command->Checks && FOptions.Output == TOutputMode::StandardOutput) {
          throw EInOutError("フォルダです。-i か -o と一緒に指定してください");
        }
        const std::vector<TInputFile> found = LyricsFilesIn(given);
        FFiles.insert(FFiles.end(), found.begin(), found.end());
      } catch (const std::exception& e) {
        Report(given, e.what());
        ok = false;
      }
    }
    return ok;
  }

  bool Process(const TInputFile& input) {
    const std::filesystem::path& file = input.Path;
    try {
      if (FOptions.Command->Checks) return Check(file);
      const std::string note = Write(input);
      if (!note.empty()) Report(file, "注意: " + note);
      return true;
    } catch (const EUnwritableText& e) {
      for (const std::string& detail : e.Details()) Report(file.string() + ":" + detail);
      Report(file, e.what());
      return false;
    } catch (const std::exception& e) {
      Report(file, e.what());
      return false;
    }
  }

  // Prints the problems of the file's tags as "FILE:LINE: message"; true when there are none.
  bool Check(const std::filesystem::path& file) {
    const auto drop = [](std::string_view) {};
    std::unique_ptr<TBlockFilter> filter;
    Convert(file, drop, filter);
    const std::vector<TTagProblem> problems = static_cast<TTagCheckFilter&>(*filter).Problems();
    std::string lines;
    for (const TTagProblem& problem : problems) {
      lines += file.string() + ":" + std::to_string(problem.Line) + ": " + problem.Message + "\n";
    }
    ClearProgress();
    std::fputs(lines.c_str(), stdout);
    return problems.empty();
  }

  // Runs the command over the file, block by block, into sink; returns its note.
  // The filter stays in filter for a look at its findings.
  template <class Sink>
  std::string Convert(const std::filesystem::path& file, Sink sink, std::unique_ptr<TBlockFilter>& filter) const {
    TTextFileReader reader(file);
    filter = FOptions.Command->MakeFilter(FOptions.Filter);
    std::string out;
    for (std::string_view block = reader.Next(); !block.empty(); block = reader.Next()) {
      out.clear();
      filter->Write(block, out);
      sink(out);
    }
    out.clear();
    filter->Finish(out);
    sink(out);
    return FOptions.Command->Note(*filter);
  }

  // Into an output that takes the result only at its Commit, so that a
  // failure half-way leaves no half result.
  template <class Output>
  std::string ConvertInto(const std::filesystem::path& file, Output&& output) const {
    const auto write = [&output](std::string_view bytes) { output.Write(bytes); };
    std::unique_ptr<TBlockFilter> filter;
    const std::string note = Convert(file, write, filter);
    output.Commit();
    return note;
  }

  std::string Write(const TInputFile& input) {
    const std::filesystem::path& file = input.Path;
    switch (FOptions.Output) {
      case TOutputMode::StandardOutput:
        return ConvertInto(file, TSpooledOutput());
      case TOutputMode::InPlace: {
        // Through a link, replace the file it points to rather than the link.
        const std::filesystem::path target =
            std::filesystem::is_symlink(file) ? std::filesystem::canonical(file) : file;
        return ConvertInto(file, TAtomicFile(target, FOptions.Force));
      }
      case TOutputMode::Folder: {
        const std::filesystem::path target = FOptions.OutputFolder / input.OutputName;
        if (!FWritten.insert(target.lexically_normal()).second) {
          throw EInOutError(target.string() + " には同じ名前の別のファイルを書き出したので、書き出しません");
        }
        std::filesystem::create_directories(target.parent_path());
        return ConvertInto(file, TAtomicFile(target, FOptions.Force));
      }
    }
    return "";
  }

  void Report(const std::filesystem::path& file, const std::string& message) {
    Report("verselet-tool: " + file.string() + ": " + message);
  }

  void Report(const std::string& line) {
    ClearProgress();
    std::fprintf(stderr, "%s\n", line.c_str());
  }

  void ShowProgress(std::size_t index) {
    if (!FShowProgress) return;
    std::fprintf(stderr, "\r[%zu/%zu] %s\x1b[K", index + 1, FFiles.size(), FFiles[index].Path.filename().c_str());
    std::fflush(stderr);
  }

  void ClearProgress() {
    if (FShowProgress) std::fputs("\r\x1b[K", stderr);
  }

  const TToolOptions& FOptions;
  std::vector<TInputFile> FFiles;
  bool FShowProgress = false;
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
