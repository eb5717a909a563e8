#include <gtest/gtest.h>

#include <QDrag>
#include <QMimeData>
#include <QWidget>

#include "stream/cut_object.h"
#include "widgets/ui/item_drag_object.h"

namespace sw::test {
namespace {

class ItemDragObjectTest : public ::testing::Test {
  protected:
    void TearDown() override {
        TItemDragObject::Instance().SetDragLoop({});
        TItemDragObject::Instance().Clear();
    }
    QMimeData* OurMime() {
        auto* mime = new QMimeData();
        mime->setData(QString::fromLatin1(kItemMimeType), "0");
        return mime;
    }
    TItemDragObject& holder_ = TItemDragObject::Instance();
    QWidget bin_;
    QWidget cueList_;
    TCutObject cut_;
    TCueObject cue_;
};

// A row left in the holder after a drag that found no target would be taken by the next
// unrelated drop (even after its record was freed).
TEST_F(ItemDragObjectTest, DragEndingWithoutDropClearsItem) {
    bool sawItemDuringDrag = false;
    holder_.SetDragLoop([&](QDrag& drag) {
        sawItemDuringDrag = holder_.CarriesItemOf(drag.mimeData(), &bin_);
        return Qt::IgnoreAction;
    });
    const Qt::DropAction action = holder_.Run(&bin_, {&bin_, 0, &cut_, nullptr}, "song");
    EXPECT_EQ(action, Qt::IgnoreAction);
    EXPECT_TRUE(sawItemDuringDrag);
    EXPECT_TRUE(holder_.Item().Empty());
}

// The real platform drag loop (the offscreen one ends at once) must leave the holder empty too.
TEST_F(ItemDragObjectTest, RealDragLoopLeavesHolderEmpty) {
    holder_.Run(&bin_, {&bin_, 0, &cut_, nullptr}, "song");
    EXPECT_TRUE(holder_.Item().Empty());
}

// Each list must take only its own rows: a cue dropped into the bin, a bin entry into the cue
// list or another program's drag of the same text must all be refused.
TEST_F(ItemDragObjectTest, AcceptsOnlyItsOwnTypeFromTheSameList) {
    std::unique_ptr<QMimeData> ours(OurMime());
    QMimeData foreign;
    foreign.setText("song");
    EXPECT_FALSE(holder_.CarriesItem(ours.get())) << "nothing dragged yet";
    holder_.SetItem({&cueList_, 2, &cut_, &cue_});
    EXPECT_TRUE(holder_.CarriesItemOf(ours.get(), &cueList_));
    EXPECT_FALSE(holder_.CarriesItemOf(ours.get(), &bin_));
    EXPECT_FALSE(holder_.CarriesItemOf(&foreign, &cueList_));
    EXPECT_FALSE(holder_.CarriesItem(nullptr));
    EXPECT_TRUE(holder_.CarriesItem(ours.get()));
}

// A record freed while it is dragged must not stay reachable through the holder.
TEST_F(ItemDragObjectTest, ForgettingTheDraggedRecordEmptiesTheHolder) {
    TCueObject other;
    holder_.SetItem({&cueList_, 0, &cut_, &cue_});
    holder_.Forget(&other);
    EXPECT_FALSE(holder_.Item().Empty());
    holder_.Forget(&cut_);
    EXPECT_TRUE(holder_.Item().Empty());
    holder_.SetItem({&cueList_, 0, &cut_, &cue_});
    holder_.Forget(&cue_);
    EXPECT_TRUE(holder_.Item().Empty());
}

}  // namespace
}  // namespace sw::test
