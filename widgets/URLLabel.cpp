// TURLLabel: a text label that lights up under the mouse and opens its caption as a link.
#include "widgets/URLLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include "platform/qt/QtConvert.h"

TURLLabel::TURLLabel(QWidget* parent)
    : QLabel(parent), FOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  FNormalColor = FontColor();
}

TColor TURLLabel::FontColor() const { return ColorFromQColor(palette().color(foregroundRole())); }

void TURLLabel::SetFontColor(TColor value) {
  // A palette change repaints the label.
  QPalette p = palette();
  p.setColor(foregroundRole(), QColorFromColor(value));
  setPalette(p);
}

void TURLLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (!FHotTrack) return;
  FNormalColor = FontColor();
  SetFontColor(FHotColor);
}

void TURLLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (FHotTrack) SetFontColor(FNormalColor);
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  // Taken here, so that the release comes back to this label.
  event->accept();
  if (FHotTrack) SetFontColor(FPushedColor);
  // A link nothing can open is ignored.
  if (FExecutable) FOpener(QUrl::fromUserInput(text()));
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  event->accept();
  if (!FHotTrack) return;
  SetFontColor(rect().contains(event->position().toPoint()) ? FHotColor : FNormalColor);
}
