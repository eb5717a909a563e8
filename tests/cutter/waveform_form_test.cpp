// The waveform window over the real cutter (its player on the deterministic device), the real
// bin and cue list, on the offscreen platform: what the mouse and the keys do on the waveform
// must arrive as the cutter's exact position and marks, and what changes in the cutter, the cue
// list and the bin must show without decoding again.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "app/settings/global_settings.h"
#include "cutter/ui/cutter_form.h"
#include "cutter/ui/cutter_waveform_link.h"
#include "cutter/ui/waveform_canvas.h"
#include "cutter/ui/waveform_form.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"
#include "project/bin_model.h"
#include "project/cue_list_model.h"
#include "project/scan_runner.h"
#include "scripted_prompts.h"

namespace sw::test {
namespace {

class NoChanges : public ModifiedSink {
  public:
    void MarkModified() override {}
};

TGlobalSettings& FrameDisplaySettings() {
    TGlobalSettings& settings = GlobalSettings();
    settings = DefaultGlobalSettings();
    settings.ShowCutterTime = false;
    settings.CutterAutoPlay = false;
    settings.SaveIndexStream = false;
    settings.CheckMatch = false;
    return settings;
}

// The sample (697 frames of speech) twice in the bin, the cutter and the waveform window shown.
class WaveformWindowTest : public ::testing::Test {
  protected:
    WaveformWindowTest()
        : settings_(FrameDisplaySettings()),
          cues_(settings_, prompts_, changes_),
          scans_(settings_),
          bin_(settings_, prompts_, scans_, cues_, changes_) {
        settings_.TempFolder = dir_.Path();
        for (const char* name : {"first.mp3", "second.mp3"}) {
            WriteFileBytes(dir_.File(name), ReadFileBytes(SLICEWELL_SAMPLE));
            EXPECT_TRUE(bin_.AddCutObject(dir_.File(name)));
        }
        cutter_ = std::make_unique<TCutterForm>(prompts_, std::make_unique<TestWaveOut>());
        cutter_->SetCueList(&cues_);
        cutter_->SetJumpDialog(nullptr);
        bin_.SetCutter(cutter_.get());
        cues_.SetCutter(cutter_.get());
        link_ = std::make_unique<CutterWaveformLink>(*cutter_);
        form_ = std::make_unique<TWaveformForm>(*link_, cues_, bin_);
        form_->resize(900, 320);
        cutter_->show();
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        form_->activateWindow();
        Canvas().setFocus();
        ProcessEvents();
    }
    ~WaveformWindowTest() override {
        bin_.SetCutter(nullptr);
        cues_.SetCutter(nullptr);
        form_.reset();
        link_.reset();
        cutter_.reset();
        ProcessEvents();
    }

    WaveformCanvas& Canvas() { return form_->Canvas(); }
    const WaveformScale& Scale() { return Canvas().Scale(); }
    TCutObject* File(int row) { return bin_.At(row); }

    bool DecodedAll() {
        QElapsedTimer clock;
        clock.start();
        while (form_->Envelope() == nullptr || !form_->Envelope()->Complete()) {
            if (clock.elapsed() > 20000) {
                return false;
            }
            QTest::qWait(5);
        }
        ProcessEvents();
        return true;
    }
    // The middle of the pixel column that shows frame, inside the levels.
    QPoint At(int32_t frame) {
        const int x = int(std::floor(Scale().XOf(frame + 0.5)));
        return {x, Canvas().LevelsRect().center().y()};
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&Canvas(), Qt::Key(key), modifiers);
        ProcessEvents();
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&Canvas(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&Canvas(), (from + to) / 2);
        QTest::mouseMove(&Canvas(), to);
        QTest::mouseRelease(&Canvas(), Qt::LeftButton, Qt::NoModifier, to);
        ProcessEvents();
    }

