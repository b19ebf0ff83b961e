#include "platform/ruffle/RuffleScheme.h"
#include "platform/ruffle/RuffleMovie.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineUrlScheme>

namespace luming {

void RegisterRuffleScheme() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QWebEngineUrlScheme scheme(kRuffleScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Secure, so that the page may use everything Ruffle's sound needs; CORS, so that its
    // requests are answered.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool RuffleFilesPresent(const QString& ruffleDir) {
    const QDir dir(ruffleDir);
    return QFileInfo(dir.filePath("ruffle.js")).isFile() &&
           !dir.entryList({"*.wasm"}, QDir::Files).isEmpty();
}

} // namespace luming
