// TManualWindow: the manual, which is the README rendered, in a window of its own.
#pragma once

#include <QTextBrowser>

// Shows the README and its pictures as the program carries them; links to
// the web open in the browser.
class TManualWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit TManualWindow(QWidget* parent = nullptr);
};
