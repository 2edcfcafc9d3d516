// convert-format, embed and extract: lyrics files converted between formats, and lyrics carried into and out of audio files.
#include "tools/verselet-tool/FormatCommands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/core/FileEncodingScan.h"
#include "app/core/FormatConversion.h"
#include "app/core/SaveEncoding.h"
#include "app/core/SongFiles.h"
#include "app/core/StoredLyricsText.h"
#include "platform/AtomicFile.h"
#include "platform/AudioLyrics.h"
#include "tools/verselet-tool/Commands.h"
#include "tools/verselet-tool/InputFiles.h"
#include "tools/verselet-tool/Options.h"
#include "tools/verselet-tool/TextFileReader.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::array kFormatCommands{
    TFormatCommand{"convert-format",
                   "歌詞ファイルを --from の形式から --to の形式に変換します: srt (SRT 字幕)、ass (ASS カラオケ字幕、"
                   "\\k のタグ)、lrc (拡張 LRC、<mm:ss.xx> のワードタグ)、kra (行の中の [mm:ss:xx] タグ)。変換先の形式"
                   "にないもの (ASS のスタイル、SRT の書式タグなど) はその数を標準エラーに示します"},
    TFormatCommand{"embed",
                   "音声ファイル (.mp3 .flac .ogg .opus .m4a) に、横にある同じ名前の歌詞ファイル (.lrc、.kra、.txt の"
                   "順に探します) の歌詞を書き込みます。ほかのタグと音声はそのままです"},
    TFormatCommand{"extract", "音声ファイルに入っている歌詞を、同じ名前の .lrc ファイルとして横 (-o では DIR) に書き出します"},
};

struct TFormatOptions {
  std::string Command;
  std::optional<TLyricsFormat> From;
  std::optional<TLyricsFormat> To;
  TConversionOptions Conversion;
  TFilterSettings Filter;  // --lossy
  bool Force = false;
  bool FollowLinks = false;
  std::optional<fs::path> OutputFolder;
  std::vector<fs::path> Files;
};

TLyricsFormat ParseFormat(std::string_view option, std::string_view text) {
  if (const auto format = LyricsFormatNamed(text)) return *format;
  throw EUsageError(std::string(option) + " には srt、ass、lrc、kra のどれかを指定してください: " + std::string(text));
}

long long ParseLastLine(std::string_view text) {
  char* end = nullptr;
  const std::string copy(text);
  const double seconds = std::strtod(copy.c_str(), &end);
  if (copy.empty() || *end != '\0' || !(seconds > 0) || seconds > 3600)
    throw EUsageError("--last-line には 3600 までの正の秒数を指定してください: " + copy);
  return static_cast<long long>(seconds * 1000 + 0.5);
}

TFormatOptions ParseFormatCommandLine(int argc, const char* const* argv) {
  TFormatOptions options;
  options.Command = argv[1];
  bool lastLine = false;
  bool kf = false;
  bool optionsDone = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&](std::string_view name) -> std::optional<std::string_view> {
      if (optionsDone) return std::nullopt;
      if (arg == name) {
        if (i + 1 == argc) throw EUsageError(std::string(arg) + " の後に値を指定してください");
        return std::string_view(argv[++i]);
      }
      if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') return arg.substr(name.size() + 1);
      return std::nullopt;
    };
    if (const auto from = value("--from")) {
      options.From = ParseFormat("--from", *from);
    } else if (const auto to = value("--to")) {
      options.To = ParseFormat("--to", *to);
    } else if (const auto seconds = value("--last-line")) {
      options.Conversion.LastLineMillis = ParseLastLine(*seconds);
      lastLine = true;
    } else if (const auto folder = value("--output")) {
      options.OutputFolder = fs::path(*folder);
    } else if (const auto shortFolder = value("-o")) {
      options.OutputFolder = fs::path(*shortFolder);
    } else if (!optionsDone && arg == "--kf") {
      options.Conversion.Fill = TKaraokeFill::Sweep;
      kf = true;
    } else if (!optionsDone && arg == "--lossy") {
      options.Filter.Lossy = true;
    } else if (!optionsDone && (arg == "-f" || arg == "--force")) {
      options.Force = true;
    } else if (!optionsDone && arg == "--follow-links") {
      options.FollowLinks = true;
    } else if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg.size() > 1 && arg.front() == '-') {
      throw EUsageError(options.Command + " には使えないオプションです: " + std::string(arg));
    } else {
      options.Files.emplace_back(arg);
    }
  }
  if (options.Files.empty()) throw EUsageError("ファイルを指定してください");
  const bool converts = options.Command == "convert-format";
  if (converts && (!options.From || !options.To))
    throw EUsageError("convert-format には --from と --to を指定してください (srt、ass、lrc、kra)");
  if (!converts && (options.From || options.To || lastLine || kf))
    throw EUsageError("--from、--to、--last-line、--kf は convert-format にだけ使えます");
  if (kf && options.To != TLyricsFormat::Ass) throw EUsageError("--kf は --to ass にだけ使えます");
  if (options.Command == "embed" && (options.OutputFolder || options.Filter.Lossy))
    throw EUsageError("embed は音声ファイルに書き込むので -o と --lossy は使えません");
  if (converts && !options.OutputFolder && options.Files.size() > 1)
    throw EUsageError("標準出力に書けるのはファイル 1 つだけです。-o を指定してください");
  return options;
}

