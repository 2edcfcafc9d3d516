// TTagCheckPanel: the dockable list of time-tag problems; a double click takes the caret to the line.
#pragma once

#include <QDockWidget>
#include <functional>
#include <vector>

#include "app/core/TagCheck.h"

class QListWidget;

class TTagCheckPanel : public QDockWidget {
  Q_OBJECT

 public:
  explicit TTagCheckPanel(QWidget* parent = nullptr);

  // Shows the problems, or a line saying there are none; when total is
  // more than the problems given, a last line says how many there are in all.
  void ShowProblems(const std::vector<TTagProblem>& problems, std::size_t total);
  // The text changed since the check: the list greys out, its entries no
  // longer take the caret anywhere, and the title says to check again.
  void MarkOutOfDate();
  bool OutOfDate() const { return FOutOfDate; }
  QListWidget* List() const { return FList; }
  // Called with the problem's line (from 1) when its entry is double-clicked.
  std::function<void(int line)> OnGoToLine;

 private:
  QListWidget* FList;
  bool FOutOfDate = false;
};
