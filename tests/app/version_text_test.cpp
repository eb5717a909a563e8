#include "stream/version_text.h"

#include <gtest/gtest.h>

#include "version.h"

namespace sw {
namespace {

TEST(VersionTexts, FlagNamesFollowTheirOrderAndSkipUnnamedBits) {
    // Would break: "Beta, Debug", or a stray bit 0x10 shown as a name that does not exist.
    EXPECT_EQ(VersionFlagsText(0), "");
    EXPECT_EQ(VersionFlagsText(3), "Debug, Beta");
    EXPECT_EQ(VersionFlagsText(0x3F), "Debug, Beta, Patched, Private, Special");
    EXPECT_EQ(VersionFlagsText(0x10), "");
}

TEST(VersionTexts, VersionAndBuildTextsCarryNumbersAndFlags) {
    // Would break: the version message or the splash showing the wrong build or flags.
    const VersionInfo beta{4, 0, 534, kVersionBeta};
    EXPECT_EQ(VersionText(beta), "Slicewell version 4.0 Build 534 Beta\r\n\r\n");
    EXPECT_EQ(BuildText(beta), "Build 534 Beta");
    EXPECT_EQ(VersionText(VersionInfo{}), "Slicewell version 0.0 Build 0 \r\n\r\n");
}

TEST(VersionTexts, ProgramVersionIsTheCompiledInOne) {
    // Would break: the texts showing a version the build does not carry.
    const VersionInfo version = ProgramVersion();
    EXPECT_EQ(version.Major, kVersionMajor);
    EXPECT_EQ(version.Minor, kVersionMinor);
    EXPECT_EQ(version.Build, kVersionBuild);
    EXPECT_EQ(version.Flags, static_cast<uint32_t>(kVersionFlags));
}

}  // namespace
}  // namespace sw
