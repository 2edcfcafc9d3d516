// TEditActions: the edit commands of an editor control as actions, for the main menu and popup menus.
#pragma once

#include <QObject>
#include <string>

class QAction;
class QMenu;
class TRyxEdit;

// Each action does what its key does in the control, so that a shortcut
// caught by the action and a key that reaches the control act the same.
// UpdateState enables each one as the control's state allows; the owner
// calls it when the control reports a change.
class TEditActions : public QObject {
  Q_OBJECT

 public:
  TEditActions(TRyxEdit& edit, QObject* parent);

  // The actions in their usual order, with separators between the groups.
  void AddTo(QMenu& menu) const;
  void UpdateState();

  QAction* Undo;
  QAction* Redo;
  QAction* Cut;
  QAction* Copy;
  QAction* Paste;
  QAction* Delete;
  QAction* SelectAll;

 private:
  TRyxEdit& FEdit;
};

// Types bytes over the selection in insert mode, whatever the mode was, so
// that the selection and what replaces it are one undo step.
void ReplaceSelection(TRyxEdit& edit, const std::string& bytes);
