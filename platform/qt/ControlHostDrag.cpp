// ControlHostWidget: the control's text drags as Qt drags, text dropped from other programs, the primary selection, the context menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "platform/qt/ControlHostWidget.h"
#include "platform/qt/QtCursors.h"

void ControlHostWidget::BeginDrag(std::string_view text) {
  // Qt's drag starts at the first move with the button held, so that a
  // release before any move still reaches the control as a drop where it was pressed.
  FDragPending = true;
  FDragText = plainTextFromAnsi(text);
}

void ControlHostWidget::SetDragCursor(TCursor cursor) {
  FDragCursor = cursor;
  applyDragCursor();
}

void ControlHostWidget::applyDragCursor() {
  if (!FDrag) return;
  // The control chooses the cursor (Ctrl held or not); Qt shows the one of the action it settles on.
  const QPixmap image = CursorPixmap(FDragCursor);
  for (const Qt::DropAction action : {Qt::MoveAction, Qt::CopyAction}) FDrag->setDragCursor(image, action);
}

void ControlHostWidget::runDrag() {
  FDragPending = false;
  auto* mime = new QMimeData;
  mime->setText(FDragText);
  FDrag = new QDrag(this);
  FDrag->setMimeData(mime);
  applyDragCursor();
  FDroppedHere = false;
  // Runs until the button is released; the drop on this widget comes through dropEvent meanwhile.
  FDrag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  if (FDrag) FDrag->deleteLater();
  // The drag took the release: the button is up now.
  FMousePressedInClient = false;
  FButtons = Qt::NoButton;
  if (!attached()) return;
  if (FDroppedHere) noteInput(FDropModifiers, FButtons);
  FControl.DoEndDrag(FDroppedHere ? &FControl : nullptr, FDropPoint.x(), FDropPoint.y());
  offerPrimarySelection();
}

TObject* ControlHostWidget::dragSource(const QDropEvent& event) {
  if (event.source() == this) return &FControl;
  const QMimeData* mime = event.mimeData();
  if (!mime || !mime->hasText()) return nullptr;
  // Files are opened by the window around, not typed in as their names.
  const QList<QUrl> urls = mime->urls();
  if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) return nullptr;
  return &FForeignText;
}

bool ControlHostWidget::dragOver(QDropEvent& event, TDragState state) {
  const QPoint at = clientPoint(event.position());
  const bool own = FDragOverSource == &FControl;
  if (own && (event.modifiers() & Qt::ControlModifier) != (FModifiers & Qt::ControlModifier)) {
    // The drag takes the keys while it runs; Ctrl reaches the control as its key would.
    const bool ctrl = (event.modifiers() & Qt::ControlModifier) != 0;
    noteInput(event.modifiers(), FButtons);
    FControl.Perform(ctrl ? WM_KEYDOWN : WM_KEYUP, VK_CONTROL, ctrl ? 1 : LPARAM{static_cast<int>(0xC0000001u)});
  }
  bool accept = false;
  FControl.DragOver(FDragOverSource, at.x(), at.y(), state, accept);
  // Text from other programs is copied in; the other program keeps its own.
  const bool copy = !own || (event.modifiers() & Qt::ControlModifier);
  event.setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
  event.setAccepted(accept);
  return accept;
}

void ControlHostWidget::dragEnterEvent(QDragEnterEvent* event) {
  FDragOverSource = attached() ? dragSource(*event) : nullptr;
  if (!FDragOverSource) return event->ignore();
  if (dragOver(*event, TDragState::dsDragEnter)) dragOver(*event, TDragState::dsDragMove);
}

void ControlHostWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!FDragOverSource || !attached()) return event->ignore();
  dragOver(*event, TDragState::dsDragMove);
}

void ControlHostWidget::dragLeaveEvent(QDragLeaveEvent*) {
  TObject* source = std::exchange(FDragOverSource, nullptr);
  if (!source || !attached()) return;
  bool accept = false;
  const QPoint at = mapFromGlobal(QCursor::pos()) - FClientRect.topLeft();
  FControl.DragOver(source, at.x(), at.y(), TDragState::dsDragLeave, accept);
}

void ControlHostWidget::dropEvent(QDropEvent* event) {
  TObject* source = std::exchange(FDragOverSource, nullptr);
  if (!source || !attached()) return event->ignore();
  const QPoint at = clientPoint(event->position());
  const bool own = source == &FControl;
  event->setDropAction(own && !(event->modifiers() & Qt::ControlModifier) ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
  if (own) {
    // The control drops its own text when its drag ends, after this.
    FDroppedHere = true;
    FDropPoint = at;
    FDropModifiers = event->modifiers();
    FControl.DragDrop(source, at.x(), at.y());
    return;
  }
  // The question about characters code page 932 cannot hold waits until the
  // other program has had its answer to the drop.
  const QString text = event->mimeData()->text();
  QTimer::singleShot(0, this, [this, text, at] {
    if (attached()) deliverForeignText(text, at);
  });
}

void ControlHostWidget::deliverForeignText(const QString& text, QPoint at) {
  bool accept = false;
  // The caret goes to the point, as a drag over it would take it.
  FControl.DragOver(&FForeignText, at.x(), at.y(), TDragState::dsDragMove, accept);
  if (!accept) return;
  // A text announced by the drag that arrives empty was lost on its way from
  // the other program (too large or too slow for the transfer): say so
  // instead of dropping nothing.
  if (text.isEmpty()) {
    FControl.DragOver(&FForeignText, at.x(), at.y(), TDragState::dsDragLeave, accept);
    MessageBox("ドロップされたテキストを受け取れませんでした (届いたデータが空でした)。", "", MB_ICONWARNING);
    return;
  }
  if (!ansiFromPlainText(text, FForeignText.Text)) {
    FControl.DragOver(&FForeignText, at.x(), at.y(), TDragState::dsDragLeave, accept);
    return;
  }
  FControl.DragDrop(&FForeignText, at.x(), at.y());
}

void ControlHostWidget::offerPrimarySelection() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection() || !attached()) return;
  std::string text = FControl.SelText();
  // Without a selection the text offered last stays offered, as other programs do it.
  if (text.empty() || (clipboard->ownsSelection() && text == FOfferedSelection)) return;
  clipboard->setText(plainTextFromAnsi(text), QClipboard::Selection);
  FOfferedSelection = std::move(text);
}

void ControlHostWidget::openContextMenuFromKeyboard() {
  // The point (-1, -1) says that the keyboard asked: the control chooses where the menu opens.
  FControl.Perform(WM_CONTEXTMENU, WindowHandle(), LPARAM{static_cast<int>(0xFFFFFFFFu)});
}

void ControlHostWidget::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  // The right button's press has already reached the control, which opened its menu there.
  if (attached() && event->reason() == QContextMenuEvent::Keyboard) openContextMenuFromKeyboard();
}
