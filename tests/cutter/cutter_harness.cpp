#include "cutter_harness.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include "app/settings/global_settings.h"

namespace sw::test {
namespace {

TGlobalSettings& ResetSettings() {
    TGlobalSettings& s = GlobalSettings();
    s = DefaultGlobalSettings();
    s.ShowCutterTime = false;
    s.CutterKBControl = true;
    s.CutterAutoPlay = false;
    s.CutterLooped = false;
    s.CutterMuted = false;
    s.CleanCuts = false;  // the numbered frames carry no real side information
    return s;
}

}  // namespace

CutterHarness::CutterHarness(int frames, std::unique_ptr<WaveOut> device)
    : cues_(ResetSettings(), prompts_, changes_) {
    cut_ = MakeCut(frames, "numbered");
    if (!device) {
        auto testDevice = std::make_unique<TestWaveOut>();
        device_ = testDevice.get();
        device = std::move(testDevice);
    }
    form_ = std::make_unique<TCutterForm>(prompts_, std::move(device));
    form_->SetCueList(&cues_);
    form_->SetJumpDialog(nullptr);
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->activateWindow();
    ProcessEvents();
}

CutterHarness::~CutterHarness() {
    form_.reset();
    ProcessEvents();
}

CutObjectPtr CutterHarness::MakeCut(int frames, const std::string& name) {
    const std::string file = dir_.File(name + ".mp3");
    WriteNumberedFrames(file, frames);
    CutObjectPtr cut = IndexedCutObject(file);
    cut->Name = name;
    return cut;
}

void CutterHarness::Click(const char* name) {
    auto* button = Find<QAbstractButton>(name);
    if (button != nullptr) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    ProcessEvents();
}

void CutterHarness::Key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus != nullptr && form_->isAncestorOf(focus) ? focus : form_.get();
    QTest::keyClick(target, Qt::Key(key), modifiers);
    ProcessEvents();
}

QString CutterHarness::LabelText(const char* name) {
    auto* label = Find<QLabel>(name);
    return label != nullptr ? label->text() : QString();
}

void CutterHarness::Play(int count) {
    device_->Advance(count);
    ProcessEvents();
}

std::vector<int32_t> CutterHarness::Written() const {
    std::vector<int32_t> frames;
    for (const TestWaveOut::Event& e : device_->Events()) {
        if (e.op == TestWaveOut::Op::Write) {
            frames.push_back(FrameNumberOf(e.data));
        }
    }
    return frames;
}

}  // namespace sw::test
