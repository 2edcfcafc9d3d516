// IPopupMenu: a context menu that a control pops up; what it holds is its owner's business.
#pragma once

class IPopupMenu {
 public:
  virtual ~IPopupMenu() = default;
  // Shows the menu with its corner at a screen point and returns at once.
  virtual void Popup(int screenX, int screenY) = 0;
};
