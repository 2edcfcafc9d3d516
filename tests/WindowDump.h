// A window's layout as compact text, one line per widget, to compare with the layout a test expects.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using TNamedWidgets = std::vector<std::pair<std::string, const QWidget*>>;

// The window's title and size ("fixed" when it cannot be resized), then one
// line per named widget: its name, the name of its parent ("window" for the
// window itself), its position and size ("sized" when it takes the size its
// contents ask for), "hidden" when it is not shown with the window,
// "disabled", "[x]" or "[ ]" for a check box, and its text. A widget of the
// window or of a group box that no name covers is listed as "?", so that
// nothing the test does not expect goes unseen.
inline std::string DumpWindow(const QWidget& window, const TNamedWidgets& named) {
  auto nameOf = [&](const QWidget* widget) -> std::string {
    if (widget == &window) return "window";
    const auto found =
        std::find_if(named.begin(), named.end(), [&](const auto& entry) { return entry.second == widget; });
    return found == named.end() ? "?" : found->first;
  };
  auto line = [&](const std::string& name, const QWidget& w) {
    const QRect r = w.geometry();
    std::string text =
        name + " in " + nameOf(w.parentWidget()) + " " + std::to_string(r.x()) + "," + std::to_string(r.y());
    text += w.size() == w.sizeHint() ? " sized" : " " + std::to_string(r.width()) + "x" + std::to_string(r.height());
    if (!w.isVisibleTo(&window)) text += " hidden";
    if (!w.isEnabled()) text += " disabled";
    QString caption;
    if (const auto* label = qobject_cast<const QLabel*>(&w)) caption = label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
      if (button->isCheckable()) text += button->isChecked() ? " [x]" : " [ ]";
      caption = button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&w)) caption = group->title();
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) caption = edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(&w)) caption = combo->currentText();
    return text + " \"" + caption.toStdString() + "\"\n";
  };
  const bool fixed = window.minimumSize() == window.maximumSize();
  std::string dump = "\"" + window.windowTitle().toStdString() + "\" " + std::to_string(window.width()) + "x" +
                     std::to_string(window.height()) + (fixed ? " fixed\n" : "\n");
  for (const auto& [name, widget] : named) dump += line(name, *widget);
  for (const QWidget* child : window.findChildren<QWidget*>()) {
    const QWidget* parent = child->parentWidget();
    if (nameOf(child) == "?" && (parent == &window || qobject_cast<const QGroupBox*>(parent)))
      dump += line("?", *child);
  }
  return dump;
}