    TempDir dir_;
    TGlobalSettings& settings_;
    ScriptedPrompts prompts_;
    NoChanges changes_;
    CueListModel cues_;
    CoreScanRunner scans_;
    ProjectBinModel bin_;
    std::unique_ptr<TCutterForm> cutter_;
    std::unique_ptr<CutterWaveformLink> link_;
    std::unique_ptr<TWaveformForm> form_;
};

TEST_F(WaveformWindowTest, ClicksDragsHandlesWheelAndKeysReachTheCuttersPositionAndMarksExactly) {
    // Breaks when a click seeks to another frame than the one drawn under it, a drag or a
    // dragged handle sets other marks than the frames under the pointer, a key does not reach
    // the cutter, or the zoom keys, the wheel and the commands lose the pointed frame.
    cutter_->OpenCutObject(File(0));
    ASSERT_TRUE(DecodedAll());
    ASSERT_TRUE(Scale().ShowsWhole());
    EXPECT_EQ(Scale().Frames(), 697);

    // Whole file: about 1.3 pixels a frame.
    QTest::mouseClick(&Canvas(), Qt::LeftButton, Qt::NoModifier, At(400));
    ProcessEvents();
    EXPECT_EQ(cutter_->Position(), 400);
    EXPECT_EQ(cutter_->Player()->Position(), 400u);

    // "+" twice around the position: four times closer, the position still under the line.
    Key(Qt::Key_Plus);
    Key(Qt::Key_Plus);
    EXPECT_NEAR(Scale().FramesPerPixel(), 697.0 / Canvas().width() / 4, 1e-9);
    EXPECT_EQ(Scale().FrameAt(Scale().XOf(400.5)), 400);
    for (const int32_t frame : {330, 401, 460}) {
        QTest::mouseClick(&Canvas(), Qt::LeftButton, Qt::NoModifier, At(frame));
        ProcessEvents();
        EXPECT_EQ(cutter_->Position(), frame);
    }

    // A drag backwards selects both ends; the position stays.
    Drag(At(450), At(380));
    EXPECT_EQ(File(0)->MarkIn, 380);
    EXPECT_EQ(File(0)->MarkOut, 450);
    EXPECT_EQ(cutter_->Position(), 460);
    // The mark-out handle dragged on, then past mark-in: the handles swap roles.
    Drag(QPoint(int(std::lround(Scale().XOf(451))), At(0).y()), At(455));
    EXPECT_EQ(File(0)->MarkIn, 380);
    EXPECT_EQ(File(0)->MarkOut, 455);
    Drag(QPoint(int(std::lround(Scale().XOf(456))), At(0).y()), At(350));
    EXPECT_EQ(File(0)->MarkIn, 350);
    EXPECT_EQ(File(0)->MarkOut, 380);
    EXPECT_EQ(cutter_->StatusText(2), "31");

    // The wheel zooms about the pointer; Shift+wheel scrolls.
    const QPoint pointer = At(420);
    auto wheel = [&](Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(pointer, Canvas().mapToGlobal(pointer), QPoint(), QPoint(0, 120),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Canvas(), &event);
    };
    const double before = Scale().FramesPerPixel();
    wheel(Qt::NoModifier);
    EXPECT_LT(Scale().FramesPerPixel(), before);
    EXPECT_EQ(Scale().FrameAt(pointer.x() + 0.5), 420);
    const double first = Scale().First();
    wheel(Qt::ShiftModifier);
    EXPECT_LT(Scale().First(), first);

    // Keys: Home and End, a step, Shift+steps grow the selection from the position, "[" and "]"
    // put the marks at the position.
    Key(Qt::Key_Home);
    EXPECT_EQ(cutter_->Position(), 0);
    Key(Qt::Key_End);
    EXPECT_EQ(cutter_->Position(), 696);
    EXPECT_LE(Scale().XOf(697), Canvas().width() + 1e-6);
    EXPECT_GE(Scale().XOf(696), 0);
    for (int i = 0; i < 6; ++i) {
        Key(Qt::Key_Plus);
    }
    EXPECT_TRUE(Scale().AtDeepest());
    EXPECT_FALSE(form_->findChild<QAction*>("WaveformZoomInAction")->isEnabled());
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);
    EXPECT_EQ(cutter_->Position(), 1);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(File(0)->MarkIn, 1);
    EXPECT_EQ(File(0)->MarkOut, 3);
    EXPECT_EQ(cutter_->Position(), 3);
    Key(Qt::Key_PageDown);
    const int32_t paged = cutter_->Position();
    EXPECT_GT(paged, 3 + 50);
    Key(Qt::Key_BracketRight);
    EXPECT_EQ(File(0)->MarkOut, paged);
    Key(Qt::Key_Left);
    Key(Qt::Key_BracketLeft);
    EXPECT_EQ(File(0)->MarkIn, paged - 1);
    EXPECT_EQ(File(0)->MarkOut, paged);

    // The cutter's own keys act here too once its keyboard control is on: I sets mark-in at
    // the position, as the cutter's I does.
    Key(Qt::Key_Left);
    Key(Qt::Key_I);
    EXPECT_EQ(File(0)->MarkIn, paged - 1);
    GlobalSettings().CutterKBControl = true;
    cutter_->InitializeCutter();
    Key(Qt::Key_I);
    EXPECT_EQ(File(0)->MarkIn, paged - 2);

    // "Zoom to selection" and "Whole file" by their keys.
    Key(Qt::Key_W);
    EXPECT_TRUE(Scale().ShowsWhole());
    Drag(At(100), At(299));
    Key(Qt::Key_Z);
    EXPECT_EQ(Scale().FrameAt(0.5), 100);
    EXPECT_EQ(Scale().FrameAt(Canvas().width() - 0.5), 299);
    Key(Qt::Key_Minus);
    EXPECT_NEAR(Scale().VisibleFrames(), 400, 1e-6);
    // The scroll bar moves the view and follows it.
    QScrollBar& bar = form_->ScrollBar();
    bar.setValue(bar.maximum());
    ProcessEvents();
    EXPECT_EQ(Scale().FrameAt(Canvas().width() - 0.5), 696);
}

