// TManualWindow: the manual, which is the README rendered, in a window of its own.
#include "app/UnitManual.h"

#include <QUrl>

#include "app/core/DocumentNames.h"

TManualWindow::TManualWindow(QWidget* parent) : QTextBrowser(parent) {
  // A window of its own beside the editor, not a dialog in front of it.
  setWindowFlag(Qt::Window);
  setWindowTitle(QString("使い方 - ") + ApplicationTitle);
  setOpenExternalLinks(true);
  setSource(QUrl("qrc:/manual/README.md"), QTextDocument::MarkdownResource);
  resize(760, 640);
}
