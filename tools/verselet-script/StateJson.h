// The control's state and the recorded canvas operations as one-line JSON.
#pragma once

#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"

// lines, caret, caretX, top, scrollX, sel, modified, insert, text, and the
// window's side: focused, syscaret, vbar, hbar.
std::string StateJson(const TRyxEdit& edit, const THeadlessHost& host);

// One object per operation; colours as 0x00BBGGRR in decimal.
std::string CanvasOpsJson(const std::vector<TCanvasOp>& ops);

std::string RectsJson(const std::vector<TRect>& rects);
