#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>

// One QApplication for the whole run, on the platform the environment names (offscreen by
// default); libmpv needs the C numeric locale.
int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
