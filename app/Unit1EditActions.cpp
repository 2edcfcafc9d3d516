// TEditActions: the edit commands of an editor control as actions, for the main menu and popup menus.
#include "app/Unit1EditActions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <functional>

#include "editor/RyxEdit.h"

namespace {

QAction* MakeAction(QObject* parent, const char* caption, const QList<QKeySequence>& keys,
                    const std::function<void()>& run) {
  auto* action = new QAction(caption, parent);
  action->setShortcuts(keys);
  QObject::connect(action, &QAction::triggered, parent, run);
  return action;
}

}  // namespace

TEditActions::TEditActions(TRyxEdit& edit, QObject* parent) : QObject(parent), FEdit(edit) {
  // The control's own operations do not look at ReadOnly; its keys do, and so do these.
  TRyxEdit* target = &FEdit;
  auto unlessReadOnly = [target](void (TRyxEdit::*operation)()) -> std::function<void()> {
    return [target, operation] {
      if (!target->ReadOnly()) (target->*operation)();
    };
  };
  Undo = MakeAction(this, "元に戻す(&U)", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, unlessReadOnly(&TRyxEdit::Undo));
  Redo = MakeAction(this, "やり直し(&R)",
                    {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                    unlessReadOnly(&TRyxEdit::Redo));
  Cut =
      MakeAction(this, "切り取り(&T)", {QKeySequence(Qt::CTRL | Qt::Key_X)}, unlessReadOnly(&TRyxEdit::CutToClipboard));
  Copy = MakeAction(this, "コピー(&C)", {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { FEdit.CopyToClipboard(); });
  Paste = MakeAction(this, "貼り付け(&P)", {QKeySequence(Qt::CTRL | Qt::Key_V)},
                     unlessReadOnly(&TRyxEdit::PasteFromClipboard));
  // Delete without a selection removes one character, as the key does.
  Delete = MakeAction(this, "削除(&D)", {QKeySequence(Qt::Key_Delete)}, unlessReadOnly(&TRyxEdit::DeleteCharRight));
  SelectAll = MakeAction(this, "すべて選択(&A)", {QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] { FEdit.SelectAll(); });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TEditActions::UpdateState);
  UpdateState();
}

void TEditActions::AddTo(QMenu& menu) const {
  menu.addActions({Undo, Redo});
  menu.addSeparator();
  menu.addActions({Cut, Copy, Paste, Delete});
  menu.addSeparator();
  menu.addAction(SelectAll);
}

void TEditActions::UpdateState() {
  const bool writable = !FEdit.ReadOnly();
  const bool history = FEdit.UndoBuf() != 0;
  const bool selected = FEdit.SelActive() || FEdit.SelAll();
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  const TRyxStrings& lines = FEdit.Lines();
  Undo->setEnabled(writable && history && !FEdit.UndoList().empty());
  Redo->setEnabled(writable && history && !FEdit.RedoList().empty());
  Cut->setEnabled(writable && selected);
  Copy->setEnabled(selected);
  Paste->setEnabled(writable && clipboard && clipboard->hasText());
  Delete->setEnabled(writable && selected);
  SelectAll->setEnabled(lines.Count() > 1 || lines.Get(0).size() > 2);
}

void ReplaceSelection(TRyxEdit& edit, const std::string& bytes) {
  const bool overwrite = !edit.InsertMode();
  if (overwrite) edit.ToggleInsertMode();
  try {
    edit.TypeText(bytes);
  } catch (...) {
    if (overwrite) edit.ToggleInsertMode();
    throw;
  }
  if (overwrite) edit.ToggleInsertMode();
}
