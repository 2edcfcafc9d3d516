// The commands of verselet-tool: each one a lyric clean-up command of the editor.
#pragma once

#include <span>
#include <string>
#include <string_view>

// Transforms the whole text; note receives a remark for the user, if any.
// Raises an exception when the text must stay as it is.
using TTransform = std::string (*)(const std::string& text, std::string& note);

struct TToolCommand {
  const char* Name;
  const char* Summary;
  TTransform Run;
};

std::span<const TToolCommand> ToolCommands();
// The command of that name, or nullptr.
const TToolCommand* FindToolCommand(std::string_view name);
