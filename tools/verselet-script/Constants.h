// The names a script may use for key codes and scroll requests.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Types.h"

// A key by its script name ("Left", "PageDown", "A", "5", "OemComma" ...),
// case-insensitive.
std::optional<WORD> FindKey(std::string_view name);

// A constant usable where a number is expected: the VK_ names of the keys
// FindKey knows and the SB_ scroll requests, case-insensitive.
std::optional<std::int64_t> FindConstant(std::string_view name);
