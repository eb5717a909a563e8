#include "project/index_save_rule.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/scan.h"
#include "engine_fixture.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::test {
namespace {

struct SaveIndexAfterScanTest : ::testing::Test {
    TempDir dir;
    std::string source = dir.File("s.mp3");
    std::string beside = dir.File("s.m3i");
    CutObjectPtr cut;

    void SetUp() override {
        WriteFileBytes(source, MakeFrames(4));
        cut.reset(CreateCutObject(source, {}));
        ASSERT_TRUE(cut);
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut, control), kStatusOk);
    }
};

// The windows saved the index after a failed scan too, the command line did not: a partial
// index of a scan that broke off must not be left for the next import to find.
TEST_F(SaveIndexAfterScanTest, FailedScanLeavesNoIndexAbortedAndCompleteOnesDo) {
    for (const int failed : {kStatusFailed, kStatusUnknownError, kStatusNotInitialized}) {
        const IndexSaveOutcome outcome = SaveIndexAfterScan(*cut, failed, {true, ""});
        EXPECT_EQ(outcome.fileName, "") << failed;
        EXPECT_FALSE(FileExists(beside)) << failed;
    }
    EXPECT_EQ(SaveIndexAfterScan(*cut, kStatusAborted, {true, ""}).fileName, beside);
    ASSERT_TRUE(std::filesystem::remove(beside));
    EXPECT_EQ(SaveIndexAfterScan(*cut, kStatusOk, {true, ""}).fileName, beside);
    ASSERT_TRUE(std::filesystem::remove(beside));
    EXPECT_EQ(SaveIndexAfterScan(*cut, kStatusOk, {false, ""}).fileName, "");
    EXPECT_FALSE(FileExists(beside));
}

// A read-only source gets no index beside it, but one the user named is written anyway.
TEST_F(SaveIndexAfterScanTest, ReadOnlySourceGetsNoIndexBesideItUnlessOneIsNamed) {
    ASSERT_EQ(::chmod(source.c_str(), 0444), 0);
    const IndexSaveOutcome beside_ = SaveIndexAfterScan(*cut, kStatusOk, {true, ""});
    EXPECT_TRUE(beside_.readOnlySource);
    EXPECT_FALSE(FileExists(beside));
    const std::string named = dir.File("named.m3i");
    EXPECT_EQ(SaveIndexAfterScan(*cut, kStatusOk, {true, named}).fileName, named);
    EXPECT_TRUE(FileExists(named));
}

// A save that fails is told, not thrown: the scan's result stands.
TEST_F(SaveIndexAfterScanTest, FailedSaveIsReturnedWithItsReason) {
    std::filesystem::create_directory(beside);
    IndexSaveOutcome outcome;
    EXPECT_NO_THROW(outcome = SaveIndexAfterScan(*cut, kStatusOk, {true, ""}));
    EXPECT_EQ(outcome.fileName, "");
    EXPECT_NE(outcome.failure.find("Cannot create file"), std::string::npos) << outcome.failure;
}

}  // namespace
}  // namespace sw::test
