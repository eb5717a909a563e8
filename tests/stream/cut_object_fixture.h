#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/global_settings.h"
#include "frame_builder.h"
#include "stream/cut_object.h"

namespace sw::test {

// Points "TempFolder" at a folder of the test's own and restores the settings afterwards, so
// that file-based indexes land where the test can see (and count) them.
class CutObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = GlobalSettings();
        GlobalSettings().TempFolder = temp_.Path();
        GlobalSettings().IndexAsFileStream = false;
    }
    void TearDown() override { GlobalSettings() = saved_; }

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
        CutObjectPtr cut(CreateCutObject(fileName));
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

  private:
    TGlobalSettings saved_;
};

}  // namespace sw::test
