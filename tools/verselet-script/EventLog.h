// TEventLog: every event of the control, recorded as JSON with its arguments.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"

class TEventLog {
 public:
  // Assigns a recording handler to every event of the control.
  void Connect(TRyxEdit& edit);
  void Clear() { FRecords.clear(); }
  // The records since the last call, as one JSON array.
  std::string TakeJson();

  // Runs after OnUserClientDraw is recorded, with its arguments (the
  // owner's drawing, such as the display guides).
  std::function<void(int x1, int x2, int L1, int L2)> AfterUserClientDraw;

 private:
  std::vector<std::string> FRecords;
};
