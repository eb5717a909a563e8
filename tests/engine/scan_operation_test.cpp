#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/settings/global_settings.h"
#include "engine/ui/process_form.h"
#include "engine/ui/scan_operation.h"
#include "frame_builder.h"
#include "gated_stream.h"
#include "scripted_prompts.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::test {
namespace {

constexpr int kFrames = 3000;  // 1.25 MB: the scan reads it in several blocks
constexpr int64_t kGate = 600000;

TProcessForm* ShownProcessForm() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TProcessForm*>(widget); form && form->isVisible()) {
            return form;
        }
    }
    return nullptr;
}

// Runs action on the GUI thread once the worker waits at the gate, then lets it go on.
void WhenGateReached(GatedStream* gate, std::function<void(TProcessForm&)> action) {
    auto* timer = new QTimer();
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, gate, action] {
        TProcessForm* form = ShownProcessForm();
        if (!gate->Reached() || form == nullptr) {
            return;
        }
        timer->stop();
        action(*form);
        gate->Open();
        timer->deleteLater();
    });
    timer->start();
}

class ScanCutObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = GlobalSettings();
        GlobalSettings() = DefaultGlobalSettings();
        source_ = dir_.File("song.mp3");
        WriteFileBytes(source_, MakeFrames(kFrames));
    }
    void TearDown() override {
        std::filesystem::permissions(source_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        GlobalSettings() = saved_;
    }
    // A cut object on the real file whose reads stop at the gate until the test opens it.
    CutObjectPtr GatedCut(GatedStream*& gate) {
        CutObjectPtr cut(CreateCutObject(source_, {}));
        EXPECT_TRUE(cut);
        gate = new GatedStream(std::move(cut->FileStream), kGate);
        cut->FileStream.reset(gate);
        return cut;
    }

    TempDir dir_;
    std::string source_;
    TGlobalSettings saved_;
    ScriptedPrompts prompts_;
};

// An abort must leave a usable partial index with marks over it, and still save it.
TEST_F(ScanCutObjectTest, AbortInTheMiddleKeepsAPartialIndexAndSavesIt) {
    GlobalSettings().SaveIndexStream = true;
    GatedStream* gate = nullptr;
    CutObjectPtr cut = GatedCut(gate);
    WhenGateReached(gate, [](TProcessForm& form) { form.AbortBtn->click(); });
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusAborted);
    EXPECT_GT(cut->FrameCount(), 0);
    EXPECT_LT(cut->FrameCount(), kFrames);
    EXPECT_EQ(cut->MarkIn, 0);
    EXPECT_EQ(cut->MarkOut, cut->FrameCount() - 1);
    EXPECT_FALSE(cut->CompletelyScanned);

    CutObjectPtr saved(LoadCutObject(dir_.File("song.m3i"), {}));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->FrameCount(), cut->FrameCount());
    EXPECT_FALSE(saved->CompletelyScanned);
    EXPECT_EQ(ShownProcessForm(), nullptr);
}

// The close box must not end the modal loop while the worker still uses the cut object.
TEST_F(ScanCutObjectTest, CloseBoxWhileRunningCountsAsAbortAndKeepsTheWindow) {
    GlobalSettings().SaveIndexStream = false;
    GatedStream* gate = nullptr;
    CutObjectPtr cut = GatedCut(gate);
    bool stayedOpen = false;
    WhenGateReached(gate, [&stayedOpen](TProcessForm& form) {
        form.close();
        QApplication::processEvents();
        stayedOpen = form.isVisible();
    });
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusAborted);
    EXPECT_TRUE(stayedOpen);
    EXPECT_LT(cut->FrameCount(), kFrames);
    EXPECT_FALSE(FileExists(dir_.File("song.m3i")));
}

TEST_F(ScanCutObjectTest, CompleteScanSetsCompletelyScannedAndSavesBesideAWritableSource) {
    GlobalSettings().SaveIndexStream = true;
    CutObjectPtr cut(CreateCutObject(source_, {}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusOk);
    EXPECT_EQ(cut->FrameCount(), kFrames);
    EXPECT_TRUE(cut->CompletelyScanned);
    CutObjectPtr saved(LoadCutObject(dir_.File("song.m3i"), {}));
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->CompletelyScanned);
}

TEST_F(ScanCutObjectTest, ReadOnlySourceGetsNoIndexFile) {
    GlobalSettings().SaveIndexStream = true;
    std::filesystem::permissions(source_, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    CutObjectPtr cut(CreateCutObject(source_, {}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusOk);
    EXPECT_FALSE(FileExists(dir_.File("song.m3i")));
}

// The index file is a convenience: a folder it cannot be written to must not fail the scan.
TEST_F(ScanCutObjectTest, UnwritableIndexFileDoesNotFailTheScan) {
    GlobalSettings().SaveIndexStream = true;
    std::filesystem::create_directory(dir_.File("song.m3i"));
    CutObjectPtr cut(CreateCutObject(source_, {}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusOk);
    EXPECT_TRUE(cut->CompletelyScanned);
}

TEST_F(ScanCutObjectTest, MissingSourceOrStreamGivesStatus1WithoutAWindow) {
    CutObjectPtr cut(CreateCutObject(source_, {}));
    ASSERT_TRUE(cut);
    cut->IndexStream.reset();
    EXPECT_EQ(ScanCutObject(cut.get(), prompts_), kStatusFailed);
    EXPECT_EQ(ScanCutObject(nullptr, prompts_), kStatusFailed);
    TCutObject gone;
    gone.FileName = dir_.File("gone.mp3");
    EXPECT_EQ(ScanCutObject(&gone, prompts_), kStatusFailed);
}

}  // namespace
}  // namespace sw::test
