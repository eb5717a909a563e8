#include "autocut/ui/auto_cut_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <condition_variable>
#include <mutex>

#include "frame_builder.h"
#include "scripted_prompts.h"
#include "stream/file_errors.h"
#include "stream/memory_stream.h"

namespace sw::test {
namespace {

using Bytes = std::vector<uint8_t>;

// A memory stream that stops the reader at a position: the read that reaches gateAt waits
// until the test opens the gate, so a test can act while the search is inside the file. With
// failAt, a read reaching it throws instead, as a failing disk would.
class GatedStream : public MemoryStream {
  public:
    explicit GatedStream(std::vector<uint8_t> bytes) : MemoryStream(std::move(bytes)) {}

    int64_t gateAt = -1;
    int64_t failAt = -1;

    int64_t Read(void* buffer, int64_t count) override {
        const int64_t from = Position();
        if (failAt >= 0 && from + count > failAt) {
            throw StreamReadError();
        }
        if (gateAt >= 0 && from + count > gateAt) {
            std::unique_lock<std::mutex> hold(lock_);
            reached_ = true;
            opened_.wait(hold, [this] { return open_; });
        }
        return MemoryStream::Read(buffer, count);
    }

    bool Reached() {
        const std::lock_guard<std::mutex> hold(lock_);
        return reached_;
    }
    void Open() {
        const std::lock_guard<std::mutex> hold(lock_);
        open_ = true;
        opened_.notify_all();
    }

  private:
    std::mutex lock_;
    std::condition_variable opened_;
    bool reached_ = false;
    bool open_ = false;
};

class NoChanges : public ModifiedSink {
  public:
    void MarkModified() override {}
};

// A file of frames where 's' is sound (no two equal neighbouring bytes) and '.' silence.
struct PatternCut {
    TCutObject cut;
    GatedStream* index = nullptr;
    GatedStream* file = nullptr;

    explicit PatternCut(const std::string& pattern) {
        cut.Name = "take";
        cut.FrameInfo = DecodeFrameHeader(MakeHeaderWord({}));
        cut.CompletelyScanned = true;
        Bytes bytes;
        Bytes offsets;
        for (const char kind : pattern) {
            const uint32_t offset = static_cast<uint32_t>(bytes.size());
            for (int b = 0; b < 4; ++b) {
                offsets.push_back(static_cast<uint8_t>(offset >> (8 * b)));
            }
            Bytes frame = MakeFrame({}, 0x00);
            if (kind == 's') {
                for (size_t i = 4; i < frame.size(); ++i) {
                    frame[i] = static_cast<uint8_t>(0x10 + (i % 7) * 0x11);
                }
            }
            Append(bytes, frame);
        }
        Append(bytes, {0, 0, 0, 0});
        auto indexStream = std::make_unique<GatedStream>(offsets);
        auto fileStream = std::make_unique<GatedStream>(bytes);
        index = indexStream.get();
        file = fileStream.get();
        cut.IndexStream = std::move(indexStream);
        cut.FileStream = std::move(fileStream);
    }
};

// 10 silent frames, then sound and silence in turns of 10 frames.
std::string Turns(int frames) {
    std::string pattern;
    for (int f = 0; f < frames; ++f) {
        pattern += (f / 10) % 2 == 1 ? 's' : '.';
    }
    return pattern;
}

struct CueSeen {
    std::string name;
    int32_t in;
    int32_t out;
    bool operator==(const CueSeen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const CueSeen& cue) {
    return os << cue.name << " " << cue.in << "-" << cue.out;
}

class AutoCutFormTest : public ::testing::Test {
  protected:
    void SetUp() override { settings.AutocutThreshold = 20; }
    void TearDown() override { EXPECT_TRUE(prompts.Done()) << "an expected prompt never came"; }

    std::vector<CueSeen> Cues() const {
        std::vector<CueSeen> seen;
        for (int row = 0; row < cues.Count(); ++row) {
            seen.push_back({cues.At(row)->Name, cues.At(row)->MarkIn, cues.At(row)->MarkOut});
        }
        return seen;
    }

