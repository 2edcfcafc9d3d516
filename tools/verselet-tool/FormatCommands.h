// The commands of verselet-tool that change a file's form: convert-format between lyrics formats, embed and extract of lyrics inside audio files.
#pragma once

#include <span>
#include <string_view>

struct TFormatCommand {
  const char* Name;
  const char* Summary;
};

// In the order the help lists them.
std::span<const TFormatCommand> FormatCommands();
bool IsFormatCommand(std::string_view name);

// Runs a command line whose first argument is one of these commands; the
// exit code (0 success, 1 a file failed, 2 a wrong command line).
int RunFormatCommand(int argc, const char* const* argv);
