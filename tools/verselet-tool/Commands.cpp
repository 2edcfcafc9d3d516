// The command table of verselet-tool over the lyric clean-up filters.
#include "tools/verselet-tool/Commands.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/core/TagCheck.h"
#include "app/core/TimeTagEdits.h"
#include "app/core/TimeTagFilter.h"
#include "app/core/UselessLineFilter.h"
#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"

namespace {

// to-sjis that refuses, when it has seen the whole text, to have written "?".
class TCheckedShiftJisEncoder : public TShiftJisEncoder {
 public:
  explicit TCheckedShiftJisEncoder(bool lossy) : FLossy(lossy) {}

 protected:
  std::size_t Scan(std::string_view data, bool final, std::string& out) override {
    const std::size_t used = TShiftJisEncoder::Scan(data, final, out);
    if (final && Replaced() > 0 && !FLossy) throw EUnwritableText(Replaced(), Unwritable());
    return used;
  }

 private:
  const bool FLossy;
};

std::unique_ptr<TBlockFilter> TimeTags(const TFilterSettings&) {
  return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::All);
}

std::unique_ptr<TBlockFilter> KaraokeTags(const TFilterSettings&) {
  return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::AfterCharacter);
}

std::unique_ptr<TBlockFilter> UselessLines(const TFilterSettings&) { return std::make_unique<TUselessLineFilter>(); }

std::unique_ptr<TBlockFilter> ToUtf8(const TFilterSettings&) { return std::make_unique<TUtf8Encoder>(); }

std::unique_ptr<TBlockFilter> ToShiftJis(const TFilterSettings& settings) {
  return std::make_unique<TCheckedShiftJisEncoder>(settings.Lossy);
}

std::unique_ptr<TBlockFilter> AllTimeTags(const TFilterSettings&) { return std::make_unique<TAllTimeTagFilter>(); }

std::unique_ptr<TBlockFilter> ShiftTags(const TFilterSettings& settings) {
  return std::make_unique<TTagShiftFilter>(settings.ShiftMillis);
}

std::unique_ptr<TBlockFilter> UnifyTags(const TFilterSettings& settings) {
  return std::make_unique<TTagFormFilter>(settings.TagSeparator);
}

std::unique_ptr<TBlockFilter> CheckTags(const TFilterSettings& settings) {
  return std::make_unique<TTagCheckFilter>(settings.Display);
}

std::unique_ptr<TBlockFilter> ConvertCharacters(const TFilterSettings& settings) {
  return std::make_unique<TKanaWidthFilter>(settings.Target);
}

std::unique_ptr<TBlockFilter> Prepare(const TFilterSettings& settings) {
  return std::make_unique<TPlayerPrepareFilter>(settings.Prepare, settings.Display);
}

std::string NoNote(const TBlockFilter&) { return ""; }

std::string PreparedNote(const TBlockFilter& filter) {
  std::string note;
  for (const std::string& line : DescribePrepareCounts(static_cast<const TPlayerPrepareFilter&>(filter).Counts(), true))
    note += (note.empty() ? "" : "、") + line;
  return note;
}

std::string ConvertedNote(const TBlockFilter& filter) {
  return std::to_string(static_cast<const TKanaWidthFilter&>(filter).Changed()) + " 文字を変換しました";
}

std::string ClampedNote(const TBlockFilter& filter) {
  const auto& shift = static_cast<const TTagShiftFilter&>(filter);
  std::string note;
  if (shift.Clamped() > 0) note = std::to_string(shift.Clamped()) + " 個のタグは 0 秒より前になるので 0 秒にしました";
  if (shift.ClampedAtLatest() > 0) {
    if (!note.empty()) note += "。";
    note += std::to_string(shift.ClampedAtLatest()) +
            " 個のタグはタグで表せる最後の時刻 (999999:59.99) より後になるのでその時刻にしました";
  }
  return note;
}

