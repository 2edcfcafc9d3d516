// TForm1: the questions the main window asks before it could lose or overwrite work.
#include <QFile>

#include "app/core/DocumentNames.h"
#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "platform/LossyCharacters.h"

namespace {

// The name as the title shows it, in the 「」 quotes of a Japanese sentence.
QString Quoted(const std::string& fileName) {
  return "「" + QFile::decodeName(QByteArray::fromStdString(ExtractFileName(fileName))) + "」";
}

}  // namespace

TForm1::TSaveChoice TForm1::AskSaveChanges() {
  const QString what = FCurrentFileName.empty() ? QString(UntitledName) : Quoted(FCurrentFileName);
  const int answer =
      FDialogs.Ask(this, {what + " への変更を保存しますか?", {"保存", "保存しない", "キャンセル"}, 0, 2});
  return answer == 0 ? TSaveChoice::Save : answer == 1 ? TSaveChoice::Discard : TSaveChoice::Cancel;
}

bool TForm1::AskOverwrite(const std::string& fileName) { return AskToReplace(Quoted(fileName) + " は既にあります。"); }

bool TForm1::AskOverwriteReadOnly(const std::string& fileName) {
  return AskToReplace(Quoted(fileName) + " は読み取り専用です。");
}

bool TForm1::AskOverwriteChangedFile(const std::string& fileName) {
  return AskToReplace(Quoted(fileName) + " は読み込んだ後にほかのプログラムで変更されています。");
}

bool TForm1::AskToReplace(const QString& reason) {
  // Enter and Escape both keep the file: replacing it is the choice that cannot be taken back.
  const TQuestion question{reason + "\n上書きしますか?", {"上書きする", "上書きしない"}, 1, 1};
  return FDialogs.Ask(this, question) == 0;
}

bool TForm1::AskReload(const std::string& fileName) {
  const TQuestion question{Quoted(fileName) + " がほかのプログラムで変更されました。\n読み込み直しますか?",
                           {"読み込み直す", "そのままにする"}, 0, 1};
  return FDialogs.Ask(this, question) == 0;
}

bool TForm1::AskLossyCharacters(const TLossyReport& report) {
  QString shown;
  for (const std::string& sample : report.Samples) shown += "「" + QString::fromStdString(sample) + "」";
  const QString text = QString("次の文字は Shift-JIS で表せないため「?」になります:\n%1 (全 %2 文字)\n続けますか?")
                           .arg(shown)
                           .arg(report.Count);
  return FDialogs.Ask(this, {text, {"続ける", "キャンセル"}, 1, 1}) == 0;
}
