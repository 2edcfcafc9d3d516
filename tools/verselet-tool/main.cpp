// verselet-tool: runs the editor's lyric clean-up commands and the time-tag check over files.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <functional>
#include <set>
#include <string>

#include "app/core/FileEncodingScan.h"
#include "app/core/ProgramVersion.h"
#include "app/core/SongFiles.h"
#include "app/core/TagCheck.h"
#include "app/core/Utf8Passage.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "tools/verselet-tool/FilterChain.h"
#include "tools/verselet-tool/FormatCommands.h"
#include "tools/verselet-tool/HelpText.h"
#include "tools/verselet-tool/InputFiles.h"
#include "tools/verselet-tool/Options.h"
#include "tools/verselet-tool/SpooledOutput.h"
#include "tools/verselet-tool/TextFileReader.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Fewer files than this finish too soon for a progress line to help.
constexpr std::size_t kProgressFrom = 5;

// The problems of one file as "FILE:LINE: message" lines on standard
// output, written in large blocks as they come.
class TProblemLines {
 public:
  explicit TProblemLines(const std::string& file) : FPrefix(file + ":") { FLines.reserve(kBlock + 4096); }
  TProblemLines(const TProblemLines&) = delete;
  TProblemLines& operator=(const TProblemLines&) = delete;
  ~TProblemLines() { Flush(); }

  void Add(const TTagProblem& problem) {
    char number[24];
    const auto end = std::to_chars(number, number + sizeof number, problem.Line).ptr;
    FLines.append(FPrefix).append(number, end).append(": ").append(problem.Message).push_back('\n');
    if (FLines.size() >= kBlock) Flush();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;

  void Flush() {
    std::fwrite(FLines.data(), 1, FLines.size(), stdout);
    FLines.clear();
  }

  const std::string FPrefix;
  std::string FLines;
};

class TRunner {
 public:
  explicit TRunner(const TToolOptions& options) : FOptions(options) {}

  // Processes every file; false when any failed.
  bool Run() {
    if (!MakeOutputFolder()) return false;
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
  // -o DIR is made when it is missing; false when that failed.
  bool MakeOutputFolder() {
    if (FOptions.Output != TOutputMode::Folder) return true;
    std::error_code error;
    std::filesystem::create_directories(FOptions.OutputFolder, error);
    if (!error && !std::filesystem::is_directory(FOptions.OutputFolder, error)) error = std::make_error_code(std::errc::not_a_directory);
    if (!error) return true;
    Report(FOptions.OutputFolder, "出力フォルダを作れません (" + SystemErrorText(error.value()) + ")");
    return false;
  }

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
        const std::vector<TInputFile> found =
            LyricsFilesIn(given, FOptions.FollowLinks, [this, &ok](const std::filesystem::path& path, const std::string& why) {
              Report(path, why);
              ok = false;
            });
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
      const TFileEncoding source = SourceEncoding(file);
      if (FOptions.Command->Checks) return Check(file, source);
      const std::string note = Write(input, source);
      if (!note.empty()) Report(file, "注意: " + note);
      return true;
    } catch (const EUnwritableText& e) {
      for (const std::string& detail : e.Details()) Report(file.string() + ":" + detail);
      Report(file, e.what());
      return false;
    } catch (const std::filesystem::filesystem_error& e) {
      Report(file, SystemErrorText(e.code().value()));
      return false;
    } catch (const std::exception& e) {
      Report(file, e.what());
      return false;
    }
  }

  // The encoding the command reads the file in: ShiftJis when it reads the
  // bytes as they are, Utf8 without --from-utf8 when it works on a UTF-8
  // file as UTF-8 (read as Shift-JIS, a "[" after a UTF-8 lead byte would
  // pass for the trail byte of a character, and its tag would silently
  // stay), and with --from-utf8 the Unicode encoding to-sjis converts
  // from first. A UTF-16 file needs --from-utf8.
  TFileEncoding SourceEncoding(const std::filesystem::path& file) const {
    if (FOptions.Command->Converts) return TFileEncoding::ShiftJis;
    const TEncodingScan scan = ScanFileEncoding(file);
    if (scan.HoldsNul) throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
    const TFileEncoding encoding = scan.Encoding;
    // Text that is no UTF-8 is Shift-JIS only when every byte says so; anything else is no guess to act on.
    if (encoding == TFileEncoding::ShiftJis)
      if (const std::optional<std::uint64_t> line = FirstNonShiftJisLine(file))
        throw EInOutError(std::to_string(*line) +
                          " 行目に Shift-JIS の文字でも UTF-8 の文字でもないバイトがあります。元のままにします");
    if (encoding == TFileEncoding::ShiftJis || FOptions.FromUtf8 || FOptions.Command->Prepares ||
        encoding == TFileEncoding::Utf8)
      return encoding;
    throw EInOutError(std::string(FileEncodingName(encoding)) +
                      " のファイルです。元のままにします (--from-utf8 を付けると Shift-JIS に変換してから処理します)");
  }

  // How the command's filter meets a file read in source.
  enum class TPassage { AsItIs, AsUtf8, ConvertedFirst };
  TPassage PassageOf(TFileEncoding source) const {
    if (source == TFileEncoding::ShiftJis) return TPassage::AsItIs;
    return FOptions.FromUtf8 || FOptions.Command->Prepares ? TPassage::ConvertedFirst : TPassage::AsUtf8;
  }