const std::array kCommands = {
    TToolCommand{"delete-time-tags", "タイムタグ [mm:ss:cc] をすべて削除します", TimeTags, NoNote},
    TToolCommand{"delete-karaoke-tags",
                 "行頭以外のカラオケタグを、隣り合うものも含めて削除します", KaraokeTags, NoNote},
    TToolCommand{"delete-blank-lines", "空白、タブ、全角空白だけの行を削除します", UselessLines, NoNote},
    TToolCommand{"to-utf8", "Shift-JIS から UTF-8 に変換します", ToUtf8, NoNote, TCommandNeeds::Nothing, false, true},
    TToolCommand{"to-sjis",
                 "UTF-8 から Shift-JIS に変換します (Shift-JIS で表せない文字があれば変換しません)", ToShiftJis,
                 ReplacedNote, TCommandNeeds::Nothing, false, true},
    TToolCommand{"delete-all-time-tags",
                 "タイムタグを形式を問わずすべて削除します ([mm:ss:xx] [mm:ss.xx] [mm:ss.xxx] <mm:ss.xx>)", AllTimeTags,
                 NoNote},
    TToolCommand{"shift-tags", "行とワードのタイムタグを --by の秒数だけずらします (0 秒より前は 0 秒)", ShiftTags,
                 ClampedNote, TCommandNeeds::Offset},
    TToolCommand{"normalize-tags", "角括弧のタイムタグを --form の形 ([mm:ss.xx] か [mm:ss:xx]) にそろえます",
                 UnifyTags, NoNote, TCommandNeeds::TagForm},
    TToolCommand{"check", "タイムタグを検査し、問題を「ファイル:行: 内容」の形で標準出力に示します", CheckTags, NoNote,
                 TCommandNeeds::Nothing, true},
    TToolCommand{"convert",
                 "文字を --to の形 (halfwidth 半角、fullwidth 全角、katakana カタカナ、hiragana ひらがな) に変換します",
                 ConvertCharacters, ConvertedNote, TCommandNeeds::Target},
    TToolCommand{"prepare",
                 "--player (か --half と --lines) の表示のプレーヤー向けに整えます: 複数のタイムタグの行を時刻順の 1 行 "
                 "1 タグに分け、[offset:] を適用して削除し、ワードタグを削除し、タグを [mm:ss.xx] にそろえ、表示に収まらない"
                 "行を示します",
                 Prepare, PreparedNote, TCommandNeeds::Display, false, false, true},
};

// "'é' (U+00E9)": the character itself and its code point.
std::string Describe(char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  std::u16string units;
  if (c > 0xFFFF) {
    units = {static_cast<char16_t>(0xD7C0 + (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
  } else {
    units = {static_cast<char16_t>(c)};
  }
  // Controls would disturb the terminal; they are named by their code only.
  const bool printable = c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0);
  std::string text;
  if (printable) text.append("'").append(UnicodeToUtf8(units)).append("' ");
  return text.append("(").append(code).append(")");
}

}  // namespace

EUnwritableText::EUnwritableText(std::size_t count, std::vector<TUnwritableCharacter> first)
    : ETextEncodingError("Shift-JIS で表せない文字が " + std::to_string(count) +
                         " 個あるので変換しませんでした (--lossy を付けると ? に置き換えて変換します)"),
      FFirst(std::move(first)) {}

std::vector<std::string> EUnwritableText::Details() const {
  std::vector<std::string> lines;
  for (const TUnwritableCharacter& item : FFirst) {
    lines.push_back(std::to_string(item.Line) + ": 文字 " + Describe(item.Character) + " は Shift-JIS で表せません");
  }
  return lines;
}

std::string ReplacedNote(const TBlockFilter& filter) {
  const auto& encoder = static_cast<const TShiftJisEncoder&>(filter);
  std::string note = encoder.Folded() == 0 ? "" : DescribeFolded(encoder.Folded());
  if (encoder.Replaced() == 0) return note;
  if (!note.empty()) note += "。";
  return note + std::to_string(encoder.Replaced()) + " 文字を Shift-JIS で表せないため ? にしました";
}

std::unique_ptr<TShiftJisEncoder> MakeFromUtf8Filter(const TFilterSettings& settings) {
  return std::make_unique<TCheckedShiftJisEncoder>(settings.Lossy);
}

std::span<const TToolCommand> ToolCommands() { return kCommands; }

const TToolCommand* FindToolCommand(std::string_view name) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [name](const TToolCommand& command) { return name == command.Name; });
  return found == kCommands.end() ? nullptr : &*found;
}