    // Calls action from the dialog's own event loop once the search is held at the gate.
    static void WhenHeld(GatedStream& gate, const std::function<void()>& action) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, &gate, action] {
            if (gate.Reached()) {
                poll->stop();
                poll->deleteLater();
                action();
                gate.Open();
            }
        });
        poll->start(2);
    }

    TGlobalSettings settings;
    ScriptedPrompts prompts;
    NoChanges changes;
    CueListModel cues{settings, prompts, changes};
};

// Would break if the dialog lost its caption, fixed size, the entry's name or a control's
// accessible name.
TEST_F(AutoCutFormTest, ShowsTheEntryInAFixedDialogWithNamedControls) {
    PatternCut file("..ss..");
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("AutoCutter"));
    EXPECT_EQ(form.size(), QSize(298, 90));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.FileEdit->text(), QStringLiteral("take"));
    EXPECT_TRUE(form.FileEdit->isReadOnly());
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Threshold"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("%"));
    EXPECT_EQ(form.ThresholdEdit->minimum(), 1);
    EXPECT_EQ(form.ThresholdEdit->maximum(), 100);
    EXPECT_EQ(form.SearchBtn->text(), QStringLiteral("Search"));
    EXPECT_EQ(form.AbortBtn->text(), QStringLiteral("Abort"));
    EXPECT_FALSE(form.AbortBtn->isVisibleTo(&form));
    EXPECT_TRUE(form.SearchBtn->isVisibleTo(&form));
    // The gauge stands at 0 of the file's frames; a range of 0..0 is Qt's busy animation.
    EXPECT_EQ(form.ProgressBar->value(), 0);
    EXPECT_EQ(form.ProgressBar->maximum(), 5);
    PatternCut single("s");
    TAutoCutForm one(&single.cut, settings, cues, prompts);
    EXPECT_GT(one.ProgressBar->maximum(), 0);
    EXPECT_EQ(one.ProgressBar->value(), 0);
    for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
}

// Would break if the dialog showed the designed threshold instead of the one the previous
// dialog left, did not store it on closing, or showed a stored value outside 1..100.
TEST_F(AutoCutFormTest, ThresholdLeftByThePreviousDialogIsShown) {
    PatternCut file("..ss..");
    {
        TAutoCutForm first(&file.cut, settings, cues, prompts);
        EXPECT_EQ(first.ThresholdEdit->value(), 20);
        first.ThresholdEdit->setValue(55);
        QTimer::singleShot(0, &first, &QDialog::reject);
        first.exec();
    }
    EXPECT_EQ(settings.AutocutThreshold, 55);
    TAutoCutForm second(&file.cut, settings, cues, prompts);
    EXPECT_EQ(second.ThresholdEdit->value(), 55);

    settings.AutocutThreshold = 500;
    TAutoCutForm tooHigh(&file.cut, settings, cues, prompts);
    EXPECT_EQ(tooHigh.ThresholdEdit->value(), 100);
    settings.AutocutThreshold = 0;
    TAutoCutForm tooLow(&file.cut, settings, cues, prompts);
    EXPECT_EQ(tooLow.ThresholdEdit->value(), 1);
}

// Would break if the threshold were not taken from the spin edit, or the search's cues did
// not reach the cue list: at 100 no frame is silent, so one cue spans frame 1 to the last.
TEST_F(AutoCutFormTest, ThresholdHundredGivesOneCueFromFrameOneToTheLast) {
    PatternCut file(Turns(95));
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    form.ThresholdEdit->setValue(100);
    form.SearchBtnClick();
    EXPECT_EQ(Cues(), (std::vector<CueSeen>{{"Auto1: take", 1, 94}}));
    EXPECT_EQ(form.ProgressBar->maximum(), 94);
    EXPECT_EQ(form.ProgressBar->value(), 94);
}

