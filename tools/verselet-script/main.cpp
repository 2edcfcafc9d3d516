// verselet-script: runs the editor control on the headless backend from a script and prints what happened.
#include <fstream>
#include <iostream>
#include <string_view>

#include "app/core/ProgramVersion.h"
#include "tools/verselet-script/ScriptRunner.h"

namespace {

constexpr std::string_view kUsage =
    "usage: verselet-script [SCRIPT]\n"
    "Runs the editor control from SCRIPT (standard input when absent or \"-\").\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n"
    "Exit status: 0 all commands ran, 1 some command failed, 2 the script is faulty.\n";

int Run(std::istream& in, std::string_view name) {
  std::vector<TScriptFault> faults;
  const std::vector<TScriptLine> lines = ParseScript(in, faults);
  if (in.bad()) {
    std::cerr << "verselet-script: cannot read " << name << '\n';
    return 2;
  }
  if (!faults.empty()) {
    for (const TScriptFault& fault : faults) std::cerr << name << ':' << fault.Number << ": " << fault.Message << '\n';
    return 2;
  }
  TScriptSession session(std::cout);
  const int failed = RunScript(lines, session);
  std::cout.flush();
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc > 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view arg = argc == 2 ? argv[1] : "-";
  if (arg == "-h" || arg == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (arg == "--version") {
    std::cout << "verselet-script " << kProgramVersion << '\n';
    return 0;
  }
  if (arg == "-") return Run(std::cin, "<stdin>");
  std::ifstream file{std::string(arg), std::ios::binary};
  if (!file) {
    std::cerr << "verselet-script: cannot open " << arg << '\n';
    return 2;
  }
  return Run(file, arg);
}
