// Parsing a whole script before anything runs, then running it line by line.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "tools/verselet-script/Commands.h"

struct TScriptLine {
  int Number = 0;
  TAction Action;
};

struct TScriptFault {
  int Number = 0;
  std::string Message;
};

// Every line is parsed, so that all faults are reported at once; blank and
// comment lines give no action.
std::vector<TScriptLine> ParseScript(std::istream& in, std::vector<TScriptFault>& faults);

// Runs the lines in order. A line whose action throws prints
// "error: line N: ..." and the script goes on; returns how many did.
int RunScript(const std::vector<TScriptLine>& lines, TScriptSession& session);
