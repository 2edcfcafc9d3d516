// TForm1: the recent files in the file menu and in their section of the settings file.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <filesystem>
#include <system_error>

#include "app/Unit1.h"
#include "platform/IniFile.h"

namespace {

bool Missing(const std::string& fileName) {
  std::error_code error;
  return !std::filesystem::is_regular_file(fileName, error);
}

}  // namespace

void TForm1::ReadRecentFiles() { FRecentFiles.Read(TIniFile(FSettingsFile)); }

void TForm1::WriteRecentFiles() {
  // Opened now, so that the written section and what another running copy wrote stay as they are on disk.
  TIniFile ini(FSettingsFile);
  FRecentFiles.Write(ini);
  ini.UpdateFile();
}

void TForm1::NoteRecentFile(const std::string& fileName) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
  FRecentFiles.Add(error ? fileName : absolute.lexically_normal().string());
}

void TForm1::RemoveMissingRecentFiles() { FRecentFiles.RemoveIf(Missing); }

void TForm1::UpdateRecentMenu() {
  for (QAction* action : FRecentActions) {
    N1->removeAction(action);
    action->deleteLater();
  }
  FRecentActions.clear();
  const std::vector<std::string>& names = FRecentFiles.Names();
  if (names.empty()) return;
  bool anyMissing = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string name = names[i];
    // "&" in a name would otherwise become an accelerator.
    const QString shown = QFile::decodeName(QByteArray::fromStdString(name)).replace("&", "&&");
    auto* action = new QAction(QString("&%1 %2").arg(i + 1).arg(shown), N1);
    const bool missing = Missing(name);
    anyMissing = anyMissing || missing;
    action->setEnabled(!missing);
    connect(action, &QAction::triggered, this, [this, name] {
      Run([this, &name] {
        if (QuerySaveChanges()) OpenFile(name);
      });
    });
    FRecentActions.push_back(action);
  }
  auto* removeMissing = new QAction("見つからないファイルを一覧から削除(&R)", N1);
  removeMissing->setEnabled(anyMissing);
  connect(removeMissing, &QAction::triggered, this, [this] { Run([this] { RemoveMissingRecentFiles(); }); });
  FRecentActions.push_back(removeMissing);
  auto* separator = new QAction(N1);
  separator->setSeparator(true);
  FRecentActions.push_back(separator);
  for (QAction* action : FRecentActions) N1->insertAction(E1, action);
}
