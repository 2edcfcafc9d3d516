// Answers the message boxes a test makes the host show, and keeps the text of the last one.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

class TMessageBoxCloser {
 public:
  TMessageBoxCloser() {
    FTimer.setInterval(10);
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Shown = box->text();
        box->accept();
      }
    });
    FTimer.start();
  }

  QString Shown;

 private:
  QTimer FTimer;
};
