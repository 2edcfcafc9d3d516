// Parsing and help text of verselet-tool's command line.
#include "tools/verselet-tool/Options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "app/core/PlayerModels.h"

namespace {

bool IsHelp(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "1.5", "-0.25", "+2": seconds with at most three decimals, as milliseconds.
long long ParseSeconds(std::string_view text) {
  const std::string bad = "--by には秒数を指定してください (例: 1.5, -0.25): " + std::string(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = std::min(text.find('.'), text.size());
  const std::string_view whole = text.substr(0, point);
  const std::string_view decimals = text.substr(std::min(point + 1, text.size()));
  const bool wellFormed =
      !whole.empty() && whole.size() <= 9 && decimals.size() <= 3 && (point == text.size() || !decimals.empty()) &&
      std::all_of(whole.begin(), whole.end(), IsDigit) && std::all_of(decimals.begin(), decimals.end(), IsDigit);
  if (!wellFormed) throw EUsageError(bad);
  long long millis = 0;
  for (char c : whole) millis = millis * 10 + (c - '0');
  millis *= 1000;
  long long scale = 100;
  for (char c : decimals) {
    millis += (c - '0') * scale;
    scale /= 10;
  }
  return negative ? -millis : millis;
}

// A display size of 1 to 999 cells or rows.
int ParseSize(std::string_view option, std::string_view text) {
  constexpr int kLargest = 999;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > kLargest) {
    throw EUsageError(std::string(option) + " には 1 から 999 の整数を指定してください: " + std::string(text));
  }
  return value;
}

TPlayerDisplay FindPlayer(std::string_view name) {
  for (int i = 0; i < kCustomModel; ++i) {
    const TPlayerModel& model = kPlayerModels[static_cast<std::size_t>(i)];
    if (name == model.Name) return TPlayerDisplay{model.HalfCount, model.LineCount};
  }
  std::string known;
  for (int i = 0; i < kCustomModel; ++i)
    known += std::string(i == 0 ? "" : ", ") + kPlayerModels[static_cast<std::size_t>(i)].Name;
  throw EUsageError("不明なプレーヤーです: " + std::string(name) + " (" + known + " のどれかを指定してください)");
}

TKanaWidthTarget ParseTarget(std::string_view text) {
  if (const auto target = KanaWidthTargetNamed(text)) return *target;
  throw EUsageError("--to には halfwidth、fullwidth、katakana、hiragana のどれかを指定してください: " + std::string(text));
}

TSaveEncoding ParseEncoding(std::string_view text) {
  if (const auto encoding = SaveEncodingNamed(text)) return *encoding;
  throw EUsageError("--encoding には sjis、utf8、utf8-bom のどれかを指定してください: " + std::string(text));
}

char ParseTagForm(std::string_view text) {
  if (text == "dot") return '.';
  if (text == "colon") return ':';
  throw EUsageError("--form には dot か colon を指定してください: " + std::string(text));
}

// The value of an option given as "--name VALUE" or "--name=VALUE"; it
// may begin with "-", as a negative offset does.
template <class Iterator>
std::optional<std::string_view> OptionValue(std::string_view name, Iterator& it, Iterator end) {
  const std::string_view arg = *it;
  if (arg == name) {
    if (it + 1 == end) throw EUsageError(std::string(arg) + " の後に値を指定してください");
    return *++it;
  }
  if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') {
    return arg.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

TToolOptions ParseCommandLine(int argc, const char* const* argv) {
  TToolOptions options;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto endOfOptions = std::find(args.begin(), args.end(), "--");
  if (std::any_of(args.begin(), endOfOptions, IsHelp)) {
    options.Help = true;
    return options;
  }
  if (std::find(args.begin(), endOfOptions, "--version") != endOfOptions) {
    options.Version = true;
    return options;
  }

  std::vector<std::string_view> positional;
  bool inPlace = false;
  std::optional<std::string_view> folder;
  bool hasOffset = false;
  bool hasForm = false;
  bool hasTarget = false;
  std::optional<int> half;
  std::optional<int> lines;
  std::optional<TPlayerDisplay> player;
  // Options of prepare alone.
  bool prepareOption = false;
  TPrepareOptions& prepare = options.Filter.Prepare;
  for (auto it = args.begin(); it != args.end(); ++it) {
    const std::string_view arg = *it;
    if (it == endOfOptions) {
      positional.insert(positional.end(), it + 1, args.end());
      break;
    }
    if (const auto by = OptionValue("--by", it, args.end())) {
      options.Filter.ShiftMillis = ParseSeconds(*by);
      hasOffset = true;
    } else if (const auto form = OptionValue("--form", it, args.end())) {
      options.Filter.TagSeparator = ParseTagForm(*form);
      hasForm = true;
    } else if (const auto target = OptionValue("--to", it, args.end())) {
      options.Filter.Target = ParseTarget(*target);
      hasTarget = true;
    } else if (const auto halfText = OptionValue("--half", it, args.end())) {
      half = ParseSize("--half", *halfText);
    } else if (const auto linesText = OptionValue("--lines", it, args.end())) {
      lines = ParseSize("--lines", *linesText);
    } else if (const auto playerName = OptionValue("--player", it, args.end())) {
      player = FindPlayer(*playerName);
    } else if (const auto encoding = OptionValue("--encoding", it, args.end())) {
      options.Filter.Encoding = ParseEncoding(*encoding);
      prepareOption = true;
    } else if (arg == "--no-expand" || arg == "--keep-word-tags" || arg == "--keep-precision" ||
               arg == "--remove-id-lines" || arg == "--name-after-audio") {
      prepare.ExpandLines = prepare.ExpandLines && arg != "--no-expand";
      prepare.RemoveWordTags = prepare.RemoveWordTags && arg != "--keep-word-tags";
      prepare.Hundredths = prepare.Hundredths && arg != "--keep-precision";
      prepare.RemoveIdLines = prepare.RemoveIdLines || arg == "--remove-id-lines";
      options.NameAfterAudio = options.NameAfterAudio || arg == "--name-after-audio";
      prepareOption = true;
    } else if (arg == "-i" || arg == "--in-place") {
      inPlace = true;
    } else if (arg == "-f" || arg == "--force") {
      options.Force = true;
    } else if (arg == "--from-utf8") {
      options.FromUtf8 = true;
    } else if (arg == "--follow-links") {
      options.FollowLinks = true;
    } else if (arg == "--lossy") {
      options.Filter.Lossy = true;
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

  const std::string name = options.Command->Name;
  const bool needsOffset = options.Command->Needs == TCommandNeeds::Offset;
  const bool needsForm = options.Command->Needs == TCommandNeeds::TagForm;
  if (needsOffset && !hasOffset) throw EUsageError(name + " には --by 秒数 を指定してください");
  if (needsForm && !hasForm) throw EUsageError(name + " には --form dot か --form colon を指定してください");
  if (hasOffset && !needsOffset) throw EUsageError("--by は shift-tags にだけ使えます");
  if (hasForm && !needsForm) throw EUsageError("--form は normalize-tags にだけ使えます");
  const bool needsTarget = options.Command->Needs == TCommandNeeds::Target;
  if (needsTarget && !hasTarget)
    throw EUsageError(name + " には --to halfwidth、fullwidth、katakana、hiragana のどれかを指定してください");
  if (hasTarget && !needsTarget) throw EUsageError("--to は convert にだけ使えます");
  if (options.FromUtf8 && options.Command->Converts) throw EUsageError("--from-utf8 は " + name + " には使えません");
  const bool hasDisplay = half || lines || player;
  const bool needsDisplay = options.Command->Needs == TCommandNeeds::Display;
  if (hasDisplay && !options.Command->Checks && !needsDisplay)
    throw EUsageError("--half、--lines、--player は check と prepare にだけ使えます");
  if (needsDisplay && !hasDisplay)
    throw EUsageError(name + " には --player 名前 か --half 桁数 --lines 行数 を指定してください");
  if (prepareOption && !options.Command->Prepares)
    throw EUsageError("--encoding、--no-expand、--keep-word-tags、--keep-precision、--remove-id-lines、"
                      "--name-after-audio は prepare にだけ使えます");
  if (options.FromUtf8 && options.Command->Prepares)
    throw EUsageError(name + " は UTF-8 のファイルを変換してから整えるので、--from-utf8 は要りません");
  if (player && (half || lines)) throw EUsageError("--player と --half/--lines は一緒に使えません");
  if (half.has_value() != lines.has_value()) throw EUsageError("--half と --lines は両方指定してください");
  if (half) options.Filter.Display = TPlayerDisplay{*half, *lines};
  if (player) options.Filter.Display = player;
  if (options.Command->Checks) {
    if (inPlace || folder) throw EUsageError(name + " はファイルを書き換えないので -i と -o は使えません");
    return options;
  }
  if (inPlace && folder) throw EUsageError("-i と -o は一緒に使えません");
  if (options.NameAfterAudio && !inPlace && !folder)
    throw EUsageError("--name-after-audio には -i (ファイルの横に書く) か -o を指定してください");
  if (folder) {
    // Made by the run when it is missing.
    options.Output = TOutputMode::Folder;
    options.OutputFolder = *folder;
  } else if (inPlace) {
    options.Output = TOutputMode::InPlace;
  } else if (options.Files.size() > 1) {
    throw EUsageError("標準出力に書けるのはファイル 1 つだけです。-i か -o を指定してください");
  } else if (std::error_code error; std::filesystem::is_directory(options.Files.front(), error)) {
    throw EUsageError(options.Files.front().string() + " はフォルダです。フォルダの下のファイルを書き換えるには -i か -o を指定してください");
  }
  return options;
}
