#include <QAction>

#include "cutter/ui/cutter_form.h"
#include "player/test_wave_out.h"
#include "windows_fixture.h"

namespace sw::test {
namespace {

// The lists with the real cutter as the models' cutter (the frame's wiring).
class ListsAndCutterTest : public WindowsTest {
  protected:
    ListsAndCutterTest() : cutterWindow_(prompts_, std::make_unique<TestWaveOut>()) {
        Bin().SetCutter(&cutterWindow_);
        Cues().SetCutter(&cutterWindow_);
        QObject::connect(cueList_.get(), &TCueListForm::ReviewRequested, &cutterWindow_,
                         &TCutterForm::OpenCue);
        cutterWindow_.show();
    }
    ~ListsAndCutterTest() override {
        // The cutter goes first; the models must not tell it anything afterwards.
        Bin().SetCutter(nullptr);
        Cues().SetCutter(nullptr);
    }

    TCutterForm cutterWindow_;
};

// The cutter holds references only: deleting the entry it shows, or the entry of the cue it
// reviews, must close them in the cutter before they are freed (under AddressSanitizer a cutter
// that kept either would read freed memory on its next repaint).
TEST_F(ListsAndCutterTest, DeletingWhatTheCutterShowsClosesItThereFirst) {
    bin_->ImportFiles({Mp3("a.mp3", 20), Mp3("b.mp3", 20)});
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpCut->trigger();
    ASSERT_EQ(cutterWindow_.CurrentCutObject(), Bin().At(0));
    bin_->PopUpDelete->trigger();
    EXPECT_EQ(cutterWindow_.CurrentCutObject(), nullptr);
    cutterWindow_.repaint();

    ASSERT_TRUE(Cues().AddMarkedCue(Bin().At(0)));
    Select(cueList_->CueList, {0});
    cueList_->PopUpReview->trigger();
    ASSERT_EQ(cutterWindow_.CurrentCue(), Cues().At(0));
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpDelete->trigger();
    EXPECT_EQ(cutterWindow_.CurrentCue(), nullptr);
    EXPECT_EQ(cutterWindow_.CurrentCutObject(), nullptr);
    EXPECT_EQ(cueList_->ItemModel().rowCount(), 0);
    cutterWindow_.repaint();
    cueList_->repaint();
}

// A rescan frees the entry's old cut object: the cue under review must not keep pointing at it.
TEST_F(ListsAndCutterTest, RescanLeavesNoCueOrCutterOnTheOldCutObject) {
    bin_->ImportFiles({Mp3("a.mp3", 20)});
    ASSERT_TRUE(Cues().AddMarkedCue(Bin().At(0)));
    Select(cueList_->CueList, {0});
    cueList_->PopUpReview->trigger();
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpRescan->trigger();
    TCutObject* now = Bin().At(0);
    EXPECT_EQ(Cues().At(0)->CutObject, now);
    EXPECT_TRUE(cutterWindow_.CurrentCutObject() == nullptr ||
                cutterWindow_.CurrentCutObject() == now);
    cutterWindow_.repaint();
    cueList_->repaint();
}

}  // namespace
}  // namespace sw::test
