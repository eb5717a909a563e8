#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "stream/cut_object.h"

namespace sw::test {

// Options whose temporary folder is one of the test's own, so that file-based indexes land where
// the test can see (and count) them.
class CutObjectTest : public ::testing::Test {
  protected:
    void SetUp() override { options_ = {false, temp_.Path()}; }

    // Names in the temporary folder, sorted.
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(temp_.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // A source of count frames of 417 bytes in the test's data folder.
    std::string MakeSource(const std::string& name, int count) {
        const std::string fileName = data_.File(name);
        WriteFileBytes(fileName, MakeFrames(count));
        return fileName;
    }

    // A created cut object with the index a scan of MakeSource would build.
    CutObjectPtr ScannedCutObject(const std::string& fileName, int count) {
        CutObjectPtr cut(CreateCutObject(fileName, options_));
        EXPECT_NE(cut, nullptr);
        if (cut != nullptr && cut->IndexStream != nullptr) {
            for (int i = 0; i < count; ++i) {
                cut->IndexStream->WriteInt32(417 * i);
            }
            cut->MarkOut = count - 1;
            cut->FileSize = 417 * count;
            cut->FrameInfo = DecodeFrameHeader(0x6490FBFFu);
        }
        return cut;
    }

    TempDir temp_;
    TempDir data_;
    CutObjectOptions options_;
};

}  // namespace sw::test