// A run over the files of one command line.
class TFormatRunner {
 public:
  explicit TFormatRunner(const TFormatOptions& options) : FOptions(options) {}

  bool Run() {
    bool ok = true;
    for (const fs::path& given : FOptions.Files) {
      std::error_code error;
      if (FOptions.Command == "convert-format" || !fs::is_directory(given, error)) {
        ok = Process(given, given.filename(), true) && ok;
        continue;
      }
      try {
        const auto report = [this, &ok](const fs::path& path, const std::string& why) {
          Report(path, why);
          ok = false;
        };
        for (const TInputFile& file : FilesIn(given, FOptions.FollowLinks, report, CanHoldLyrics,
                                              "歌詞を読み書きできる音声ファイル (.mp3 .flac .ogg .opus .m4a)"))
          ok = Process(file.Path, file.OutputName, false) && ok;
      } catch (const std::exception& e) {
        Report(given, e.what());
        ok = false;
      }
    }
    return ok;
  }

 private:
  // named: the file was named on the command line, not found in a folder.
  bool Process(const fs::path& file, const fs::path& outputName, bool named) {
    try {
      std::string note;
      if (FOptions.Command == "convert-format") note = ConvertFormat(file, outputName);
      else if (FOptions.Command == "extract") note = Extract(file, outputName);
      else if (!Embed(file, note) && named) throw EInOutError(note);
      if (!note.empty()) Report(file, "注意: " + note);
      return true;
    } catch (const EUnwritableText& e) {
      for (const std::string& detail : e.Details()) Report(file.string() + ":" + detail);
      Report(file, e.what());
    } catch (const std::exception& e) {
      Report(file, e.what());
    }
    return false;
  }

  // The file as code page 932 text: a UTF-8 or UTF-16 one converted as
  // to-sjis converts it; note tells the characters folded.
  std::string ReadAsShiftJis(const fs::path& file, std::string& note) const {
    const TEncodingScan scan = ScanFileEncoding(file);
    if (scan.HoldsNul) throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
    TTextFileReader reader(file, scan.Encoding);
    std::unique_ptr<TShiftJisEncoder> encoder;
    if (scan.Encoding != TFileEncoding::ShiftJis) encoder = MakeFromUtf8Filter(FOptions.Filter);
    std::string text;
    for (std::string_view block = reader.Next(); !block.empty(); block = reader.Next()) {
      if (encoder) encoder->Write(block, text);
      else text += block;
    }
    if (encoder) {
      encoder->Finish(text);
      note = ReplacedNote(*encoder);
    }
    return text;
  }

  // The file as UTF-8 text, a byte-order mark left out.
  static std::string ReadAsUtf8(const fs::path& file) {
    const TEncodingScan scan = ScanFileEncoding(file);
    if (scan.HoldsNul) throw EInOutError("NUL バイトを含むのでバイナリファイルとみなし、処理しません");
    TTextFileReader reader(file, scan.Encoding);
    const std::unique_ptr<TBlockFilter> encoder =
        scan.Encoding == TFileEncoding::ShiftJis ? MakeSaveEncoder(TSaveEncoding::Utf8) : nullptr;
    std::string text;
    for (std::string_view block = reader.Next(); !block.empty(); block = reader.Next()) {
      if (encoder) encoder->Write(block, text);
      else text += block;
    }
    if (encoder) encoder->Finish(text);
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    return text;
  }

