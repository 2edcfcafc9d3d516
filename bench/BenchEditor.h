// TBenchEditor: an editor control in a focused headless window, the base of the benchmarks' editors.
#pragma once

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"

class TBenchEditor {
 public:
  TBenchEditor() {
    FHost.Attach(FEdit);
    FHost.SetFocus();
  }
  TBenchEditor(const TBenchEditor&) = delete;
  TBenchEditor& operator=(const TBenchEditor&) = delete;

  // A key pressed and released, as the window's key messages bring it.
  void Press(WPARAM key) {
    FEdit.Perform(WM_KEYDOWN, key, 0);
    FEdit.Perform(WM_KEYUP, key, 0);
  }

 protected:
  THeadlessHost FHost;
  TRyxEdit FEdit;
};
