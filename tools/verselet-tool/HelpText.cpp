// The help of verselet-tool: commands, options and notes, wrapped to 80 columns.
#include "tools/verselet-tool/HelpText.h"

#include <algorithm>
#include <vector>

#include "tools/verselet-tool/Commands.h"
#include "tools/verselet-tool/FormatCommands.h"

namespace {

constexpr std::size_t kDescriptionColumn = 24;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Characters that never begin a line.
bool ClosesLine(std::string_view character) {
  for (std::string_view c : {"、", "。", "」", "）", ")"})
    if (character == c) return true;
  return false;
}

struct TUnit {
  std::string Text;
  bool SpaceBefore = false;
};

// Words of ASCII and single Japanese characters, each a place to break before.
std::vector<TUnit> Units(std::string_view text) {
  std::vector<TUnit> units;
  bool space = false;
  bool inWord = false;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1;
    while (i + n < text.size() && IsContinuation(static_cast<unsigned char>(text[i + n]))) ++n;
    const std::string_view character = text.substr(i, n);
    i += n;
    if (character == " ") {
      space = true;
      inWord = false;
      continue;
    }
    const bool ascii = n == 1;
    if ((ascii && inWord) || (!units.empty() && !space && ClosesLine(character))) {
      units.back().Text += character;
    } else {
      units.push_back({std::string(character), space});
    }
    inWord = ascii;
    space = false;
  }
  return units;
}

// "  NAME" padded to the description column, then the description.
std::string Entry(std::string_view name, std::string_view description) {
  std::string line = "  " + std::string(name);
  if (line.size() + 2 > kDescriptionColumn) return line + "\n" + std::string(kDescriptionColumn, ' ') +
                                                    WrapToColumns(description, kDescriptionColumn, kDescriptionColumn);
  line.resize(kDescriptionColumn, ' ');
  return line + WrapToColumns(description, kDescriptionColumn, kDescriptionColumn);
}

std::string Paragraph(std::string_view text) { return WrapToColumns(text, 0, 0); }

}  // namespace

std::size_t TerminalColumns(std::string_view text) {
  std::size_t columns = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) ++columns;
    else if (b >= 0xE0) columns += 2;
  }
  return columns;
}

std::string WrapToColumns(std::string_view text, std::size_t at, std::size_t indent, std::size_t width) {
  std::string out;
  std::size_t column = at;
  bool lineStart = true;
  for (const TUnit& unit : Units(text)) {
    const std::size_t space = unit.SpaceBefore && !lineStart ? 1 : 0;
    const std::size_t columns = TerminalColumns(unit.Text);
    if (!lineStart && column + space + columns > width) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
      lineStart = true;
    }
    if (unit.SpaceBefore && !lineStart) {
      out += ' ';
      ++column;
    }
    out += unit.Text;
    column += columns;
    lineStart = false;
  }
  return out + "\n";
}

