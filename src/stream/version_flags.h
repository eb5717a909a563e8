#pragma once

#include <string>

namespace sw {

// The names of the version flag bits that are set, in the order "Debug" (1), "Beta" (2),
// "Patched" (4), "Private" (8), "Special" (32), joined by ", "; "" when none is set.
std::string VersionFlagsText(int flags);

}  // namespace sw