// Would break if a second search did not run, numbered its cues on from the first, or the
// buttons and the spin edit stayed in their searching state.
TEST_F(AutoCutFormTest, SearchingAgainRepeatsTheRunsWithTheirNumbers) {
    PatternCut file(Turns(45));
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    form.show();
    form.SearchBtnClick();
    form.SearchBtnClick();
    const std::vector<CueSeen> once = {{"Auto1: take", 10, 19}, {"Auto2: take", 30, 39}};
    std::vector<CueSeen> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(Cues(), twice);
    EXPECT_TRUE(form.SearchBtn->isVisible());
    EXPECT_FALSE(form.AbortBtn->isVisible());
    EXPECT_TRUE(form.ThresholdEdit->isEnabled());
    EXPECT_TRUE(form.isVisible()) << "the dialog closed after its search";
}

// Would break if Abort did not stop the search, threw away the cues found so far, or lost the
// run it was in (its part seen so far becomes a cue); while searching only Abort shows and the
// threshold cannot change.
TEST_F(AutoCutFormTest, AbortMidSearchKeepsTheCuesFoundSoFar) {
    // The index is read 4096 entries at a time: the gate holds the search after frame 4095,
    // inside the run of frames 4090..4099.
    PatternCut file(Turns(6000));
    file.index->gateAt = 4096 * 4;
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    form.show();
    bool searching = false;
    WhenHeld(*file.index, [&] {
        searching = form.AbortBtn->isVisible() && !form.SearchBtn->isVisible() &&
                    !form.ThresholdEdit->isEnabled() && form.Searching();
        form.AbortBtn->click();
    });
    form.SearchBtnClick();
    EXPECT_TRUE(searching);
    const std::vector<CueSeen> found = Cues();
    ASSERT_EQ(found.size(), 205u);
    EXPECT_EQ(found.front(), (CueSeen{"Auto1: take", 10, 19}));
    EXPECT_EQ(found[203], (CueSeen{"Auto204: take", 4070, 4079}));
    EXPECT_EQ(found.back(), (CueSeen{"Auto205: take", 4090, 4096}));
    EXPECT_EQ(form.ProgressBar->maximum(), 5999);
    EXPECT_EQ(form.ProgressBar->value(), 4096);
    EXPECT_TRUE(form.SearchBtn->isVisible());
}

// Would break if closing the dialog left the search running over a cut object the dialog no
// longer guards, or forgot to store the threshold.
TEST_F(AutoCutFormTest, ClosingMidSearchAbortsAndStoresTheThreshold) {
    PatternCut file(Turns(6000));
    file.index->gateAt = 4096 * 4;
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    form.ThresholdEdit->setValue(33);
    WhenHeld(*file.index, [&] { form.close(); });
    QTimer::singleShot(0, &form, [&] { form.SearchBtn->click(); });
    form.exec();
    EXPECT_FALSE(form.Searching());
    EXPECT_EQ(Cues().size(), 205u);
    EXPECT_EQ(settings.AutocutThreshold, 33);
}

// Would break if a failing read ended the search silently or took the cues already found.
TEST_F(AutoCutFormTest, ReadErrorShowsErrorWhileSearchingAndKeepsTheCues) {
    PatternCut file(Turns(3000));
    file.file->failAt = 600 * 1024;  // the third window of the file
    TAutoCutForm form(&file.cut, settings, cues, prompts);
    prompts.ExpectError();
    form.SearchBtnClick();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Error while searching take"});
    EXPECT_GT(Cues().size(), 10u);
    EXPECT_EQ(Cues().front(), (CueSeen{"Auto1: take", 10, 19}));
}

// Would break if a missing cut object or stream crashed the dialog instead of saying so.
TEST_F(AutoCutFormTest, MissingCutObjectOrStreamIsReported) {
    TAutoCutForm none(nullptr, settings, cues, prompts);
    EXPECT_EQ(none.FileEdit->text(), QString());
    prompts.ExpectError();
    none.SearchBtnClick();
    PatternCut file("..ss..");
    file.cut.FileStream.reset();
    TAutoCutForm streamless(&file.cut, settings, cues, prompts);
    prompts.ExpectError();
    streamless.SearchBtnClick();
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"Invalid TCutObject", "Invalid TCutObject"}));
    EXPECT_EQ(cues.Count(), 0);
}

}  // namespace
}  // namespace sw::test
