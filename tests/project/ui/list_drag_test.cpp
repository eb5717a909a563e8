#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <filesystem>

#include <sys/stat.h>

#include "cutter/ui/cutter_form.h"
#include "player/test_wave_out.h"
#include "windows_fixture.h"

namespace sw::test {
namespace {

// Drags run the way a user runs them: a press on a selected row and a move past the drag
// distance start the view's own drag, whose loop (the offscreen platform has no pointer to run
// one) delivers enter, move and drop events to the target at the given point.
class ListDragTest : public WindowsTest {
  protected:
    struct Outcome {
        bool entered = false;
        bool heldDuringDrag = false;
    };

    Outcome Drag(ItemListView* from, int row, QWidget* target, QPoint at) {
        Outcome outcome;
        TItemDragObject& holder = TItemDragObject::Instance();
        holder.SetDragLoop([&](QDrag& drag) {
            outcome.heldDuringDrag = !holder.Item().Empty();
            const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
            QDragEnterEvent enter(at, actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            outcome.entered = enter.isAccepted();
            if (!outcome.entered) {
                return Qt::IgnoreAction;
            }
            QDragMoveEvent move(at, actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &move);
            if (!move.isAccepted()) {
                return Qt::IgnoreAction;
            }
            QDropEvent drop(QPointF(at), actions, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
            return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        });
        QWidget* viewport = from->viewport();
        const QPoint start = from->visualRect(from->model()->index(row, 0)).center();
        Press(viewport, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 3; ++step) {
            Press(viewport, QEvent::MouseMove, start + QPoint(0, 10 * step), Qt::LeftButton);
        }
        Press(viewport, QEvent::MouseButtonRelease, start + QPoint(0, 30), Qt::NoButton);
        return outcome;
    }

    static void Press(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    static QPoint RowCentre(ItemListView* list, int row) {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    static QPoint BelowTheRows(ItemListView* list) { return {10, list->viewport()->height() - 2}; }

    void ThreeEntries() {
        const std::vector<std::string> names = {Mp3("a.mp3", 4), Mp3("b.mp3", 4), Mp3("c.mp3", 4)};
        bin_->ImportFiles(names);
        ASSERT_EQ(Bin().Count(), 3);
    }
    void ThreeCues() {
        ThreeEntries();
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(Cues().AddCue(Bin().At(0), std::string(1, char('x' + i)), 0, i));
        }
    }
    std::vector<std::string> Files() { return ColumnTexts(bin_->ItemModel(), 0); }
    std::vector<std::string> CueNames() { return ColumnTexts(cueList_->ItemModel(), 0); }
};

// Reordering is a drag within the list: the row must land before the row it is dropped on, or
// at the end when dropped below the rows, and nothing may be freed or duplicated on the way.
TEST_F(ListDragTest, BinRowDroppedOnAnotherGoesBeforeItAndBelowTheRowsToTheEnd) {
    ThreeEntries();
    TCutObject* a = Bin().At(0);
    Select(bin_->CutObjectsList, {0});
    const Outcome onC = Drag(bin_->CutObjectsList, 0, bin_->CutObjectsList->viewport(),
                             RowCentre(bin_->CutObjectsList, 2));
    EXPECT_TRUE(onC.heldDuringDrag);
    EXPECT_TRUE(onC.entered);
    EXPECT_EQ(Files(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(Bin().At(1), a) << "the same cut object, moved";
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());

    Select(bin_->CutObjectsList, {0});
    Drag(bin_->CutObjectsList, 0, bin_->CutObjectsList->viewport(),
         BelowTheRows(bin_->CutObjectsList));
    EXPECT_EQ(Files(), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());
}

// The design's handlers are the functions that do the work, so they can be called as named
// (the view's Qt overrides only call them): start puts the selected row in the holder, over
// accepts only the list's own rows, drop moves the row and empties the holder.
TEST_F(ListDragTest, TheNamedDragHandlersDoTheWork) {
    ThreeCues();
    QMimeData ours;
    ours.setData(QString::fromLatin1(kItemMimeType), QByteArray("0"));
    Select(bin_->CutObjectsList, {2});
    ASSERT_TRUE(bin_->CutObjectsListStartDrag());
    EXPECT_EQ(TItemDragObject::Instance().Item().cutObject, Bin().At(2));
    EXPECT_TRUE(bin_->CutObjectsListDragOver(&ours));
    EXPECT_FALSE(cueList_->CueListDragOver(&ours));
    bin_->CutObjectsListDragDrop(0);
    EXPECT_EQ(Files(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());

    Select(cueList_->CueList, {0});
    ASSERT_TRUE(cueList_->CueListStartDrag());
    EXPECT_FALSE(bin_->CutObjectsListDragOver(&ours));
    EXPECT_TRUE(cueList_->CueListDragOver(&ours));
    cueList_->CueListDragDrop(3);
    EXPECT_EQ(CueNames(), (std::vector<std::string>{"y", "z", "x"}));
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());
    Select(cueList_->CueList, {});
    EXPECT_FALSE(cueList_->CueListStartDrag());
}

// With several rows selected only the dragged one moves, and the one under the press is the
// one dragged (not the first selected).
TEST_F(ListDragTest, OnlyThePressedRowOfSeveralSelectedMoves) {
    ThreeCues();
    Select(cueList_->CueList, {0, 2});
    cueList_->CueList->selectionModel()->setCurrentIndex(cueList_->ItemModel().index(2, 0),
                                                         QItemSelectionModel::NoUpdate);
    Drag(cueList_->CueList, 2, cueList_->CueList->viewport(), RowCentre(cueList_->CueList, 0));
    EXPECT_EQ(CueNames(), (std::vector<std::string>{"z", "x", "y"}));
    EXPECT_EQ(cueList_->FramesPanel->text(), QStringLiteral("Total frames: 6"));
}

// A cue dropped into the bin or a bin entry dropped into the cue list would put a record into
// the list that does not own it.
TEST_F(ListDragTest, NeitherListTakesTheOthersRows) {
    ThreeCues();
    Select(cueList_->CueList, {0});
    const Outcome cueIntoBin = Drag(cueList_->CueList, 0, bin_->CutObjectsList->viewport(),
                                    RowCentre(bin_->CutObjectsList, 1));
    EXPECT_FALSE(cueIntoBin.entered);
    Select(bin_->CutObjectsList, {0});
    const Outcome entryIntoCues = Drag(bin_->CutObjectsList, 0, cueList_->CueList->viewport(),
                                       RowCentre(cueList_->CueList, 1));
    EXPECT_FALSE(entryIntoCues.entered);
    const Outcome entryOntoCueWindow =
        Drag(bin_->CutObjectsList, 0, cueList_.get(), cueList_->rect().center());
    EXPECT_FALSE(entryOntoCueWindow.entered);
    EXPECT_EQ(Files(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(CueNames(), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty())
        << "a drag that found no target must not leave its row behind";
}

// The cutter takes both: a bin entry opens its file, a cue is reviewed.
TEST_F(ListDragTest, CutterTakesBinEntriesAndCues) {
    ThreeCues();
    TCutterForm cutter(prompts_, std::make_unique<TestWaveOut>());
    cutter.show();
    Select(bin_->CutObjectsList, {1});
    const Outcome entry = Drag(bin_->CutObjectsList, 1, &cutter, cutter.rect().center());
    EXPECT_TRUE(entry.entered);
    EXPECT_EQ(cutter.CurrentCutObject(), Bin().At(1));
    Select(cueList_->CueList, {2});
    const Outcome cue = Drag(cueList_->CueList, 2, &cutter, cutter.rect().center());
    EXPECT_TRUE(cue.entered);
    EXPECT_EQ(cutter.CurrentCue(), Cues().At(2));
    EXPECT_TRUE(TItemDragObject::Instance().Item().Empty());
    EXPECT_EQ(Files(), (std::vector<std::string>{"a", "b", "c"})) << "the cutter only looks";
}

// Files from the desktop arrive in the order of the drop, on the bin, the cue list or the frame.
TEST_F(ListDragTest, DesktopFilesAreImportedInTheDropsOrder) {
    DropFiles(cueList_->CueList->viewport(), {Mp3("z.mp3", 3), Mp3("m.mp3", 3)});
    DropFiles(bin_->StatusBar, {Mp3("a.mp3", 3)});
    EXPECT_EQ(Files(), (std::vector<std::string>{"z", "m", "a"}));
}

// A folder, a file that cannot be read (a pipe named like an MP3, which would block a reader
// forever) and an address that is no file must each be reported as the import reports such
// names, and the window must go on working afterwards.
TEST_F(ListDragTest, FolderUnreadableFileAndAddressAreReportedNotFatal) {
    std::filesystem::create_directories(dir_.File("folder.mp3"));
    const std::string pipe = dir_.File("pipe.mp3");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    prompts_.ExpectErrorYesNo(Prompts::Answer::Yes);  // the folder: no such file, go on
    prompts_.ExpectErrorYesNo(Prompts::Answer::Yes);  // the address: no such file, go on
    prompts_.ExpectError();                           // the pipe: refused, not waited on
    DropFiles(bin_->CutObjectsList->viewport(),
              {dir_.File("folder.mp3"), "http://example.org/a.mp3", pipe});
    const std::vector<std::string> texts = prompts_.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0],
              "Unable to find file " + dir_.File("folder.mp3") + "\r\nDo you want to continue?");
    EXPECT_NE(texts[1].find("http://example.org/a.mp3"), std::string::npos);
    EXPECT_NE(texts[2].find(pipe), std::string::npos);
    EXPECT_EQ(Bin().Count(), 0);
    DropFiles(bin_->CutObjectsList->viewport(), {Mp3("ok.mp3", 3)});
    EXPECT_EQ(Files(), std::vector<std::string>{"ok"});
}

}  // namespace
}  // namespace sw::test
