#include "platform/ruffle/RuffleMovie.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <curl/curl.h>

// As the program itself starts: Ruffle's scheme before the application, shared OpenGL contexts,
// the C numeric locale for libmpv.
int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    luming::RegisterRuffleScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    curl_global_cleanup();
    return result;
}
