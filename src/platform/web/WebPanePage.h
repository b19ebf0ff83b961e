#pragma once

#include "platform/WebPane.h"

#include <QWebEnginePage>

namespace luming {

// The page of a web pane: decides every navigation it or its frames begin, drops new windows
// (after showing their address to the same filter), and reports frames that finish loading.
class WebPanePage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit WebPanePage(QObject* parent);

    void SetNavigationFilter(WebPane::NavigationFilter filter) { filter_ = std::move(filter); }
    // The local page the program itself is about to load; every other file: address is refused.
    void ExpectLocalPage(const QUrl& url) { localPage_ = url; }

signals:
    void frameComplete(const QString& address);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    bool Refused(const QUrl& url, bool topLevel) const;

    WebPane::NavigationFilter filter_;
    QUrl localPage_;
};

} // namespace luming
