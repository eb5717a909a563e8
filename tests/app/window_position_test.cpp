#include "app/qt/window_position.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

#include "settings_test_store.h"

namespace sw {
namespace {

using test::TestSettingsStore;

void StorePlacement(const TestSettingsStore& store, const char* group, int left, int top, int width,
                    int height, int visible) {
    auto settings = store.Open();
    settings->beginGroup(QString::fromLatin1(group));
    settings->setValue("Left", left);
    settings->setValue("Top", top);
    settings->setValue("Width", width);
    settings->setValue("Height", height);
    settings->setValue("Visible", visible);
    settings->endGroup();
}

TEST(WindowPosition, SavedBoundsAndVisibilityComeBackOnTheNextStart) {
    TestSettingsStore store;
    {
        QWidget window;
        window.setObjectName("MainForm");
        window.move(120, 90);
        window.resize(640, 420);
        window.show();  // a shown top-level window has a frame; its place must not drift by it
        ASSERT_TRUE(SaveWindowPosition(&window, true));
    }
    auto settings = store.Open();
    EXPECT_EQ(settings->value("MainForm/Width").toInt(), 640);
    EXPECT_EQ(settings->value("MainForm/Visible").toString(), "1");  // an integer, as all flags

    QWidget window;
    window.setObjectName("MainForm");
    window.setGeometry(0, 0, 200, 100);
    EXPECT_TRUE(RestoreWindowPosition(&window));
    EXPECT_EQ(window.pos(), QPoint(120, 90));
    EXPECT_EQ(window.size(), QSize(640, 420));
    EXPECT_TRUE(window.isVisible());
}

TEST(WindowPosition, AStoredPlacementLargerThanTheScreenOpensOnIt) {
    // Stored at another scale, 3200 x 1962 opened with its edges out of the screen's reach.
    TestSettingsStore store;
    StorePlacement(store, "MainForm", 40, 40, 3200, 1962, 1);
    QWidget window;
    window.setObjectName("MainForm");
    EXPECT_TRUE(RestoreWindowPosition(&window));
    const QRect area = window.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(QRect(window.pos(), window.size())))
        << window.width() << "x" << window.height();
}

TEST(WindowPosition, FirstStartShowsTheWindowWhereItWasDesigned) {
    TestSettingsStore store;
    StorePlacement(store, "CutterForm", 10, 10, 300, 300, 0);  // another window's placement
    QWidget window;
    window.setObjectName("ProjectForm");
    window.move(30, 40);
    window.resize(250, 150);
    EXPECT_FALSE(RestoreWindowPosition(&window));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), QPoint(30, 40));
    EXPECT_EQ(window.size(), QSize(250, 150));
}

TEST(WindowPosition, FixedSizeWindowTakesOnlyTheStoredPosition) {
    // A fixed dialog stretched to an old stored size would show its controls out of place.
    TestSettingsStore store;
    StorePlacement(store, "CutterForm", 50, 60, 900, 700, 1);
    QWidget fixedBySize;
    fixedBySize.setObjectName("CutterForm");
    fixedBySize.setFixedSize(300, 200);
    EXPECT_TRUE(RestoreWindowPosition(&fixedBySize));
    EXPECT_EQ(fixedBySize.size(), QSize(300, 200));
    EXPECT_EQ(fixedBySize.pos(), QPoint(50, 60));

    QWidget fixedByHint(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    fixedByHint.setObjectName("CutterForm");
    fixedByHint.resize(310, 210);
    RestoreWindowPosition(&fixedByHint);
    EXPECT_EQ(fixedByHint.size(), QSize(310, 210));
}

TEST(WindowPosition, StoredInvisibleWindowStaysHidden) {
    TestSettingsStore store;
    StorePlacement(store, "CueListForm", 20, 20, 400, 300, 0);
    QWidget window;
    window.setObjectName("CueListForm");
    window.show();
    EXPECT_TRUE(RestoreWindowPosition(&window));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(400, 300));
}

TEST(WindowPosition, FormInsideMdiSubWindowIsPlacedByItsSubWindow) {
    // Moving the form inside its own sub-window frame would push it out of the frame.
    TestSettingsStore store;
    QMdiArea area;
    area.resize(1000, 800);
    auto* form = new QWidget;
    form->setObjectName("ProjectForm");
    QMdiSubWindow* sub = area.addSubWindow(form);
    area.show();
    sub->setGeometry(40, 30, 360, 240);
    ASSERT_TRUE(SaveWindowPosition(form, false));
    EXPECT_EQ(store.Open()->value("ProjectForm/Left").toInt(), 40);
    EXPECT_EQ(store.Open()->value("ProjectForm/Height").toInt(), 240);

    sub->setGeometry(0, 0, 100, 100);
    EXPECT_TRUE(RestoreWindowPosition(form));
    EXPECT_EQ(sub->geometry(), QRect(40, 30, 360, 240));
    EXPECT_EQ(form->parentWidget(), sub);
    EXPECT_FALSE(sub->isVisible());
}

TEST(WindowPosition, PlacementNoScreenShowsOrNoSizeKeepsTheDesignedOne) {
    // After a monitor is removed a window restored to its old place could never be reached.
    TestSettingsStore store;
    StorePlacement(store, "MainForm", -30000, -30000, 0, -5, 1);
    QWidget window;
    window.setObjectName("MainForm");
    window.move(10, 20);
    window.resize(300, 200);
    EXPECT_TRUE(RestoreWindowPosition(&window));
    EXPECT_EQ(window.pos(), QPoint(10, 20));
    EXPECT_EQ(window.size(), QSize(300, 200));
}

TEST(WindowPosition, UnreadableValuesAreSkippedOneByOne) {
    TestSettingsStore store;
    StorePlacement(store, "MainForm", 70, 80, 500, 400, 1);
    store.Open()->setValue("MainForm/Top", "high");
    store.Open()->setValue("MainForm/Visible", "perhaps");
    QWidget window;
    window.setObjectName("MainForm");
    window.move(10, 20);
    window.resize(300, 200);
    EXPECT_TRUE(RestoreWindowPosition(&window));
    EXPECT_EQ(window.pos(), QPoint(70, 20));
    EXPECT_EQ(window.size(), QSize(500, 400));
    EXPECT_TRUE(window.isVisible());
}

TEST(WindowPosition, NamelessWindowIsNeitherSavedNorRestored) {
    // Without a name every such window would share one anonymous group.
    TestSettingsStore store;
    QWidget window;
    EXPECT_FALSE(SaveWindowPosition(&window, true));
    EXPECT_TRUE(store.Open()->childGroups().isEmpty());
    EXPECT_FALSE(RestoreWindowPosition(&window));
    EXPECT_TRUE(window.isVisible());
}

TEST(WindowPosition, SaveReportsAStoreThatCannotBeWritten) {
    // The main window shows "Unable to store window settings..." only on a false result.
    TestSettingsStore store;
    store.MakeUncreatable();
    QWidget window;
    window.setObjectName("MainForm");
    EXPECT_FALSE(SaveWindowPosition(&window, true));
}

}  // namespace
}  // namespace sw
