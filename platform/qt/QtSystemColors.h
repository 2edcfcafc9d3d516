// System colours from the Qt palette: the resolver behind ColorToRGB while a Qt application runs.
#pragma once

#include <QPalette>

#include "platform/Colors.h"

// The palette colour that stands for a platform system colour index (COLOR_WINDOW = 5 ...).
TColor SystemColorFromPalette(const QPalette& palette, int index);

// Makes ColorToRGB resolve system colours from the application's palette
// while the QGuiApplication exists (the classic scheme again after it has
// gone). Call it before controls store colours, for they store them resolved.
void InstallSystemColorResolver();
