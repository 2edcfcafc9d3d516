// TCaretHidden: the system caret hidden for a scope and shown again however the scope ends.
#pragma once

#include "platform/ControlHost.h"

// The host counts hides and shows as the platform caret does: each hide
// needs its show, also when an edit fails half-way with an exception.
class TCaretHidden {
 public:
  explicit TCaretHidden(IControlHost& host) : FHost(host) { FHost.HideCaret(); }
  ~TCaretHidden() { FHost.ShowCaret(); }
  TCaretHidden(const TCaretHidden&) = delete;
  TCaretHidden& operator=(const TCaretHidden&) = delete;

 private:
  IControlHost& FHost;
};
