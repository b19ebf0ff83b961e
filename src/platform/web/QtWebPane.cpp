#include "platform/web/QtWebPane.h"

#include "platform/web/WebPanePage.h"

#include <QOpenGLWidget>
#include <QVBoxLayout>
#include <QWebEngineHttpRequest>
#include <QWebEngineView>

namespace luming {

QtWebPane::QtWebPane(QWidget* parent) : WebPane(parent) {
    // The browser draws through OpenGL, and so must its window from its first show: switched
    // over when the first page came, once the window was on screen, the window was made again
    // and lost the keyboard. A surface that is never shown costs nothing.
    (new QOpenGLWidget(this))->hide();
}

QtWebPane::~QtWebPane() {
    // The view goes before the page it shows.
    delete view_;
}

WebPanePage& QtWebPane::Page() {
    if (page_)
        return *page_;
    page_ = new WebPanePage(this);
    page_->SetNavigationFilter(filter_);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    // The only menu a pane may show: Copy, enabled when something is selected.
    view_->addAction(page_->action(QWebEnginePage::Copy));
    ApplyContextMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    // A navigation the filter cancelled also ends in loadFinished(false): only a real load
    // completes a document.
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!ok)
            return;
        shown_ = true;
        emit documentComplete(true, page_->url().toString());
    });
    connect(page_, &WebPanePage::frameComplete, this,
            [this](const QString& address) { emit documentComplete(false, address); });
    return *page_;
}

QUrl QtWebPane::Prepare(const std::string& address) {
    // Addresses and the program's own pages as plain paths alike.
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(address));
    if (url.isLocalFile())
        Page().ExpectLocalPage(url);
    return url;
}

void QtWebPane::Navigate(const std::string& address) {
    const QUrl url = Prepare(address);
    Page().load(url);
}

void QtWebPane::NavigateUncached(const std::string& address) {
    const QUrl url = Prepare(address);
    if (url.isLocalFile()) {
        Page().load(url);
        return;
    }
    QWebEngineHttpRequest request(url);
    request.setHeader("Cache-Control", "no-cache");
    request.setHeader("Pragma", "no-cache");
    Page().load(request);
}

void QtWebPane::RunScript(const QString& script) {
    // Before any page there is no document to run in.
    if (page_)
        page_->runJavaScript(script);
}

std::string QtWebPane::Address() const {
    return shown_ ? page_->url().toString().toStdString() : std::string();
}

void QtWebPane::SetNavigationFilter(NavigationFilter filter) {
    filter_ = std::move(filter);
    if (page_)
        page_->SetNavigationFilter(filter_);
}

void QtWebPane::SetContextMenu(bool enabled) {
    contextMenu_ = enabled;
    ApplyContextMenu();
}

void QtWebPane::ApplyContextMenu() {
    if (view_)
        view_->setContextMenuPolicy(contextMenu_ ? Qt::ActionsContextMenu : Qt::NoContextMenu);
}

} // namespace luming
