// TApplication: the application object, which reports the exceptions that reach the event loop and goes on.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

using TExceptionEvent = std::function<void(const std::exception& e)>;

// Installs the live system colours and Qt's Japanese texts for its own
// dialogs. Only one exists, for the program's whole run.
class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  // The running application object.
  static TApplication& Instance();

  // An exception that escaped an event handler goes to HandleException.
  bool notify(QObject* receiver, QEvent* event) override;
  // OnException when set, else ShowException.
  void HandleException(const std::exception& e);
  // The exception's text in a modal message box over the active window.
  void ShowException(const std::exception& e);

  TExceptionEvent OnException;
};
