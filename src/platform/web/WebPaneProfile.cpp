#include "platform/web/WebPaneProfile.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace luming {

QWebEngineProfile* WebPaneProfile() {
    // Owned by the application so that it outlives every page made with it.
    static QWebEngineProfile* const profile = [] {
        auto* made = new QWebEngineProfile(QCoreApplication::instance());
        QWebEngineSettings* settings = made->settings();
        // The only local pages are the program's own offline pages: they may use the files
        // beside them, but not read the network by script.
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        // A failed advertisement stays blank rather than showing the engine's error page.
        settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        return made;
    }();
    return profile;
}

} // namespace luming
