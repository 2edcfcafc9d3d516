// The version the three programs print for --version; the build passes it from the project's version.
#pragma once

inline constexpr char kProgramVersion[] = VERSELET_VERSION;
