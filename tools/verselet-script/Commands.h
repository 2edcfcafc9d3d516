// The command table of the script language and the parsers of each command family.
#pragma once

#include <functional>
#include <span>

#include "tools/verselet-script/ScriptArgs.h"
#include "tools/verselet-script/ScriptSession.h"

// What one script line does once it has been parsed. It may throw: the
// driver then prints an error line and goes on.
using TAction = std::function<void(TScriptSession&)>;

// Parses one line's tokens, the command word first, into its action;
// throws TScriptError for an unknown command or bad arguments.
TAction ParseCommand(std::span<const TToken> tokens);

// Families that live in their own files; each gets the arguments after the command word.
TAction ParseMessage(const TArgs& args);
TAction ParseCall(const TArgs& args);
TAction ParseKey(const TArgs& args);
TAction ParseKeyDown(const TArgs& args);
TAction ParseKeyUp(const TArgs& args);
TAction ParseChar(const TArgs& args);
TAction ParseIme(const TArgs& args);
TAction ParseMouse(const TArgs& args);
TAction ParseDblClick(const TArgs& args);
