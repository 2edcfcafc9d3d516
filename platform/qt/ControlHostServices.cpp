// ControlHostWidget: focus, cursors, system metrics, timers, key state, clipboard text and message boxes.
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "platform/qt/ControlHostWidget.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtCursors.h"

void ControlHostWidget::SetFocus() { setFocus(Qt::OtherFocusReason); }

bool ControlHostWidget::Focused() const { return hasFocus(); }

void ControlHostWidget::SetCursor(TCursor cursor) {
  if (cursor == crDefault)
    unsetCursor();
  else
    setCursor(CursorFromCursor(cursor));
}

TPoint ControlHostWidget::ClientToScreen(TPoint client) const {
  const QPoint screen = mapToGlobal(FClientRect.topLeft() + QPointFromPoint(client));
  return {screen.x(), screen.y()};
}

int ControlHostWidget::GetSystemMetrics(int index) const {
  const QScreen* screen = this->screen();
  switch (index) {
    case SM_CXVSCROLL:
      return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FVScrollBar);
    case SM_CYHSCROLL:
      return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FHScrollBar);
    case SM_CXSCREEN:
      return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
      return screen ? screen->geometry().height() : 0;
    default:
      return 0;
  }
}

void ControlHostWidget::AttachTimer(TTimer& timer) {
  if (FTimers.count(&timer) != 0) return;
  auto* qtimer = new QTimer(this);
  connect(qtimer, &QTimer::timeout, this, [&timer] { timer.Tick(); });
  FTimers[&timer] = qtimer;
  timer.SetOnStateChange([this, &timer] { syncTimer(timer); });
  syncTimer(timer);
}

void ControlHostWidget::DetachTimer(TTimer& timer) {
  const auto it = FTimers.find(&timer);
  if (it == FTimers.end()) return;
  timer.SetOnStateChange({});
  it->second->stop();
  // A tick may be what detaches its timer: the QTimer goes once its signal has returned.
  it->second->deleteLater();
  FTimers.erase(it);
}

void ControlHostWidget::syncTimer(TTimer& timer) {
  QTimer* qtimer = FTimers.at(&timer);
  // A timer with no interval does not run.
  if (timer.Enabled() && timer.Interval() > 0)
    qtimer->start(timer.Interval());
  else
    qtimer->stop();
}

short ControlHostWidget::GetKeyState(int virtualKey) const {
  bool down = false;
  switch (virtualKey) {
    case VK_SHIFT:
      down = FModifiers.testFlag(Qt::ShiftModifier);
      break;
    case VK_CONTROL:
      down = FModifiers.testFlag(Qt::ControlModifier);
      break;
    case VK_MENU:
      down = FModifiers.testFlag(Qt::AltModifier);
      break;
    case VK_LBUTTON:
      down = FButtons.testFlag(Qt::LeftButton);
      break;
    case VK_RBUTTON:
      down = FButtons.testFlag(Qt::RightButton);
      break;
    case VK_MBUTTON:
      down = FButtons.testFlag(Qt::MiddleButton);
      break;
    default:
      down = virtualKey >= 0 && virtualKey <= 0xFF && FKeysDown.count(static_cast<WORD>(virtualKey)) != 0;
      break;
  }
  return down ? std::numeric_limits<short>::min() : short{0};
}

bool ControlHostWidget::ansiFromPlainText(QString unicode, std::string& text) const {
  // Plain text ends at its first NUL.
  if (const qsizetype nul = unicode.indexOf(QChar(0)); nul >= 0) unicode.truncate(nul);
  // Qt's plain text breaks lines with LF; the control's text with CR LF.
  unicode.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  unicode.replace(QChar('\r'), QChar('\n'));
  unicode.replace(QChar('\n'), QStringLiteral("\r\n"));
  if (!acceptsText(unicode)) return false;
  text = AnsiFromQString(unicode);
  return true;
}

QString ControlHostWidget::plainTextFromAnsi(std::string_view text) {
  QString unicode = QStringFromAnsi(text.substr(0, text.find('\0')));
  unicode.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return unicode;
}

bool ControlHostWidget::GetClipboardText(std::string& text) {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  return mime && mime->hasText() && ansiFromPlainText(mime->text(), text);
}

bool ControlHostWidget::SetClipboardText(std::string_view text) {
  QGuiApplication::clipboard()->setText(plainTextFromAnsi(text));
  return true;
}

int ControlHostWidget::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      icon = QMessageBox::Critical;
      break;
    case MB_ICONWARNING:
      icon = QMessageBox::Warning;
      break;
    case MB_ICONINFORMATION:
      icon = QMessageBox::Information;
      break;
    default:
      break;
  }
  QString body = QString::fromStdString(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  body.replace(QChar('\r'), QChar('\n'));
  const QString title = caption.empty() ? QGuiApplication::applicationDisplayName() : QString::fromStdString(caption);
  QMessageBox box(icon, title, body, QMessageBox::Ok, this);
  box.exec();
  return IDOK;
}
