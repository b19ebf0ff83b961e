#include <QCoreApplication>

#include <gtest/gtest.h>

// One application for the whole run: the bus connections deliver through its event loop.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