TEST_F(WaveformWindowTest, CuesMarksAndFilesShowAsTheyChangeWithoutDecodingAgain) {
    // Breaks when cues or marks changed elsewhere do not show, a double click on a cue does not
    // review it, going back to a file decodes it again, its levels outlive its bin entry, or
    // assistive technology is not told where the position and the marks are.
    cutter_->OpenCutObject(File(0));
    ASSERT_TRUE(DecodedAll());
    const LevelEnvelope* decoded = form_->Envelope();

    // The palette gives the colours: a dark one, a dark ground with light levels on it.
    QPalette dark = form_->palette();
    dark.setColor(QPalette::Base, QColor(16, 16, 16));
    dark.setColor(QPalette::Text, QColor(240, 240, 240));
    dark.setColor(QPalette::Link, QColor(130, 190, 255));
    form_->setPalette(dark);
    ProcessEvents();
    int32_t loud = 50;
    int32_t quiet = 50;
    for (int32_t frame = 50; frame < 640; ++frame) {
        const uint16_t peak = decoded->Column(frame, frame + 1).peak;
        loud = peak > decoded->Column(loud, loud + 1).peak ? frame : loud;
        quiet = peak < decoded->Column(quiet, quiet + 1).peak ? frame : quiet;
    }
    const QImage picture = Canvas().grab().toImage();
    // The picture has the screen's pixels; a frame's column is read in its middle.
    auto lightness = [&](int32_t frame) {
        const qreal ratio = picture.devicePixelRatio();
        const QPoint at(int((At(frame).x() + 0.5) * ratio),
                        int((Canvas().LevelsRect().center().y() - 3) * ratio));
        return picture.pixelColor(at).lightness();
    };
    EXPECT_GT(lightness(loud), 120);
    EXPECT_LT(lightness(quiet), 80);

    // The cutter's mark buttons, and two cues as the auto-cut adds them, in one batch.
    cutter_->SeekTo(120);
    QTest::mouseClick(cutter_->findChild<QWidget*>("MarkBeginBtn"), Qt::LeftButton);
    cutter_->SeekTo(240);
    QTest::mouseClick(cutter_->findChild<QWidget*>("MarkEndBtn"), Qt::LeftButton);
    ProcessEvents();
    EXPECT_EQ(Canvas().Summary(), "Position 240   Mark-in 120   Mark-out 240");
    EXPECT_EQ(Canvas().accessibleName(), "Waveform");
    // Told at most a few times a second, and always of the last state.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Canvas().accessibleDescription() == Canvas().Summary(); }, 2000));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&Canvas())->text(QAccessible::Description),
              Canvas().Summary());
    cues_.BeginBatch();
    cues_.AddCue(File(0), "Auto1: first", 10, 99);
    cues_.AddCue(File(0), "Auto2: first", 300, 500);
    cues_.AddCue(File(1), "Auto1: second", 0, 50);
    cues_.EndBatch();
    ProcessEvents();
    ASSERT_EQ(Canvas().Cues().size(), 2u);

    // A double click on the second cue in the lane reviews it; the view zooms to it.
    const QPoint onCue(int(std::floor(Scale().XOf(400.5))), Canvas().CueLaneRect().center().y());
    QTest::mouseDClick(&Canvas(), Qt::LeftButton, Qt::NoModifier, onCue);
    ProcessEvents();
    EXPECT_EQ(cutter_->CurrentCue(), cues_.At(1));
    EXPECT_EQ(File(0)->MarkIn, 300);
    EXPECT_EQ(File(0)->MarkOut, 500);
    EXPECT_LT(Scale().VisibleFrames(), 697);
    // From the keyboard: the previous cue's start, then Shift+Enter reviews it (Enter alone is
    // the cutter's key for the selection).
    Key(Qt::Key_Up);
    EXPECT_EQ(cutter_->Position(), 10);
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(cutter_->CurrentCue(), cues_.At(0));

    // Another file: its own levels and cues, then back without a new decode.
    cutter_->OpenCutObject(File(1));
    EXPECT_NE(form_->Envelope(), decoded);
    EXPECT_EQ(Canvas().Cues().size(), 1u);
    ASSERT_TRUE(DecodedAll());
    cutter_->OpenCue(cues_.At(0));
    EXPECT_EQ(form_->Envelope(), decoded);
    EXPECT_FALSE(form_->Worker().Busy());
    EXPECT_EQ(form_->Cache().Count(), 2);

    // The bin lets go of the second file: its levels go with it.
    bin_.Delete({1});
    ProcessEvents();
    EXPECT_EQ(form_->Cache().Count(), 1);
    // And of the shown one: the window shows nothing, the worker holds nothing.
    bin_.Delete({0});
    ProcessEvents();
    EXPECT_EQ(form_->Envelope(), nullptr);
    EXPECT_EQ(form_->Cache().Count(), 0);
    EXPECT_EQ(Canvas().Summary(), "No file");
}

}  // namespace
}  // namespace sw::test
