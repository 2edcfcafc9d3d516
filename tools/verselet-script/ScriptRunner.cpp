// Parsing and running a script.
#include "tools/verselet-script/ScriptRunner.h"

#include <exception>
#include <ostream>

std::vector<TScriptLine> ParseScript(std::istream& in, std::vector<TScriptFault>& faults) {
  std::vector<TScriptLine> lines;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (number == 1 && text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    try {
      const std::vector<TToken> tokens = Tokenize(text);
      if (!tokens.empty()) lines.push_back({number, ParseCommand(tokens)});
    } catch (const TScriptError& e) {
      faults.push_back({number, e.what()});
    }
  }
  return lines;
}

int RunScript(const std::vector<TScriptLine>& lines, TScriptSession& session) {
  int failed = 0;
  for (const TScriptLine& line : lines) {
    try {
      line.Action(session);
    } catch (const std::exception& e) {
      session.Print("error: line " + std::to_string(line.Number) + ": " + e.what());
      ++failed;
    }
  }
  return failed;
}
