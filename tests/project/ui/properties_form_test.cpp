#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "engine/scan.h"
#include "frame_builder.h"
#include "project/ui/properties_form.h"
#include "stream/cut_object.h"

namespace sw::test {
namespace {

class PropertiesFormTest : public ::testing::Test {
  protected:
    CutObjectPtr ScannedSource(int frames) {
        const std::string name = dir_.File("song.mp3");
        WriteFileBytes(name, MakeFrames(frames));
        CutObjectPtr cut(CreateCutObject(name, {}));
        EXPECT_TRUE(cut);
        WorkerControl control;
        EXPECT_EQ(ScanFrames(*cut, control), 0);
        return cut;
    }

    TempDir dir_;
};

// A report that ends up anywhere but the memo, or an editable memo, would let the user "edit"
// a file's properties.
TEST_F(PropertiesFormTest, ReportFillsAReadOnlyScrollableText) {
    CutObjectPtr cut = ScannedSource(12);
    TPropertiesForm form;
    form.ShowReport(*cut);
    const QString text = form.PropsMemo->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Properties for 'song':")));
    EXPECT_TRUE(text.contains(QStringLiteral("Number of frames: 12")));
    EXPECT_TRUE(text.contains(QStringLiteral("No ID3v1.1 tag found")));
    EXPECT_TRUE(form.PropsMemo->isReadOnly());
    EXPECT_EQ(form.PropsMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Properties"));
    EXPECT_EQ(form.OkBtn->text(), QStringLiteral("Ok"));
}

// An entry accepted from an index file without its frames must not have its missing index read
// (that would dereference nothing); the window says why there are no frame lines.
TEST_F(PropertiesFormTest, EntryWithoutIndexSaysSoInsteadOfReadingOne) {
    CutObjectPtr cut = ScannedSource(3);
    cut->IndexStream.reset();
    TPropertiesForm form;
    form.ShowReport(*cut);
    const QString text = form.PropsMemo->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("has no frame index")));
    EXPECT_FALSE(text.contains(QStringLiteral("First valid frame")));
}

// The button must stay centred when the window is resized (odd widths truncate both halves).
TEST_F(PropertiesFormTest, OkButtonStaysCentredOnResize) {
    CutObjectPtr cut = ScannedSource(2);
    TPropertiesForm form;
    form.ShowReport(*cut);
    form.show();
    for (int width : {301, 640}) {
        form.resize(width, 300);
        QApplication::processEvents();
        const int panel = form.ButtonPanel->width();
        EXPECT_EQ(form.OkBtn->x(), panel / 2 - form.OkBtn->width() / 2) << width;
    }
}

// The modal window must end on "Ok"; a button wired to nothing would leave the program stuck.
TEST_F(PropertiesFormTest, ShowFilePropertiesReturnsWhenOkIsClicked) {
    CutObjectPtr cut = ScannedSource(2);
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<TPropertiesForm*>(widget); form && form->isVisible()) {
                clicked = true;
                form->OkBtn->click();
            }
        }
    });
    ShowFileProperties(*cut);
    EXPECT_TRUE(clicked);
}

}  // namespace
}  // namespace sw::test