std::string HelpText() {
  std::string text = "使い方: verselet-tool コマンド [オプション] ファイル...\n\n" +
                     Paragraph("歌詞ファイルを Verselet のツールメニューと同じ規則で変換します。ファイルは "
                               "Shift-JIS (コードページ 932) のテキストとしてエディターと同じように読み (改行は "
                               "CR LF、LF、CR のどれでもよい)、結果を CR LF 改行で書き出します。") +
                     "\nコマンド:\n";
  for (const TToolCommand& command : ToolCommands()) text += Entry(command.Name, command.Summary);
  for (const TFormatCommand& command : FormatCommands()) text += Entry(command.Name, command.Summary);
  text += "\nオプション:\n";
  const std::pair<const char*, const char*> options[] = {
      {"-i, --in-place",
       "ファイルを結果で置き換えます。結果は一時ファイルに書いてから置き換えるので、書き込みに失敗しても元のファイル"
       "は残ります"},
      {"-o, --output DIR",
       "結果をフォルダ DIR (なければ作ります) に同じファイル名で書き出します (convert-format と extract では拡張子を"
       "変換先の形式のものにします)"},
      {"-f, --force",
       "読み取り専用のファイルも置き換えます (読み取り専用のまま残ります)。指定しないと、読み取り専用のファイルは"
       "元のままにして失敗とします"},
      {"--lossy",
       "to-sjis で Shift-JIS で表せない文字を ? にして変換します。指定しないと、そのような文字のあるファイルは元の"
       "ままにして、ファイル:行: の形でその文字を標準エラーに示し、失敗とします"},
      {"--from-utf8",
       "UTF-8 のファイルと、バイトオーダーマークのある UTF-16 のファイルを Shift-JIS に変換してからコマンドを実行"
       "します (Shift-JIS で表せない文字は to-sjis と同じく扱い、--lossy で ? にします)。指定しないと、UTF-8 の"
       "ファイルは UTF-8 のまま処理して UTF-8 で (バイトオーダーマークも元のとおりに) 書き出し、UTF-16 のファイル"
       "は元のままにして標準エラーに報告し、失敗とします (to-utf8 と to-sjis 以外のコマンド)"},
      {"--by SECONDS", "shift-tags でずらす秒数です (例: 1.5, -0.25。小数は 3 桁まで)"},
      {"--form dot|colon", "normalize-tags でそろえる形です: dot は [mm:ss.xx]、colon は [mm:ss:xx]"},
      {"--from srt|ass|lrc|kra", "convert-format で読むファイルの形式です"},
      {"--to srt|ass|lrc|kra",
       "convert-format で書き出す形式です。srt と ass は UTF-8、lrc と kra は Shift-JIS で書きます。UTF-8 のファイルは"
       "to-sjis と同じく Shift-JIS の文字にしてから変換します"},
      {"--last-line SECONDS",
       "convert-format で、終わりの分からない最後の行を表示する秒数です (既定 5)。SRT や ASS から読むときは、最後の行"
       "がちょうどこの長さなら終わりの行を書きません"},
      {"--kf", "convert-format --to ass で、\\k の代わりに \\kf (色が音節をなめらかに塗る) を書きます"},
      {"--to halfwidth|fullwidth|katakana|hiragana",
       "convert で変換する形です: halfwidth は英数字・記号・空白・カタカナを半角に (ガ は ｶﾞ)、fullwidth はその逆、"
       "katakana はひらがなをカタカナに、hiragana はカタカナをひらがなにします。Shift-JIS にない文字になるもの "
       "(ヷ、ゔ など) はそのままです"},
      {"--half N --lines M",
       "check で、タグを除いた各行が 1 行 N 桁 (半角) M 行の表示に収まるかも調べます (全角文字は 2 桁で、行を"
       "またぎません)。表示の 2 行目から後が「。」「」」「ー」や小さい「っ」など行頭に来ない文字で始まる行も"
       "「表示の 2 行目が「。」で始まります」のように示します"},
      {"--player NAME",
       "check と prepare で、設定ダイアログのプレーヤー NAME の表示の大きさを使います (例: --player iMP-150 は 13 桁 "
       "2 行)。prepare はこの表示に収まらない行を標準エラーに示します"},
      {"--no-expand", "prepare で、複数のタイムタグの行を分けずにそのままにします"},
      {"--keep-word-tags", "prepare で、ワードタグ (<mm:ss.xx> と行の途中のタグ) を削除せずに残します"},
      {"--keep-precision", "prepare で、タグの形 ([mm:ss:xx]、[mm:ss.xxx]) をそのままにします"},
      {"--remove-id-lines", "prepare で、ID タグの行 ([ti:…] など) とカラオケのメタデータ行 (@Title=…) も削除します"},
      {"--encoding sjis|utf8|utf8-bom",
       "prepare で書き出す文字コードです: Shift-JIS (既定)、UTF-8、BOM 付きの UTF-8。UTF-8 のファイルは Shift-JIS "
       "に変換してから整えます (Shift-JIS で表せない文字は to-sjis と同じく扱います)"},
      {"--name-after-audio",
       "prepare で、結果を横にある同じ名前の音声ファイルに合わせて名付けます (song.mp3 があれば song.lrc)。-i では"
       "ファイルの横に、-o ではフォルダ DIR に書き出します"},
      {"--follow-links",
       "フォルダの下のシンボリックリンクのうち、フォルダの外のファイルを指すものも処理します。指定しないと、そのような"
       "リンクは処理せずに標準エラーに示します (ほかの人が書き込めるフォルダに置かれたリンクで別のファイルを書き換え"
       "ないため)"},
      {"-h, --help", "この説明を表示します"},
      {"--version", "バージョンを表示します"},
      {"--", "これより後の引数はすべてファイル名とみなします"},
  };
  for (const auto& [names, description] : options) text += Entry(names, description);
  text += '\n';
  text += Paragraph("ファイルの代わりにフォルダを指定すると、その下の .txt、.lrc、.kra ファイルをすべて処理します (-o "
                    "では同じ相対パスに書き出します)。書き換えるコマンドでは -i か -o が必要です。") +
          "\n" +
          Paragraph("-i も -o もないときは結果を標準出力に書きます (ファイルは 1 つだけ)。結果は一時フォルダ (TMPDIR) "
                    "の名前のない一時ファイルにためてから書くので、失敗するときは標準出力に何も書きません。ファイルは"
                    "少しずつ読んで書くので、大きなファイルでもメモリーはほとんど使いません。") +
          Paragraph("to-sjis と --from-utf8 は、Shift-JIS では別のコードの同じ形の文字で表される文字 (〜 U+301C、"
                    "− U+2212、‖ U+2016、— U+2014、¢ £ ¬ ¦ ¥ ‾) をその文字 (～ － ∥ ― ￠ ￡ ￢ ￤ \\ ~) にして、"
                    "いくつ置き換えたかを標準エラーに示します。") +
          Paragraph("NUL バイトを含むファイルはバイナリファイルとみなして処理しません。読めないファイル、書き込めない"
                    "ファイル、変換できないファイル (to-utf8 に Shift-JIS でないバイト、to-sjis に UTF-8 でないバイト) "
                    "は元のままにして標準エラーに報告し、残りのファイルの処理を続けます。") +
          "\n" +
          Paragraph("prepare の [offset:] はミリ秒で、正の値は歌詞を早めます (各タグの時刻から引きます)。0 秒より前に"
                    "なるタグは 0 秒にして、その数を示します。[offset:] はタイムタグのある行より前に置きます。繰り返しの"
                    "行の写しは、後の行の時刻の間のその時刻の位置に入ります。") +
          "\n" +
          Paragraph("check はファイルを書き換えず、問題を 1 行に 1 つ「ファイル:行: 内容」の形で標準出力に書きます "
                    "(ファイルはいくつでも指定できます)。") +
          "\n" +
          Paragraph("終了コード: 0 すべて成功、1 失敗したファイルがある (check では問題が見つかった)、2 コマンドライン"
                    "の誤り");
  return text;
}
