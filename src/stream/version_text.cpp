#include "stream/version_text.h"

#include "version.h"

namespace sw {

namespace {

struct FlagName {
    uint32_t mask;
    const char* name;
};

constexpr FlagName kFlagNames[] = {
    {kVersionDebug, "Debug"},     {kVersionBeta, "Beta"},       {kVersionPatched, "Patched"},
    {kVersionPrivate, "Private"}, {kVersionSpecial, "Special"},
};

}  // namespace

VersionInfo ProgramVersion() {
    return {kVersionMajor, kVersionMinor, kVersionBuild, static_cast<uint32_t>(kVersionFlags)};
}

std::string VersionFlagsText(uint32_t flags) {
    std::string text;
    for (const FlagName& flag : kFlagNames) {
        if ((flags & flag.mask) == 0) {
            continue;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += flag.name;
    }
    return text;
}

std::string VersionText(const VersionInfo& version) {
    return "Slicewell version " + std::to_string(version.Major) + "." +
           std::to_string(version.Minor) + " " + BuildText(version) + "\r\n\r\n";
}

std::string BuildText(const VersionInfo& version) {
    return "Build " + std::to_string(version.Build) + " " + VersionFlagsText(version.Flags);
}

}  // namespace sw
