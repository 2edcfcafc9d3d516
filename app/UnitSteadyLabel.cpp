// TSteadyLabel: fixing the size and widening it for a text that does not fit.
#include "app/UnitSteadyLabel.h"

#include <QFontMetrics>

namespace {

// Room beside the text on either side, as the status bar's own fields have.
constexpr int kPadding = 8;

}  // namespace

TSteadyLabel::TSteadyLabel(const QString& widest, QWidget* parent) : QLabel(widest, parent) {
  setFixedSize(RoomFor(widest), sizeHint().height());
  clear();
}

void TSteadyLabel::ShowText(const QString& text) {
  if (text == QLabel::text()) return;
  if (const int room = RoomFor(text); room > width()) setFixedWidth(room);
  setText(text);
}

int TSteadyLabel::RoomFor(const QString& text) const {
  // Character by character, from the advances the font keeps: laying the
  // whole text out at every caret move cost more than painting it.
  const QFontMetrics metrics = fontMetrics();
  int room = kPadding;
  for (const QChar c : text) room += metrics.horizontalAdvance(c);
  return room;
}
