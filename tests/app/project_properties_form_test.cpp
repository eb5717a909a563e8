#include "app/ui/project_properties_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "shell_test_support.h"
#include "stream/id3_tag.h"

namespace sw {
namespace {

TProjectProperties Sample() {
    TProjectProperties p;
    p.FileName = "/music/Mix.m3p";
    p.Comment = "first line\r\nsecond line";
    p.Tag.Title = "Caf\xE9 Nights";  // Latin-1 bytes
    p.Tag.Artist = "Artist";
    p.Tag.Year = "1999";
    p.Tag.Genre = 17;
    p.Tag.Track = 3;
    p.Private = 1;
    p.ExportFlags = kExportTag;
    return p;
}

// Types text into a widget key by key, as a keyboard would, whatever the characters.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

bool SameRecord(const TProjectProperties& a, const TProjectProperties& b) {
    return a.FileName == b.FileName && a.Comment == b.Comment && a.Tag == b.Tag &&
           a.Private == b.Private && a.Copyright == b.Copyright && a.Original == b.Original &&
           a.ExportFlags == b.ExportFlags;
}

TEST(ProjectPropertiesDialog, TrackIsZeroWhileVersionOneOneIsOff) {
    // Would break: a version 1.0 tag written with a track byte that eats the comment's end.
    TProjectPropertiesForm form;
    TProjectProperties p = Sample();
    form.Load(p);
    auto* box = test::Find<QCheckBox>(form, "TrackBox");
    auto* track = test::Find<QSpinBox>(form, "TrackEdit");
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(track->isEnabled());
    EXPECT_EQ(track->value(), 3);
    box->setChecked(false);
    EXPECT_FALSE(track->isEnabled());
    form.Store(p);
    EXPECT_EQ(p.Tag.Track, 0);
    EXPECT_TRUE(form.Changed());

    p.Tag.Track = 0;
    form.Load(p);
    EXPECT_FALSE(track->isEnabled());
    EXPECT_EQ(track->minimum(), 1);
    EXPECT_EQ(track->maximum(), 32);
    box->setChecked(true);
    form.Store(p);
    EXPECT_EQ(p.Tag.Track, 1);
}

TEST(ProjectPropertiesDialog, TrackAboveTheSpinRangeSurvivesOpening) {
    // Would break: opening the dialog on a project from elsewhere turning track 40 into 32.
    TProjectPropertiesForm form;
    TProjectProperties p = Sample();
    p.Tag.Track = 40;
    form.Load(p);
    form.Store(p);
    EXPECT_EQ(p.Tag.Track, 40);
}

TEST(ProjectPropertiesDialog, GenresAreTheTagsListAndNoneStaysNone) {
    // Would break: "no genre" (255) saved as "Blues", or the list one off from the tag numbers.
    TProjectPropertiesForm form;
    auto* genres = test::Find<QComboBox>(form, "GenreList");
    ASSERT_EQ(genres->count(), 149);
    EXPECT_EQ(genres->itemText(0), "Blues");
    EXPECT_EQ(genres->itemText(147), "Synthpop");
    EXPECT_EQ(genres->itemText(148), "Unknown");

    TProjectProperties p = Sample();
    p.Tag.Genre = 255;
    form.Load(p);
    EXPECT_EQ(genres->currentIndex(), -1);
    form.Store(p);
    EXPECT_EQ(p.Tag.Genre, 255);
    EXPECT_FALSE(form.Changed());

    p.Tag.Genre = 200;
    form.Load(p);
    form.Store(p);
    EXPECT_EQ(p.Tag.Genre, 200);

    genres->setCurrentIndex(17);
    form.Store(p);
    EXPECT_EQ(p.Tag.Genre, 17);
    EXPECT_TRUE(form.Changed());
}

TEST(ProjectPropertiesDialog, TypedTagTextsKeepTheTagsLimitsAndLatinOne) {
    // Would break: a 31st title character silently lost at export, or "€" stored as "?".
    TProjectPropertiesForm form;
    TProjectProperties p;
    form.Load(p);
    auto* title = test::Find<QLineEdit>(form, "TitleEdit");
    auto* year = test::Find<QLineEdit>(form, "YearEdit");
    EXPECT_EQ(title->maxLength(), 30);
    EXPECT_EQ(test::Find<QLineEdit>(form, "ArtistEdit")->maxLength(), 30);
    EXPECT_EQ(test::Find<QLineEdit>(form, "AlbumEdit")->maxLength(), 30);
    EXPECT_EQ(test::Find<QLineEdit>(form, "CommentEdit")->maxLength(), 30);
    EXPECT_EQ(year->maxLength(), 4);
    Type(title, QString(40, QLatin1Char('x')));
    Type(year, QStringLiteral("20245"));
    Type(test::Find<QLineEdit>(form, "ArtistEdit"), QString::fromUtf8("Gr\xC3\xBC\xE2\x82\xAC"));
    form.Store(p);
    EXPECT_EQ(p.Tag.Title, std::string(30, 'x'));
    EXPECT_EQ(p.Tag.Year, "2024");
    EXPECT_EQ(p.Tag.Artist, "Gr\xFC");
    EXPECT_TRUE(form.Changed());
}

TEST(ProjectPropertiesDialog, ClosingUntouchedChangesNothingAndSaysSo) {
    // Would break: "Save" offered after merely looking, or stored bytes altered by the round trip
    // (a 40-byte title from elsewhere cut to 30, the comment's line breaks changed).
    TProjectProperties p = Sample();
    p.Tag.Title = std::string(40, 't');
    const TProjectProperties before = p;
    test::WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_FALSE(EditProjectProperties(p));
    EXPECT_TRUE(SameRecord(p, before));
}

TEST(ProjectPropertiesDialog, EditsAreWrittenBackWhenTheCloseBoxIsUsed) {
    // Would break: the dialog, which has no "Ok", dropping every edit on close.
    TProjectProperties p = Sample();
    test::WhenModal([](QWidget* modal) {
        auto* comment = modal->findChild<QPlainTextEdit*>(QStringLiteral("ProjectComment"));
        comment->setPlainText(QStringLiteral("one\ntwo"));
        comment->document()->setModified(true);
        modal->findChild<QCheckBox*>(QStringLiteral("CopyrightBox"))->setChecked(true);
        modal->findChild<QCheckBox*>(QStringLiteral("ExportTagBox"))->setChecked(false);
        modal->findChild<QCheckBox*>(QStringLiteral("ExportFlagsBox"))->setChecked(true);
        modal->close();
    });
    EXPECT_TRUE(EditProjectProperties(p));
    EXPECT_EQ(p.Comment, "one\r\ntwo");
    EXPECT_EQ(p.Copyright, 1);
    EXPECT_EQ(p.Private, 1);
    EXPECT_EQ(p.ExportFlags, kExportFlags);
    EXPECT_EQ(p.Tag.Title, Sample().Tag.Title);
}

TEST(ProjectPropertiesDialog, EveryControlHasAnAccessibleName) {
    // Would break: the two "Export to file" boxes indistinguishable to a screen reader.
    TProjectPropertiesForm form;
    EXPECT_EQ(test::UnnamedControls(form), QStringList());
    EXPECT_NE(test::Find<QCheckBox>(form, "ExportTagBox")->accessibleName(),
              test::Find<QCheckBox>(form, "ExportFlagsBox")->accessibleName());
}

}  // namespace
}  // namespace sw
