// TCaretState's hide counting and TScrollBarState's range rules.
#include "platform/WindowState.h"

#include <algorithm>

#include "platform/Messages.h"

void TCaretState::Create(int width, int height) {
  *this = TCaretState{};
  FCreated = true;
  FWidth = width;
  FHeight = height;
}

bool TCaretState::Show() {
  if (!FCreated || FHideLevel == 0) return false;
  return --FHideLevel == 0;
}

bool TCaretState::Hide() {
  if (!FCreated) return false;
  return ++FHideLevel == 1;
}

void TScrollBarState::SetRange(int minPos, int maxPos) {
  Min = minPos;
  Max = maxPos;
  Pos = std::clamp(Pos, minPos, std::max(minPos, maxPos));
}

int TScrollBarState::SetPos(int pos) {
  const int old = Pos;
  Pos = std::clamp(pos, Min, std::max(Min, Max));
  return old;
}

void TScrollBarState::Enable(UINT arrows) { Enabled = arrows != ESB_DISABLE_BOTH; }
