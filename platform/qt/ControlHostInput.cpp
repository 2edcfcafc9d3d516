// ControlHostWidget: keys, typed text, the input method, the mouse, the wheel and focus, as the control's messages.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/LeadByte.h"
#include "platform/qt/ControlHostWidget.h"
#include "platform/qt/QtConvert.h"

namespace {

// The lParam of a key message: repeat count 1, the context bit while Alt is
// held, the previous-state bit for a repeat or a release, the transition bit for a release.
LPARAM KeyData(const QKeyEvent& event, bool up, bool alt) {
  DWORD data = 1;
  if (alt) data |= 1u << 29;
  if (up || event.isAutoRepeat()) data |= 1u << 30;
  if (up) data |= 1u << 31;
  return static_cast<LPARAM>(data);
}

// Some platforms report a modifier key's own press without its modifier and
// its release with it; the platform counts the key as down from its press to its release.
Qt::KeyboardModifiers ModifiersOf(const QKeyEvent& event, bool down) {
  Qt::KeyboardModifiers modifiers = event.modifiers();
  switch (event.key()) {
    case Qt::Key_Shift:
      modifiers.setFlag(Qt::ShiftModifier, down);
      break;
    case Qt::Key_Control:
      modifiers.setFlag(Qt::ControlModifier, down);
      break;
    case Qt::Key_Alt:
      modifiers.setFlag(Qt::AltModifier, down);
      break;
    default:
      break;
  }
  return modifiers;
}

// Alt without Ctrl makes the "system" key messages, as does F10 (the menu keys).
bool IsSystemKey(WORD vk, Qt::KeyboardModifiers modifiers) {
  return vk == VK_MENU || vk == VK_F10 ||
         ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier));
}

std::optional<TMouseButton> MouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
  }
}

}  // namespace

void ControlHostWidget::noteInput(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  FModifiers = modifiers;
  FButtons = buttons;
}

bool ControlHostWidget::wantsTab() { return (FControl.Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB) != 0; }

bool ControlHostWidget::focusNextPrevChild(bool next) {
  // Tab and Shift+Tab reach the control when it asks for them.
  if (attached() && wantsTab()) return false;
  return QWidget::focusNextPrevChild(next);
}

void ControlHostWidget::keyPressEvent(QKeyEvent* event) {
  if (!attached()) return QWidget::keyPressEvent(event);
  if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
    event->accept();
    return openContextMenuFromKeyboard();
  }
  const Qt::KeyboardModifiers modifiers = ModifiersOf(*event, true);
  noteInput(modifiers, FButtons);
  const WORD vk = VirtualKeyFromQtKey(event->key(), event->modifiers());
  const bool system = IsSystemKey(vk, modifiers);
  if (vk != 0) {
    FKeysDown.insert(vk);
    FControl.Perform(system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk,
                     KeyData(*event, false, (modifiers & Qt::AltModifier) != 0));
  }
  // Some platforms give Delete the character DEL; the platform's Delete key types nothing.
  if (vk != VK_DELETE) deliverText(event->text(), system ? WM_SYSCHAR : WM_CHAR);
  event->accept();
}

void ControlHostWidget::keyReleaseEvent(QKeyEvent* event) {
  // An auto-repeating key sends more key-downs but no key-up until it is let go.
  if (event->isAutoRepeat()) return;
  if (!attached()) return QWidget::keyReleaseEvent(event);
  const Qt::KeyboardModifiers modifiers = ModifiersOf(*event, false);
  noteInput(modifiers, FButtons);
  const WORD vk = VirtualKeyFromQtKey(event->key(), event->modifiers());
  if (vk == 0) return;
  FKeysDown.erase(vk);
  FControl.Perform(IsSystemKey(vk, modifiers) ? WM_SYSKEYUP : WM_KEYUP, vk,
                   KeyData(*event, true, (modifiers & Qt::AltModifier) != 0));
  event->accept();
  offerPrimarySelection();
}

bool ControlHostWidget::acceptsText(const QString& text) const {
  if (!FLossyTextHandler && !FFoldedTextHandler) return true;
  const TLossyReport report = FindLossyCharacters(text.toStdString());
  if (report.Count > 0 && FLossyTextHandler && !FLossyTextHandler(report)) return false;
  if (report.Folded > 0 && FFoldedTextHandler) FFoldedTextHandler(report.Folded);
  return true;
}

