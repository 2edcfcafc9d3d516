// TCommonDialogs: the file dialogs and message boxes the main window shows, behind one interface.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "app/UnitRecoveryDialog.h"
#include "app/core/SaveEncoding.h"

class QWidget;
class TPrepareDialog;

// A question to the user with buttons of its own. The answer is the index
// of the button chosen; Enter chooses DefaultButton, Escape and the close
// box CancelButton.
struct TQuestion {
  QString Text;
  std::vector<QString> Buttons;
  int DefaultButton = 0;
  int CancelButton = 0;
};

// Filters are "description|pattern" pairs joined by "|" (see
// DocumentNames.h); file names are file-system bytes. Tests put a fake in
// place of the real dialogs.
class TCommonDialogs {
 public:
  virtual ~TCommonDialogs() = default;

  // fileName comes in as the name to start from (may be empty) and goes out
  // as the chosen one; false when the user cancelled. The chosen file need
  // not exist.
  virtual bool ExecuteOpen(QWidget* parent, const std::string& filter, std::string& fileName) = 0;
  // filterIndex (1-based) comes in as the filter to preselect and goes out
  // as the one the user chose, and encoding likewise. An existing file is
  // chosen without asking.
  virtual bool ExecuteSave(QWidget* parent, const std::string& filter, std::string& fileName, int& filterIndex,
                           TSaveEncoding& encoding) = 0;
  // A modal box with an error text.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // A modal question; returns the index of the button chosen.
  virtual int Ask(QWidget* parent, const TQuestion& question) = 0;
  // A modal box asking for a whole number from min to max; value comes in as
  // the number offered and goes out as the one chosen; false when cancelled.
  virtual bool AskNumber(QWidget* parent, const QString& title, const QString& label, int min, int max,
                         int& value) = 0;
  // A modal box asking for seconds with two decimals, negative ones too;
  // value comes in as the number offered and goes out as the one chosen.
  virtual bool AskSeconds(QWidget* parent, const QString& title, const QString& label, double& value) = 0;
  // The texts left by windows that ended unsaved (TRecoveryDialog); selected
  // goes out as the row the choice is for.
  virtual TRecoveryChoice ChooseRecovery(QWidget* parent, const std::vector<TRecoveryListing>& rows,
                                         const std::vector<bool>& readable, int& selected) = 0;
  // Shows the preparation dialog modally; true when the user chose to go on.
  virtual bool ExecutePrepare(TPrepareDialog& dialog) = 0;
};

// Qt's file dialogs and message box.
class TQtCommonDialogs final : public TCommonDialogs {
 public:
  bool ExecuteOpen(QWidget* parent, const std::string& filter, std::string& fileName) override;
  bool ExecuteSave(QWidget* parent, const std::string& filter, std::string& fileName, int& filterIndex,
                   TSaveEncoding& encoding) override;
  void ShowError(QWidget* parent, const QString& text) override;
  int Ask(QWidget* parent, const TQuestion& question) override;
  bool AskNumber(QWidget* parent, const QString& title, const QString& label, int min, int max, int& value) override;
  bool AskSeconds(QWidget* parent, const QString& title, const QString& label, double& value) override;
  TRecoveryChoice ChooseRecovery(QWidget* parent, const std::vector<TRecoveryListing>& rows,
                                 const std::vector<bool>& readable, int& selected) override;
  bool ExecutePrepare(TPrepareDialog& dialog) override;
};
