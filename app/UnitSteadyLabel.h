// TSteadyLabel: a label of a fixed size that grows only when a text needs more room.
#pragma once

#include <QLabel>

// A label whose text changes many times a second (the caret's place, the
// song's position). A label that may change its size asks its bar to lay
// out again on every new text; this one has a fixed size, so that a new
// text repaints the label alone, and it widens only for a text wider than
// any before.
class TSteadyLabel : public QLabel {
 public:
  // Sized for widest, the widest text it is expected to show.
  explicit TSteadyLabel(const QString& widest, QWidget* parent = nullptr);
  void ShowText(const QString& text);

 private:
  int RoomFor(const QString& text) const;
};
