// TForm1: offering to convert a UTF-8 or UTF-16 file to Shift-JIS when it is opened.
#include <QFile>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/core/FileEncoding.h"
#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "platform/CodePage.h"
#include "platform/LossyCharacters.h"

TForm1::TOpenChoice TForm1::OfferConversion(const std::string& fileName, std::string& converted) {
  // A file that cannot be read, or no file at all, is left to the editor's load, which says why.
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error)) return TOpenChoice::AsItIs;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return TOpenChoice::AsItIs;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return TOpenChoice::AsItIs;
  const TFileEncoding encoding = DetectFileEncoding(bytes);
  if (encoding == TFileEncoding::ShiftJis) return TOpenChoice::AsItIs;
  const QString text = QString("%1 は %2 のファイルです。\nShift-JIS に変換して開きますか?")
                           .arg(QFile::decodeName(QByteArray::fromStdString(fileName)), FileEncodingName(encoding));
  switch (FDialogs.Ask(this, {text, {"変換して開く", "そのまま開く", "キャンセル"}, 0, 2})) {
    case 0:
      break;
    case 1:
      return TOpenChoice::AsItIs;
    default:
      return TOpenChoice::Cancel;
  }
  const std::string utf8 = DecodeToUtf8(bytes, encoding);
  const TLossyReport lossy = FindLossyCharacters(utf8);
  if (lossy.Count > 0 && !AskLossyCharacters(lossy)) return TOpenChoice::Cancel;
  converted = UnicodeToAnsi(Utf8ToUnicode(utf8));
  return TOpenChoice::Converted;
}
