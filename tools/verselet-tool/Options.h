// The command line of verselet-tool: command, output mode and files.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/verselet-tool/Commands.h"

// A command line the tool cannot run with; the message says why.
class EUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TOutputMode { StandardOutput, InPlace, Folder };

struct TToolOptions {
  bool Help = false;
  bool Version = false;
  const TToolCommand* Command = nullptr;
  TOutputMode Output = TOutputMode::StandardOutput;
  // Replace read-only files too (-i, -o).
  bool Force = false;
  // Convert a UTF-8 file to Shift-JIS before the command instead of
  // refusing it.
  bool FromUtf8 = false;
  // Take links below a folder to files outside it too.
  bool FollowLinks = false;
  // prepare: the result goes beside the file (or into -o DIR) under the
  // name of the song beside it, as .lrc.
  bool NameAfterAudio = false;
  // --lossy, --by and --form.
  TFilterSettings Filter;
  std::filesystem::path OutputFolder;
  std::vector<std::filesystem::path> Files;
};

// Raises EUsageError; a request for help wins over every other problem.
TToolOptions ParseCommandLine(int argc, const char* const* argv);