  static std::string Joined(const std::string& first, const std::string& second) {
    return first.empty() || second.empty() ? first + second : first + "。" + second;
  }

  std::string ConvertFormat(const fs::path& file, const fs::path& outputName) {
    std::string note;
    const std::string text = ReadAsShiftJis(file, note);
    const TConversion conversion = ConvertLyricsFormat(text, *FOptions.From, *FOptions.To, FOptions.Conversion);
    std::string bytes = conversion.Text;
    if (WrittenInUtf8(*FOptions.To)) {
      std::string encoded;
      const std::unique_ptr<TBlockFilter> encoder = MakeSaveEncoder(TSaveEncoding::Utf8);
      encoder->Write(bytes, encoded);
      encoder->Finish(encoded);
      bytes = std::move(encoded);
    }
    if (!FOptions.OutputFolder) {
      std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    } else {
      fs::path target = *FOptions.OutputFolder / outputName;
      WriteFile(target.replace_extension(std::string(".") + LyricsFormatName(*FOptions.To)), bytes);
    }
    return Joined(note, conversion.Report.Describe());
  }

  std::string Extract(const fs::path& audio, const fs::path& outputName) {
    const TStoredLyrics stored = ReadAudioLyrics(audio);
    if (stored.Frame == TLyricsFrame::None) return "歌詞が入っていないので書き出しません";
    const std::string utf8 = StoredLyricsText(stored);
    const std::unique_ptr<TShiftJisEncoder> encoder = MakeFromUtf8Filter(FOptions.Filter);
    std::string text;
    encoder->Write(utf8, text);
    encoder->Finish(text);
    fs::path target = FOptions.OutputFolder ? *FOptions.OutputFolder / outputName : audio;
    target.replace_extension(".lrc");
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error)))
      throw EInOutError(target.string() + " が既にあるので書き出しません");
    WriteFile(target, text);
    return Joined(ReplacedNote(*encoder), std::string(LyricsFrameName(stored.Frame)) + " の歌詞を " +
                                              target.string() + " に書き出しました");
  }

  // False, with why in note, when the song has no lyrics file beside it.
  bool Embed(const fs::path& audio, std::string& note) {
    if (!CanHoldLyrics(audio)) throw EInOutError("歌詞を書き込める種類 (.mp3 .flac .ogg .opus .m4a) の音声ファイルではありません");
    std::optional<fs::path> lyrics;
    for (const char* extension : {".lrc", ".kra", ".txt"}) {
      fs::path candidate = audio;
      std::error_code error;
      if (fs::is_regular_file(candidate.replace_extension(extension), error)) {
        lyrics = candidate;
        break;
      }
    }
    if (!lyrics) {
      note = "横に同じ名前の歌詞ファイル (.lrc .kra .txt) がないので書き込みません";
      return false;
    }
    const TLyricsFrame frame = WriteAudioLyrics(audio, LyricsTextToStore(ReadAsUtf8(*lyrics)), FOptions.Force);
    note = lyrics->filename().string() + " の歌詞を " + LyricsFrameName(frame) + " に書き込みました";
    return true;
  }

  void WriteFile(const fs::path& target, const std::string& bytes) {
    if (!FWritten.insert(target.lexically_normal()).second)
      throw EInOutError(target.string() + " には同じ名前の別のファイルを書き出したので、書き出しません");
    if (!target.parent_path().empty()) fs::create_directories(target.parent_path());
    TAtomicFile out(target, FOptions.Force);
    out.Write(bytes);
    out.Commit();
  }

  static void Report(const fs::path& file, const std::string& message) {
    Report("verselet-tool: " + file.string() + ": " + message);
  }
  static void Report(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

  const TFormatOptions& FOptions;
  std::set<fs::path> FWritten;
};

}  // namespace

std::span<const TFormatCommand> FormatCommands() { return kFormatCommands; }

bool IsFormatCommand(std::string_view name) {
  return std::any_of(kFormatCommands.begin(), kFormatCommands.end(),
                     [name](const TFormatCommand& command) { return name == command.Name; });
}

int RunFormatCommand(int argc, const char* const* argv) {
  TFormatOptions options;
  try {
    options = ParseFormatCommandLine(argc, argv);
  } catch (const EUsageError& e) {
    std::fprintf(stderr, "verselet-tool: %s\n詳しくは verselet-tool --help を見てください。\n", e.what());
    return kExitUsage;
  }
  return TFormatRunner(options).Run() ? 0 : kExitFailure;
}
