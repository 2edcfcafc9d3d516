// The real file dialogs: Qt's own texts in them are Japanese.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "app/core/DocumentNames.h"
#include "app/UnitCommonDialogs.h"

namespace {

// Waits for the modal dialog the next step opens, notes its title and the
// captions of its buttons, and cancels it.
class ModalWatcher {
 public:
  ModalWatcher() {
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      FTimer.stop();
      Title = dialog->windowTitle();
      for (const QPushButton* button : dialog->findChildren<QPushButton*>()) Buttons << button->text();
      dialog->reject();
    });
    FTimer.start(10);
  }
  QString Title;
  QStringList Buttons;

 private:
  QTimer FTimer;
};

TEST(CommonDialogsTest, TheOpenDialogSpeaksJapanese) {
  TQtCommonDialogs dialogs;
  ModalWatcher watcher;
  std::string fileName;
  EXPECT_FALSE(dialogs.ExecuteOpen(nullptr, OpenFilter, fileName));
  EXPECT_EQ(watcher.Title, "開く");
  EXPECT_TRUE(watcher.Buttons.contains("キャンセル")) << watcher.Buttons.join(", ").toStdString();
}

}  // namespace
