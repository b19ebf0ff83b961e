#include "platform/ruffle/RuffleMovie.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>

// One QApplication for the whole run, on the platform the environment names (offscreen by
// default); Ruffle's scheme is known to Qt only when registered before the application exists,
// and libmpv needs the C numeric locale.
int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    luming::RegisterRuffleScheme();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
