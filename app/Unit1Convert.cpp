// TForm1: the width and kana conversions of the "ツール(&T)" menu, with the player rows they save or add.
#include <QStatusBar>
#include <algorithm>

#include "app/Unit1.h"
#include "app/Unit1EditActions.h"
#include "app/core/KanaWidthConversion.h"
#include "editor/RyxEdit.h"

void TForm1::HalfwidthClick() { ConvertCharacters(TKanaWidthTarget::Halfwidth, "半角"); }

void TForm1::FullwidthClick() { ConvertCharacters(TKanaWidthTarget::Fullwidth, "全角"); }

void TForm1::KatakanaClick() { ConvertCharacters(TKanaWidthTarget::Katakana, "カタカナ"); }

void TForm1::HiraganaClick() { ConvertCharacters(TKanaWidthTarget::Hiragana, "ひらがな"); }

void TForm1::ConvertCharacters(TKanaWidthTarget target, const char* what) {
  TKanaWidthFilter filter(target, std::max(1, FDeviceSettings.HalfCount));
  if (RyxEdit1->SelActive()) {
    // The rows counted are those of the selected text, which is typed over as one step.
    const std::string converted = filter.Apply(RyxEdit1->SelText());
    if (filter.Changed() > 0) ReplaceSelection(*RyxEdit1, converted);
  } else {
    ApplyTextTool(filter);
  }
  QString message = QString("%1 文字を%2に変換しました").arg(filter.Changed()).arg(what);
  const std::size_t before = filter.RowsBefore();
  const std::size_t after = filter.RowsAfter();
  if (after < before) message += QString("。プレーヤーの表示が %1 行減りました").arg(before - after);
  if (after > before) message += QString("。プレーヤーの表示が %1 行増えました").arg(after - before);
  StatusBar1->showMessage(message);
}
