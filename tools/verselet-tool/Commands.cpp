// The command table of verselet-tool over the lyric clean-up commands.
#include "tools/verselet-tool/Commands.h"

#include <algorithm>
#include <array>

#include "app/LyricTools.h"

namespace {

std::string ToShiftJis(const std::string& text, std::string& note) {
  std::size_t replaced = 0;
  std::string result = ConvertToShiftJis(text, &replaced);
  if (replaced > 0) note = std::to_string(replaced) + " 文字を Shift-JIS で表せないため ? にしました";
  return result;
}

template <std::string (*Transform)(const std::string&)>
std::string Plain(const std::string& text, std::string&) {
  return Transform(text);
}

template <std::string (*Transform)(const std::string&, std::size_t*)>
std::string Removing(const std::string& text, std::string&) {
  return Transform(text, nullptr);
}

const std::array kCommands = {
    TToolCommand{"delete-time-tags", "タイムタグ [mm:ss:cc] をすべて削除します", Removing<DeleteTimeTags>},
    TToolCommand{"delete-karaoke-tags",
                 "行頭以外のカラオケタグを削除します (1 回分: 隣り合うタグは 2 回目で消えます)",
                 Removing<DeleteKaraokeTags>},
    TToolCommand{"delete-blank-lines", "空白、タブ、全角空白だけの行を削除します", Removing<DeleteUselessLines>},
    TToolCommand{"to-utf8", "Shift-JIS から UTF-8 に変換します", Plain<ConvertToUtf8>},
    TToolCommand{"to-sjis", "UTF-8 から Shift-JIS に変換します (表せない文字は ? になります)", ToShiftJis},
};

}  // namespace

std::span<const TToolCommand> ToolCommands() { return kCommands; }

const TToolCommand* FindToolCommand(std::string_view name) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [name](const TToolCommand& command) { return name == command.Name; });
  return found == kCommands.end() ? nullptr : &*found;
}
