// TForm1: offering to convert a UTF-8 or UTF-16 file to Shift-JIS when it is opened.
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <fstream>
#include <exception>
#include <iterator>

#include "app/core/FileEncodingScan.h"
#include "app/Unit1.h"
#include "app/UnitStatusFields.h"
#include "app/UnitCommonDialogs.h"
#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"
#include "platform/LookAlikeFolds.h"
#include "platform/LossyCharacters.h"

TForm1::TOpenChoice TForm1::OfferConversion(const std::string& fileName, std::string& converted,
                                            std::size_t& folded, TSaveEncoding& writeAs) {
  // A file that cannot be read, one too large and a Shift-JIS one are left
  // to the editor's load, which reads them once and says why it fails. The
  // scan reads no further than its answer needs.
  TEncodingScan scan;
  try {
    scan = ScanFileEncoding(fileName, TRyxStrings::kMaxFileBytes);
  } catch (const std::exception&) {
    return TOpenChoice::AsItIs;
  }
  if (scan.TooLarge) return TOpenChoice::AsItIs;
  const QString name = QFile::decodeName(QByteArray::fromStdString(fileName));
  if (scan.HoldsNul) {
    // Converted, the text would end at the NUL: refused as a binary file, as a Shift-JIS one is.
    FDialogs.ShowError(this, name + " を開けませんでした。\n" + name + " はテキストファイルではありません (NUL 文字を含んでいます)");
    return TOpenChoice::Cancel;
  }
  const TFileEncoding encoding = scan.Encoding;
  if (encoding == TFileEncoding::ShiftJis) return TOpenChoice::AsItIs;
  const QString text =
      QString("%1 は %2 のファイルです。\nShift-JIS に変換して開きますか?").arg(name, FileEncodingName(encoding));
  switch (FDialogs.Ask(this, {text, {"変換して開く", "そのまま開く", "キャンセル"}, 0, 2})) {
    case 0:
      break;
    case 1:
      return TOpenChoice::AsItIs;
    default:
      return TOpenChoice::Cancel;
  }
  // Read whole only now, to be converted; a file that failed meanwhile is left to the load.
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return TOpenChoice::AsItIs;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return TOpenChoice::AsItIs;
  if (!TakeInUtf8(DecodeToUtf8(bytes, encoding), converted, folded)) return TOpenChoice::Cancel;
  writeAs = SaveEncodingOf(encoding, bytes);
  return TOpenChoice::Converted;
}

bool TForm1::TakeInUtf8(std::string_view utf8, std::string& converted, std::size_t& folded) {
  const TLossyReport lossy = FindLossyCharacters(utf8);
  if (lossy.Count > 0 && !AskLossyCharacters(lossy)) return false;
  converted = UnicodeToAnsi(Utf8ToUnicode(utf8), nullptr, &folded);
  return true;
}

void TForm1::ShowFolded(std::size_t count) {
  if (count > 0) StatusBar1->showMessage(QString::fromStdString(DescribeFolded(count)));
}

void TForm1::SetSaveEncoding(TSaveEncoding encoding) {
  FSaveEncoding = encoding;
  StatusFields->Encoding->ShowText(SaveEncodingName(encoding));
}
