// TForm1: the texts that windows left unsaved when they ended, offered at start and opened again as unsaved changes.
#include <QFile>

#include "app/core/DocumentNames.h"
#include "app/core/RecoveryListing.h"
#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitRecoveryKeeper.h"
#include "editor/RyxEdit.h"
#include "platform/Exceptions.h"

namespace {

QString Quoted(const std::string& fileName) {
  return "「" + QFile::decodeName(QByteArray::fromStdString(ExtractFileName(fileName))) + "」";
}

}  // namespace

void TForm1::OfferRecoveriesAtStart() {
  if (!FRecovery->Error().isEmpty()) {
    FDialogs.ShowError(this, FRecovery->Error() + "\n保存していないテキストは、プログラムが止まると失われます。");
  }
  std::vector<TOrphanRecovery> orphans = TakeOrphanRecoveries(RecoveryFolder());
  while (!orphans.empty()) {
    std::vector<TRecoveryListing> rows;
    std::vector<bool> readable;
    for (const TOrphanRecovery& orphan : orphans) {
      rows.push_back(ListingOf(orphan));
      readable.push_back(orphan.Error.empty());
    }
    int selected = 0;
    const TRecoveryChoice choice = FDialogs.ChooseRecovery(this, rows, readable, selected);
    if (choice == TRecoveryChoice::Later || selected < 0 || static_cast<std::size_t>(selected) >= orphans.size())
      return;
    TOrphanRecovery& orphan = orphans[static_cast<std::size_t>(selected)];
    if (choice == TRecoveryChoice::Discard) {
      DiscardRecovery(orphan);
    } else if (RestoreRecovery(orphan)) {
      // This window holds a text now; the others stay for the next start.
      return;
    } else if (orphan.Error.empty()) {
      return;
    } else {
      continue;  // shown again, with why it cannot be read
    }
    orphans.erase(orphans.begin() + selected);
  }
}

bool TForm1::RestoreRecovery(TOrphanRecovery& orphan) {
  TRecoveredText recovered;
  try {
    recovered = ReadRecoveryFile(orphan.File);
  } catch (const EInOutError& e) {
    orphan.Error = e.Message();
    FDialogs.ShowError(this, QString::fromStdString(e.Message()));
    return false;
  }
  std::string fileName = recovered.Header.FileName;
  TFileStamp disk = recovered.Header.Disk;
  const TDiskState state = DiskStateOf(recovered.Header);
  if (state == TDiskState::Changed) {
    const TQuestion question{Quoted(fileName) + " は、復元するテキストを読み込んだ、または保存した後に" +
                                 "ほかのプログラムで変更されています。\n復元したテキストを新しい名前で開きますか?",
                             {"新しい名前で開く", "元の名前で開く", "キャンセル"}, 0, 2};
    switch (FDialogs.Ask(this, question)) {
      case 0:
        fileName = RecoveredFileName(fileName);
        disk = {};
        break;
      case 1:
        break;  // saving then asks before it writes over the other program's change
      default:
        return false;
    }
  }
  if (state == TDiskState::Missing) disk = {};
  if (!QuerySaveChanges()) return false;
  // The text is one change of the file as it was loaded or saved, so that
  // the title shows it unsaved and undo goes back to that file; without
  // that file, a change of an empty text.
  if (state != TDiskState::Unchanged || !disk.Exists || !RyxEdit1->LoadFromFile(fileName)) RyxEdit1->ClearAll();
  RyxEdit1->ReplaceAllText(recovered.Text);
  SetCurrentFileName(fileName);
  FDiskStamp = disk;
  FIgnoredStamp = {};
  const TDisplayPos caret = RyxEdit1->ToDisplay({std::max(0, recovered.Header.Caret.Line), recovered.Header.Caret.Col});
  RyxEdit1->MoveCaretTo(caret.Line, caret.Col);
  // The text is in this window's own recovery file before the orphan goes;
  // when it cannot be written there, the orphan stays.
  FRecovery->WriteNow();
  if (FRecovery->Error().isEmpty()) DiscardRecovery(orphan);
  return true;
}
