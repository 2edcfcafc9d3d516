// A window's layout as compact text, one line per widget, to compare with the layout a test expects.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <string>

// The window's title and size ("fixed" when it cannot be resized), then its
// widgets in the order they were made, those in a group box indented under
// it: the class, the position and size ("sized" when it takes the size its
// contents ask for, which keeps font metrics out of the text), "hidden" when
// it is not shown with the window, "disabled", "[x]" or "[ ]" for a check
// box, and the text it shows.
inline std::string DumpWindow(const QWidget& window, const QWidget* parent = nullptr, const std::string& indent = "") {
  std::string dump;
  if (!parent) {
    dump = "\"" + window.windowTitle().toStdString() + "\" " + std::to_string(window.width()) + "x" +
           std::to_string(window.height()) + (window.minimumSize() == window.maximumSize() ? " fixed\n" : "\n");
    parent = &window;
  }
  for (const QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    dump += indent + w->metaObject()->className() + " " + std::to_string(w->x()) + "," + std::to_string(w->y());
    dump += w->size() == w->sizeHint() ? " sized" : " " + std::to_string(w->width()) + "x" + std::to_string(w->height());
    if (!w->isVisibleTo(&window)) dump += " hidden";
    if (!w->isEnabled()) dump += " disabled";
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      if (button->isCheckable()) dump += button->isChecked() ? " [x]" : " [ ]";
      text = button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) text = edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) text = combo->currentText();
    const auto* group = qobject_cast<const QGroupBox*>(w);
    dump += " \"" + (group ? group->title() : text).toStdString() + "\"\n";
    if (group) dump += DumpWindow(window, group, indent + "  ");
  }
  return dump;
}
