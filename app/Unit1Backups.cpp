// TForm1: offering the backup that an in-place save, stopped half-way by a crash, left behind.
#include <QFile>

#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "platform/AtomicFileBackup.h"
#include "platform/Exceptions.h"

namespace {

QString NameOf(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

}  // namespace

bool TForm1::OfferLeftBackup(const TLeftBackup& left, const QString& laterButton) {
  const QString text = NameOf(left.Target) + " の前回の保存は途中で終わりました。ファイルの後ろに古い内容が" +
                       "残っているかもしれません。\n保存前の内容が " + NameOf(left.Backup) +
                       " に残っています。\nファイルを保存前の内容に戻しますか?";
  switch (FDialogs.Ask(this, {text, {"元に戻す", "バックアップを削除", laterButton}, 0, 2})) {
    case 0:
      try {
        RestoreLeftBackup(left);
      } catch (const EInOutError& e) {
        FDialogs.ShowError(this, QString::fromStdString(e.Message()));
        return false;
      }
      return true;
    case 1:
      DiscardLeftBackup(left);
      return true;
    default:
      return false;
  }
}

bool TForm1::OfferLeftBackupOf(const std::string& fileName) {
  const std::optional<TLeftBackup> left = FindLeftBackup(fileName);
  return !left || OfferLeftBackup(*left, "キャンセル");
}

void TForm1::OfferLeftBackupsAtStart() {
  for (const TLeftBackup& left : LeftBackupsInStateFolder()) OfferLeftBackup(left, "後で");
}
