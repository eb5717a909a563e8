#pragma once

#include <cstdint>
#include <string>

namespace sw {

// The program's version as compiled in from the project version, with its flags value.
struct VersionInfo {
    int Major = 0;
    int Minor = 0;
    int Build = 0;
    uint32_t Flags = 0;
};

inline constexpr uint32_t kVersionDebug = 1;
inline constexpr uint32_t kVersionBeta = 2;
inline constexpr uint32_t kVersionPatched = 4;
inline constexpr uint32_t kVersionPrivate = 8;
inline constexpr uint32_t kVersionSpecial = 0x20;

// The version this build carries.
VersionInfo ProgramVersion();

// The names of the set flags ("Debug", "Beta", "Patched", "Private", "Special" in that order),
// joined by ", "; empty when none is set. Bits without a name are ignored.
std::string VersionFlagsText(uint32_t flags);
// "Slicewell version 4.0 Build 534 Beta" followed by "\r\n\r\n".
std::string VersionText(const VersionInfo& version = ProgramVersion());
// "Build 534 Beta". Without flags the text keeps its trailing blank, as the version line does.
std::string BuildText(const VersionInfo& version = ProgramVersion());

}  // namespace sw