void ControlHostWidget::deliverText(const QString& text, UINT charMessage) {
  if (text.isEmpty()) return;
  const std::string ansi = AnsiFromQString(text);
  // A double-byte character cannot come as two WM_CHAR bytes: the control
  // takes such characters only as input-method results, so text that holds
  // one is delivered the way a committed composition is.
  if (std::any_of(ansi.begin(), ansi.end(), [](char c) { return IsDBCSLeadByte(static_cast<unsigned char>(c)); })) {
    deliverResult(text);
    if (FPreedit.isEmpty()) endComposition();
    return;
  }
  if (!acceptsText(text)) return;
  for (const char c : ansi) FControl.Perform(charMessage, static_cast<unsigned char>(c), 1);
}

// Input method.

void ControlHostWidget::startComposition() {
  if (FComposing) return;
  FComposing = true;
  FResult.clear();
  FControl.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
}

void ControlHostWidget::endComposition() {
  FPreedit.clear();
  FPreeditAttributes.clear();
  if (!FComposing) return;
  FComposing = false;
  FControl.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
}

bool ControlHostWidget::deliverResult(const QString& commit) {
  // The late answer to a commit request that was already served: the text
  // is in the control, and a second copy is not what the user typed.
  const QString committed = std::exchange(FCommittedPreedit, QString());
  if (!FComposing && commit == committed) return false;
  if (!acceptsText(commit)) return false;
  startComposition();
  FResult = AnsiFromQString(commit);
  // wParam carries the first character, a double-byte one as lead * 256 + trail.
  WPARAM first = 0;
  if (!FResult.empty()) {
    const auto lead = static_cast<unsigned char>(FResult[0]);
    const bool pair = IsDBCSLeadByte(lead) && FResult.size() > 1;
    first = pair ? (WPARAM{lead} << 8) | static_cast<unsigned char>(FResult[1]) : lead;
  }
  ++FResultsDelivered;
  FControl.Perform(WM_IME_COMPOSITION, first, GCS_RESULTSTR);
  return true;
}

void ControlHostWidget::inputMethodEvent(QInputMethodEvent* event) {
  if (!attached()) return QWidget::inputMethodEvent(event);
  event->accept();
  update(FClientRect);
  const QString commit = event->commitString();
  const QString preedit = event->preeditString();
  if (!commit.isEmpty()) {
    deliverResult(commit);
    if (preedit.isEmpty()) {
      endComposition();
      return;
    }
  }
  if (preedit.isEmpty()) {
    // The input method cleared its preedit without a result: the composition was cancelled.
    endComposition();
    return;
  }
  // The preedit is only shown, never given to the control: it may hold
  // characters that code page 932 cannot store, and it is not text yet.
  startComposition();
  FPreedit = preedit;
  FPreeditAttributes = event->attributes();
  FPreeditCursor = static_cast<int>(preedit.size());
  FPreeditCursorVisible = true;
  for (const QInputMethodEvent::Attribute& attribute : FPreeditAttributes) {
    if (attribute.type != QInputMethodEvent::Cursor) continue;
    FPreeditCursor = std::clamp(attribute.start, 0, static_cast<int>(preedit.size()));
    FPreeditCursorVisible = attribute.length != 0;
  }
  followPreedit();
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void ControlHostWidget::followPreedit() {
  // The control moves the composition point with every step it scrolls.
  for (int step = 0; step < 1000; ++step) {
    const TPoint at = FCompositionForm.ptCurrentPos;
    if (at.X + preeditX(static_cast<int>(FPreedit.size())) <= FClientRect.width()) return;
    FControl.Perform(WM_HSCROLL, SB_LINERIGHT, 0);
    if (FCompositionForm.ptCurrentPos == at) return;
  }
}

QVariant ControlHostWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return testAttribute(Qt::WA_InputMethodEnabled);
    case Qt::ImCursorRectangle: {
      const QPoint at = FClientRect.topLeft() + QPointFromPoint(FCompositionForm.ptCurrentPos) +
                        QPoint(FPreedit.isEmpty() ? 0 : preeditX(FPreeditCursor), 0);
      return QRect(at, QSize(1, compositionFont().height()));
    }
    case Qt::ImFont:
      return compositionFont().font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
      return QString();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    default:
      return QWidget::inputMethodQuery(query);
  }
}

