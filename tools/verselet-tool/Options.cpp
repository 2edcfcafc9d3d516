// Parsing and help text of verselet-tool's command line.
#include "tools/verselet-tool/Options.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

bool IsHelp(std::string_view arg) { return arg == "-h" || arg == "--help"; }

}  // namespace

TToolOptions ParseCommandLine(int argc, const char* const* argv) {
  TToolOptions options;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto endOfOptions = std::find(args.begin(), args.end(), "--");
  if (std::any_of(args.begin(), endOfOptions, IsHelp)) {
    options.Help = true;
    return options;
  }

  std::vector<std::string_view> positional;
  bool inPlace = false;
  std::optional<std::string_view> folder;
  for (auto it = args.begin(); it != args.end(); ++it) {
    const std::string_view arg = *it;
    if (it == endOfOptions) {
      positional.insert(positional.end(), it + 1, args.end());
      break;
    }
    if (arg == "-i" || arg == "--in-place") {
      inPlace = true;
    } else if (arg == "-f" || arg == "--force") {
      options.Force = true;
    } else if (arg == "--lossy") {
      options.Lossy = true;
    } else if (arg == "-o" || arg == "--output") {
      if (it + 1 == args.end()) throw EUsageError(std::string(arg) + " の後に出力フォルダを指定してください");
      folder = *++it;
    } else if (arg.starts_with("--output=")) {
      folder = arg.substr(arg.find('=') + 1);
    } else if (arg.size() > 1 && arg.front() == '-') {
      throw EUsageError("不明なオプションです: " + std::string(arg));
    } else {
      positional.push_back(arg);
    }
  }

  if (positional.empty()) throw EUsageError("コマンドを指定してください");
  options.Command = FindToolCommand(positional.front());
  if (!options.Command) throw EUsageError("不明なコマンドです: " + std::string(positional.front()));
  options.Files.assign(positional.begin() + 1, positional.end());
  if (options.Files.empty()) throw EUsageError("ファイルを指定してください");

  if (inPlace && folder) throw EUsageError("-i と -o は一緒に使えません");
  if (folder) {
    options.Output = TOutputMode::Folder;
    options.OutputFolder = *folder;
    std::error_code error;
    if (!std::filesystem::is_directory(options.OutputFolder, error)) {
      throw EUsageError("出力フォルダがありません: " + options.OutputFolder.string());
    }
  } else if (inPlace) {
    options.Output = TOutputMode::InPlace;
  } else if (options.Files.size() > 1) {
    throw EUsageError("標準出力に書けるのはファイル 1 つだけです。-i か -o を指定してください");
  }
  return options;
}

std::string HelpText() {
  std::string text =
      "使い方: verselet-tool コマンド [オプション] ファイル...\n"
      "\n"
      "歌詞ファイルを Verselet のツールメニューと同じ規則で変換します。ファイルは\n"
      "Shift-JIS (コードページ 932) のテキストとしてエディターと同じように読み\n"
      "(改行は CR LF、LF、CR のどれでもよい)、結果を CR LF 改行で書き出します。\n"
      "\n"
      "コマンド:\n";
  for (const TToolCommand& command : ToolCommands()) {
    std::string name = command.Name;
    name.resize(std::max<std::size_t>(name.size() + 2, 22), ' ');
    text += "  " + name + command.Summary + "\n";
  }
  text +=
      "\n"
      "オプション:\n"
      "  -i, --in-place        ファイルを結果で置き換えます。結果は一時ファイルに書いてから\n"
      "                        置き換えるので、書き込みに失敗しても元のファイルは残ります\n"
      "  -o, --output DIR      結果を既存のフォルダ DIR に同じファイル名で書き出します\n"
      "  -f, --force           読み取り専用のファイルも置き換えます (読み取り専用のまま残ります)。\n"
      "                        指定しないと、読み取り専用のファイルは元のままにして失敗とします\n"
      "  --lossy               to-sjis で Shift-JIS で表せない文字を ? にして変換します。\n"
      "                        指定しないと、そのような文字のあるファイルは元のままにして、\n"
      "                        ファイル:行: の形でその文字を標準エラーに示し、失敗とします\n"
      "  -h, --help            この説明を表示します\n"
      "  --                    これより後の引数はすべてファイル名とみなします\n"
      "\n"
      "-i も -o もないときは結果を標準出力に書きます (ファイルは 1 つだけ)。結果は一時\n"
      "フォルダ (TMPDIR) の名前のない一時ファイルにためてから書くので、失敗するときは\n"
      "標準出力に何も書きません。ファイルは少しずつ読んで書くので、大きなファイルでも\n"
      "メモリーはほとんど使いません。\n"
      "NUL バイトを含むファイルはバイナリファイルとみなして処理しません。読めない\n"
      "ファイル、書き込めないファイル、変換できないファイル (to-utf8 に Shift-JIS で\n"
      "ないバイト、to-sjis に UTF-8 でないバイト) は元のままにして標準エラーに報告し、\n"
      "残りのファイルの処理を続けます。\n"
      "\n"
      "終了コード: 0 すべて成功、1 失敗したファイルがある、2 コマンドラインの誤り\n";
  return text;
}
