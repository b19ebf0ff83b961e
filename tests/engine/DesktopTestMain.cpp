#include "engine/OtherProgramWindows.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>

// The tests need an X server (run inside Xvfb, on the xcb platform); started with
// "--other-program CLASS TITLE" this program plays the other program whose windows they look for.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--other-program") == 0)
        return luming::test::RunOtherProgramWindows(argv[2], argv[3]);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
