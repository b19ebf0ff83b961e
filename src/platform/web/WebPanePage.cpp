#include "platform/web/WebPanePage.h"

#include "platform/web/FrameCompletion.h"
#include "platform/web/WebPaneProfile.h"

#include <QDir>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScriptCollection>

namespace luming {

namespace {

// What pages and their frames may show. (A file: address is the program's own page, checked
// above.)
const QStringList kWebSchemes = {"http", "https", "file", "about", "data", "blob"};

bool SameLocalFile(const QUrl& a, const QUrl& b) {
    return a.isLocalFile() && b.isLocalFile() &&
           QDir::cleanPath(a.toLocalFile()) == QDir::cleanPath(b.toLocalFile());
}

} // namespace

WebPanePage::WebPanePage(QObject* parent) : QWebEnginePage(WebPaneProfile(), parent) {
    scripts().insert(FrameCompletionScript());
    // With no page made for it, the engine asks here; the window may want the address (its own
    // programme links), but the new window itself never opens.
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { Refused(request.requestedUrl(), true); });
}

bool WebPanePage::Refused(const QUrl& url, bool topLevel) const {
    // A page may not send the pane into the computer's files, whatever the window says.
    if (url.scheme() == "file" && !SameLocalFile(url, localPage_))
        return true;
    if (filter_ && filter_(url.toString(QUrl::FullyEncoded).toStdString(), topLevel))
        return true;
    // The window's own programme links may come in any form; nothing else leaves the web: an
    // address of any other scheme would go to the desktop's handler, which may start a program.
    return !kWebSchemes.contains(url.scheme());
}

bool WebPanePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return !Refused(url, isMainFrame);
}

QWebEnginePage* WebPanePage::createWindow(WebWindowType) {
    return nullptr;
}

void WebPanePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                           int, const QString&) {
    if (const auto address = CompletedFrameAddress(message))
        emit frameComplete(*address);
}

} // namespace luming
