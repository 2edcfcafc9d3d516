// Process-wide registry of named window messages.
#pragma once

#include <string_view>

#include "platform/Types.h"

// The same name always yields the same id, in the range 0xC000 to 0xFFFF;
// a new name takes the next free id. Throws ERangeError when the range is used up.
UINT RegisterWindowMessage(std::string_view name);
