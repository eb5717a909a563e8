#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/qt/shell_opener.h"
#include "app/ui/about_form.h"
#include "app/ui/cutter_animation.h"
#include "app/ui/splash_form.h"
#include "shell_test_support.h"
#include "stream/version_text.h"
#include "widgets/ui/link_label.h"

// Receives what would go to the desktop's browser or mail program.
class OpenedAddresses : public QObject {
    Q_OBJECT

  public:
    OpenedAddresses() {
        for (const char* scheme : {"http", "https", "mailto", "file"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
        }
    }
    ~OpenedAddresses() override {
        for (const char* scheme : {"http", "https", "mailto", "file"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    QStringList opened;

  public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

namespace sw {
namespace {

TEST(SplashWindow, ShowsTheBuildAndClosesItselfOnItsTimer) {
    // Would break: a splash that never closes and blocks the start, or shows the wrong build.
    TSplashForm splash(2500);
    EXPECT_EQ(splash.BuildLabel()->text().toStdString(), BuildText());
    EXPECT_TRUE(splash.Timer().isActive());
    EXPECT_TRUE(splash.Timer().isSingleShot());
    EXPECT_EQ(splash.Timer().interval(), 2500);
    const QLabel* picture = splash.findChild<QLabel*>(QStringLiteral("ProductPicture"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);

    ShowSplash(1);  // returns only because the timer closed it
    ShowSplash(0);
    ShowSplash(-5);
    SUCCEED();
}

TEST(AboutBox, OkHasTheFocusAndClosesTheBox) {
    // Would break: Return or Space in the about box doing something other than closing it.
    TAboutForm about("support@slicewell.example.org", "https://slicewell.example.org/", {});
    EXPECT_EQ(about.focusWidget(), about.OkButton());
    EXPECT_EQ(about.BuildLabel()->text().toStdString(), BuildText());
    const VersionInfo version = ProgramVersion();
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("TitleLabel"))->text(),
              QStringLiteral("Slicewell v%1.%2").arg(version.Major).arg(version.Minor));
    test::WhenModal(
        [](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("OkBtn"))->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST(AboutBox, LinksOpenOnlyPlainMailAndWebAddresses) {
    // Would break: an "Email" or "SlicewellURL" setting edited into a file or command address
    // being handed to the desktop.
    OpenedAddresses desktop;
    TAboutForm good("support@slicewell.example.org", "https://slicewell.example.org/", {});
    EXPECT_TRUE(good.EmailLink()->isEnabled());
    EXPECT_EQ(good.EmailLink()->cursor().shape(), Qt::PointingHandCursor);
    emit good.EmailLink()->activated();
    emit good.HomePageLink()->activated();
    EXPECT_EQ(desktop.opened, (QStringList{"mailto:support@slicewell.example.org",
                                           "https://slicewell.example.org/"}));

    desktop.opened.clear();
    TAboutForm bad("a@b.example?cc=everyone@b.example", "file:///etc/passwd", {});
    EXPECT_FALSE(bad.EmailLink()->isEnabled());
    EXPECT_FALSE(bad.HomePageLink()->isEnabled());
    emit bad.EmailLink()->activated();
    emit bad.HomePageLink()->activated();
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_FALSE(OpenAddress("file:///etc/passwd"));
    EXPECT_TRUE(desktop.opened.isEmpty());
}

TEST(AboutBox, UpdateLinkWaitsForTheUpdateCheck) {
    // Would break: a link that looks usable but does nothing, or one that never starts the check.
    TAboutForm without("support@slicewell.example.org", "https://slicewell.example.org/", {});
    EXPECT_FALSE(without.UpdatesLink()->isEnabled());
    int checks = 0;
    TAboutForm with("support@slicewell.example.org", "https://slicewell.example.org/",
                    [&] { ++checks; });
    EXPECT_TRUE(with.UpdatesLink()->isEnabled());
    EXPECT_EQ(with.UpdatesLink()->toolTip(), "Check for updates (internet connection required)");
    emit with.UpdatesLink()->activated();
    EXPECT_EQ(checks, 1);
}

TEST(AboutBox, AnimationRunsItsTwentyFiveFramesWithoutTakingFocus) {
    // Would break: Tab stopping on the animation, or the animation running past its last frame.
    TAboutForm about("support@slicewell.example.org", "https://slicewell.example.org/", {});
    CutterAnimation* animation = about.Animation();
    EXPECT_TRUE(animation->Running());
    EXPECT_EQ(animation->focusPolicy(), Qt::NoFocus);
    for (int i = 0; i < CutterAnimation::kFrameCount - 1; ++i) {
        animation->Advance();
    }
    EXPECT_EQ(animation->Frame(), CutterAnimation::kFrameCount - 1);
    animation->Advance();
    EXPECT_EQ(animation->Frame(), 0);
    EXPECT_EQ(test::UnnamedControls(about), QStringList());
}

}  // namespace
}  // namespace sw

#include "splash_about_test.moc"
