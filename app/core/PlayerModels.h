// The player models of the settings dialog, with the display size of each.
#pragma once

#include <array>

struct TPlayerModel {
  const char* Name;  // UTF-8
  int HalfCount;
  int LineCount;
};

// The index of the model whose size the user types.
inline constexpr int kCustomModel = 5;

// In the dialog's list order; the last is typed by the user.
inline constexpr std::array<TPlayerModel, 6> kPlayerModels = {{
    {"iFP-100～1000", 16, 3},
    {"PMP-100、H100、H300", 16, 3},
    {"iMP-350～550", 16, 3},
    {"iMP-150", 13, 2},
    {"N10", 12, 3},
    {"カスタム", 0, 0},
}};
