// QtPopupMenu: a Qt menu as the popup menu of a control.
#pragma once

#include <QMenu>
#include <QPointer>

#include "platform/PopupMenu.h"

// The menu belongs to its owner; once the owner has deleted it, nothing pops up.
class QtPopupMenu : public IPopupMenu {
 public:
  explicit QtPopupMenu(QMenu& menu) : FMenu(&menu) {}
  void Popup(int screenX, int screenY) override {
    if (FMenu) FMenu->popup(QPoint(screenX, screenY));
  }

 private:
  QPointer<QMenu> FMenu;
};