  // Prints the problems of the file's tags as "FILE:LINE: message" as they
  // are found; true when there are none.
  bool Check(const std::filesystem::path& file, TFileEncoding source) {
    ClearProgress();
    TProblemLines lines(file.string());
    const auto drop = [](std::string_view) {};
    std::unique_ptr<TBlockFilter> filter;
    Convert(file, source, drop, filter, [&lines](TBlockFilter& check) {
      static_cast<TTagCheckFilter&>(check).ReportTo([&lines](const TTagProblem& problem) { lines.Add(problem); });
    });
    return static_cast<TTagCheckFilter&>(CommandPart(*filter, PassageOf(source))).EndCheck() == 0;
  }

  // The command's own filter within the filter Convert made.
  static TBlockFilter& CommandPart(TBlockFilter& filter, TPassage passage) {
    switch (passage) {
      case TPassage::AsUtf8:
        return static_cast<TUtf8Passage&>(filter).Inner();
      case TPassage::ConvertedFirst:
        return static_cast<TFilterChain&>(filter).Second();
      case TPassage::AsItIs:
        break;
    }
    return filter;
  }

  // Runs the command over the file, block by block, into sink; returns its
  // notes. The filter stays in filter for a look at its findings; prepare,
  // when given, sees the command's filter before it reads.
  template <class Sink>
  std::string Convert(const std::filesystem::path& file, TFileEncoding source, Sink sink,
                      std::unique_ptr<TBlockFilter>& filter,
                      const std::function<void(TBlockFilter&)>& prepare = {}) const {
    const TPassage passage = PassageOf(source);
    TTextFileReader reader(file, source);
    filter = FOptions.Command->MakeFilter(FOptions.Filter);
    if (prepare) prepare(*filter);
    if (passage == TPassage::AsUtf8) filter = std::make_unique<TUtf8Passage>(std::move(filter));
    if (passage == TPassage::ConvertedFirst)
      filter = std::make_unique<TFilterChain>(MakeFromUtf8Filter(FOptions.Filter), std::move(filter));
    // The encoding the result is written in, when it is not Shift-JIS.
    const std::unique_ptr<TBlockFilter> encoder = MakeSaveEncoder(FOptions.Filter.Encoding);
    std::string out;
    std::string encoded;
    const auto pass = [&](bool final) {
      if (!encoder) return sink(out);
      encoded.clear();
      encoder->Write(out, encoded);
      if (final) encoder->Finish(encoded);
      sink(encoded);
    };
    for (std::string_view block = reader.Next(); !block.empty(); block = reader.Next()) {
      out.clear();
      filter->Write(block, out);
      pass(false);
    }
    out.clear();
    filter->Finish(out);
    pass(true);
    const std::string note = FOptions.Command->Note(CommandPart(*filter, passage));
    if (passage != TPassage::ConvertedFirst) return note;
    const std::string replaced = ReplacedNote(static_cast<TFilterChain&>(*filter).First());
    return replaced.empty() || note.empty() ? replaced + note : replaced + "。" + note;
  }

  // Into an output that takes the result only at its Commit, so that a
  // failure half-way leaves no half result.
  template <class Output>
  std::string ConvertInto(const std::filesystem::path& file, TFileEncoding source, Output&& output) const {
    const auto write = [&output](std::string_view bytes) { output.Write(bytes); };
    std::unique_ptr<TBlockFilter> filter;
    const std::string note = Convert(file, source, write, filter);
    output.Commit();
    return note;
  }

  // --name-after-audio: the result's name is that of the song beside the file, as .lrc.
  static std::filesystem::path NamedAfterAudio(const std::filesystem::path& file, const std::filesystem::path& name) {
    const std::optional<std::filesystem::path> audio = AudioBeside(file);
    if (!audio) throw EInOutError("同じ名前の音声ファイル (.mp3 など) が横にないので書き出しません");
    return name.parent_path() / audio->filename().replace_extension(".lrc");
  }

  std::string Write(const TInputFile& input, TFileEncoding source) {
    const std::filesystem::path& file = input.Path;
    if (FOptions.NameAfterAudio) {
      const std::filesystem::path target = FOptions.Output == TOutputMode::Folder
                                               ? FOptions.OutputFolder / NamedAfterAudio(file, input.OutputName)
                                               : NamedAfterAudio(file, file);
      return WriteTo(target, file, source);
    }
    switch (FOptions.Output) {
      case TOutputMode::StandardOutput:
        return ConvertInto(file, source, TSpooledOutput());
      case TOutputMode::InPlace:
        // Through a link the file it names is replaced, under the rules of saving through links.
        return ConvertInto(file, source, TAtomicFile(file, FOptions.Force));
      case TOutputMode::Folder: {
        return WriteTo(FOptions.OutputFolder / input.OutputName, file, source);
      }
    }
    return "";
  }

  // Into a file of its own, never one written before in this run.
  std::string WriteTo(const std::filesystem::path& target, const std::filesystem::path& file, TFileEncoding source) {
    if (!FWritten.insert(target.lexically_normal()).second) {
      throw EInOutError(target.string() + " には同じ名前の別のファイルを書き出したので、書き出しません");
    }
    if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path());
    return ConvertInto(file, source, TAtomicFile(target, FOptions.Force));
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
  const auto asksForHelp = [](std::string_view arg) { return arg == "-h" || arg == "--help" || arg == "--version"; };
  if (argc > 1 && IsFormatCommand(argv[1]) && std::none_of(argv + 2, argv + argc, asksForHelp))
    return RunFormatCommand(argc, argv);
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
  if (options.Version) {
    std::printf("verselet-tool %s\n", kProgramVersion);
    return 0;
  }
  return TRunner(options).Run() ? 0 : kExitFailure;
}
