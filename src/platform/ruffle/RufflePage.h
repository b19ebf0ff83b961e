#pragma once

#include <QWebEnginePage>

namespace luming {

// The page Ruffle plays in. A movie may ask the page to go elsewhere (getURL, navigateToURL)
// or to open a window: the page stays where it is and no window opens, whatever the address.
class RufflePage : public QWebEnginePage {
    Q_OBJECT
public:
    RufflePage(QWebEngineProfile* profile, QObject* parent);

signals:
    // The page the program loaded (RufflePageFiles::PageUrl) is there, or could not load. A
    // navigation refused meanwhile tells nothing here (Qt reports it as a failed load).
    void pageLoaded(bool ok);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    bool loading_ = false; // the program's own load of the page is on its way
};

} // namespace luming
