#include <gtest/gtest.h>

#include <QCoreApplication>

// Returned buffers reach the player through the Qt event loop, so the tests run one.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
