// TRecoveryDialog: the list of texts that were not saved when their window ended, offered at start.
#pragma once

#include <QDialog>
#include <vector>

#include "app/core/RecoveryListing.h"

class QPushButton;
class QTreeWidget;

enum class TRecoveryChoice { Restore, Discard, Later };

// One row per recovery file: name, time, note. 復元 (the default button)
// and 破棄 act on the selected row; 後で, Escape and the close box leave
// every file for later. A row that cannot be read can only be discarded.
class TRecoveryDialog : public QDialog {
  Q_OBJECT

 public:
  TRecoveryDialog(const std::vector<TRecoveryListing>& rows, const std::vector<bool>& readable,
                  QWidget* parent = nullptr);

  TRecoveryChoice Choice() const { return FChoice; }
  int Selected() const;

  QTreeWidget* List;
  QPushButton* RestoreButton;
  QPushButton* DiscardButton;
  QPushButton* LaterButton;

 private:
  void Choose(TRecoveryChoice choice);
  void SelectionChanged();

  std::vector<bool> FReadable;
  TRecoveryChoice FChoice = TRecoveryChoice::Later;
};
