#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// The windows run on the offscreen platform unless a display is asked for, and every window
// placement they store goes to a private settings folder, never the user's.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
