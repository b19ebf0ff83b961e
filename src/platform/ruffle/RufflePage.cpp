#include "platform/ruffle/RufflePage.h"

#include "platform/ruffle/RufflePageFiles.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace luming {

RufflePage::RufflePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    // Not even on a click does an address of another scheme go to the desktop's handler.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        const bool ended = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
                           info.status() == QWebEngineLoadingInfo::LoadFailedStatus;
        if (!loading_ || !ended || info.url() != QUrl(RufflePageFiles::PageUrl()))
            return;
        loading_ = false;
        emit pageLoaded(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
    });
}

bool RufflePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // Only the program loads the page (setUrl), and only the page itself: a movie's request to
    // load even this page again would take the program's movie away.
    const bool own =
        type == NavigationTypeTyped && isMainFrame && url == QUrl(RufflePageFiles::PageUrl());
    loading_ = loading_ || own;
    return own;
}

QWebEnginePage* RufflePage::createWindow(WebWindowType) {
    return nullptr;
}

} // namespace luming
