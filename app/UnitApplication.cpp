// TApplication: the application object, which reports the exceptions that reach the event loop and goes on.
#include "app/UnitApplication.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "app/core/DocumentNames.h"
#include "platform/qt/QtSystemColors.h"

namespace {

TApplication* gApplication = nullptr;

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  gApplication = this;
  InstallSystemColorResolver();
  // Every window shows the icon of the desktop entry, in the size it needs.
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QString(":/icons/%1x%1/verselet.png").arg(size));
  setWindowIcon(icon);
  setDesktopFileName("verselet");
  // The interface is Japanese; Qt's file dialogs and buttons should be too.
  auto* translator = new QTranslator(this);
  if (translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(translator);
  }
}

TApplication::~TApplication() { gApplication = nullptr; }

TApplication& TApplication::Instance() { return *gApplication; }

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    HandleException(e);
    return false;
  }
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException) {
    OnException(e);
  } else {
    ShowException(e);
  }
}

void TApplication::ShowException(const std::exception& e) {
  QMessageBox::critical(activeWindow(), ApplicationTitle, QString::fromUtf8(e.what()));
}