HIMC ControlHostWidget::ImmGetContext() { return testAttribute(Qt::WA_InputMethodEnabled) ? WindowHandle() : 0; }

void ControlHostWidget::ImmReleaseContext(HIMC) {}

bool ControlHostWidget::ImmSetCompositionFont(HIMC context, const TLogFont& font) {
  if (context == 0) return false;
  FCompositionFont = font;
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImFont | Qt::ImCursorRectangle);
  if (!FPreedit.isEmpty()) update(FClientRect);
  return true;
}

bool ControlHostWidget::ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) {
  if (context == 0) return false;
  FCompositionForm = form;
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
  if (!FPreedit.isEmpty()) update(FClientRect);
  return true;
}

std::string ControlHostWidget::ImmGetCompositionString(HIMC context, LPARAM which) {
  if (context == 0 || (which & GCS_RESULTSTR) == 0) return {};
  return FResult;
}

bool ControlHostWidget::ImmNotifyIME(HIMC context, DWORD action, DWORD index) {
  if (context == 0 || action != NI_COMPOSITIONSTR) return false;
  if (index == CPS_COMPLETE) {
    if (FPreedit.isEmpty()) return true;
    // The input method answers with an event that carries the commit.
    QGuiApplication::inputMethod()->commit();
    if (!FPreedit.isEmpty()) {
      // It did not (there may be none behind the preedit): commit what it
      // showed, unless the reset itself hands the text over, as some do.
      const QString text = FPreedit;
      const unsigned resultsBefore = FResultsDelivered;
      resetInputMethod();
      if (FResultsDelivered == resultsBefore) deliverResult(text);
      endComposition();
      FCommittedPreedit = text;
    }
    update(FClientRect);
    return true;
  }
  if (index == CPS_CANCEL) {
    resetInputMethod();
    endComposition();
    update(FClientRect);
    return true;
  }
  return false;
}

void ControlHostWidget::resetInputMethod() { QGuiApplication::inputMethod()->reset(); }

// Mouse.

bool ControlHostWidget::mouseInClient(const QPointF& position) const {
  return FClientRect.contains(position.toPoint());
}

QPoint ControlHostWidget::clientPoint(const QPointF& position) const {
  return position.toPoint() - FClientRect.topLeft();
}

void ControlHostWidget::mousePressEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  // A press on the frame is not the control's, as on the platform's non-client area.
  if (!attached() || !button || !mouseInClient(event->position())) return QWidget::mousePressEvent(event);
  noteInput(event->modifiers(), event->buttons());
  FMousePressedInClient = true;
  // Only this press can begin the drag that its moves carry.
  FDragPending = false;
  const QPoint at = clientPoint(event->position());
  const QStyleHints* hints = QGuiApplication::styleHints();
  const bool tripleClick = std::exchange(FDoubleClicked, false) && *button == TMouseButton::mbLeft &&
                           event->timestamp() - FDoubleClickTime <= static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
                           (event->position() - FDoubleClickAt).manhattanLength() <= hints->startDragDistance();
  // The control hears a triple click as one more double click.
  if (tripleClick) FControl.DblClick();
  TShiftState shift = ShiftStateFromQt(event->modifiers(), event->buttons());
  if (tripleClick) shift |= ssDouble;
  FControl.MouseDown(*button, shift, at.x(), at.y());
  if (FDragPending) FDragPressPoint = at;
  // The middle button pastes the primary selection where it is pressed, as on every X11 desktop.
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (*button == TMouseButton::mbMiddle && clipboard->supportsSelection() && attached()) {
    const QString text = clipboard->text(QClipboard::Selection);
    if (!text.isEmpty()) deliverForeignText(text, at);
  }
}

void ControlHostWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!attached() || !button || !mouseInClient(event->position())) return QWidget::mouseDoubleClickEvent(event);
  noteInput(event->modifiers(), event->buttons());
  FMousePressedInClient = true;
  // The second press of a double click: the control hears DblClick (left
  // button only) and then the press itself, marked as double.
  if (*button == TMouseButton::mbLeft) FControl.DblClick();
  FDoubleClicked = *button == TMouseButton::mbLeft;
  FDoubleClickTime = event->timestamp();
  FDoubleClickAt = event->position();
  const QPoint at = clientPoint(event->position());
  FControl.MouseDown(*button, ShiftStateFromQt(event->modifiers(), event->buttons()) | ssDouble, at.x(), at.y());
}

void ControlHostWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!attached() || (!FMousePressedInClient && !mouseInClient(event->position()))) return;
  noteInput(event->modifiers(), event->buttons());
  if (FDragPending && (event->buttons() & Qt::LeftButton)) return runDrag();
  const QPoint at = clientPoint(event->position());
  FControl.MouseMove(ShiftStateFromQt(event->modifiers(), event->buttons()), at.x(), at.y());
}

void ControlHostWidget::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!attached() || !button || !FMousePressedInClient) return QWidget::mouseReleaseEvent(event);
  noteInput(event->modifiers(), event->buttons());
  if (event->buttons() == Qt::NoButton) FMousePressedInClient = false;
  if (FDragPending && *button == TMouseButton::mbLeft) {
    // Released before it moved: the control's drag ends where it began, on the control.
    FDragPending = false;
    FControl.DragDrop(&FControl, FDragPressPoint.x(), FDragPressPoint.y());
    FControl.DoEndDrag(&FControl, FDragPressPoint.x(), FDragPressPoint.y());
  } else {
    const QPoint at = clientPoint(event->position());
    FControl.MouseUp(*button, ShiftStateFromQt(event->modifiers(), event->buttons()), at.x(), at.y());
  }
  offerPrimarySelection();
}

void ControlHostWidget::wheelEvent(QWheelEvent* event) {
  if (!attached()) return;
  event->accept();
  noteInput(event->modifiers(), event->buttons());
  const QPoint angle = event->angleDelta();
  if (angle.x() != 0 || (angle.y() != 0 && (event->modifiers() & Qt::ShiftModifier))) {
    scrollSideways(angle.x() != 0 ? angle.x() : angle.y());
    return;
  }
  const int delta = angle.y();
  if (delta == 0) return;
  // The control acts on whole notches only; fine-grained devices report
  // parts of one, so the parts are added up here until they make a notch.
  if ((FWheelRemainder > 0 && delta < 0) || (FWheelRemainder < 0 && delta > 0)) FWheelRemainder = 0;
  FWheelRemainder += delta;
  const int notches = std::clamp(FWheelRemainder / WHEEL_DELTA, -273, 273);  // 273 notches fit in 16 bits
  if (notches == 0) return;
  FWheelRemainder -= notches * WHEEL_DELTA;
  WORD keys = 0;
  if (event->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
  if (event->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
  if (event->buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (event->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (event->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  const QPoint global = event->globalPosition().toPoint();
  FControl.Perform(WM_MOUSEWHEEL, MakeLong(keys, static_cast<WORD>(notches * WHEEL_DELTA)),
                   static_cast<LPARAM>(MakeLong(static_cast<WORD>(global.x()), static_cast<WORD>(global.y()))));
}

void ControlHostWidget::scrollSideways(int delta) {
  // Parts of a notch add up as they do for the ordinary wheel; away from the user is to the left.
  if ((FSidewaysRemainder > 0 && delta < 0) || (FSidewaysRemainder < 0 && delta > 0)) FSidewaysRemainder = 0;
  FSidewaysRemainder += delta;
  const int notches = FSidewaysRemainder / WHEEL_DELTA;
  FSidewaysRemainder -= notches * WHEEL_DELTA;
  for (int i = 0; i < std::abs(notches); ++i) FControl.Perform(WM_HSCROLL, notches > 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
}

// Focus.

void ControlHostWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (FFocusSent || !attached()) return;
  FFocusSent = true;
  FControl.Perform(WM_SETFOCUS, 0, 0);
}

void ControlHostWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  // A popup menu takes the keys for a while but leaves the focus where it is, as the platform's menus do.
  if (event->reason() == Qt::PopupFocusReason) return;
  FKeysDown.clear();
  if (!attached()) return;
  // Qt has asked the input method to commit before the focus moved; what it left is dropped.
  endComposition();
  if (!FFocusSent) return;
  FFocusSent = false;
  FControl.Perform(WM_KILLFOCUS, 0, 0);
}
