#pragma once

#include "platform/WebPane.h"

class QWebEngineView;

namespace luming {

class WebPanePage;

// A web pane on Qt WebEngine. The browser view costs tens of MB or more, so the pane stays a
// plain widget until it is first sent somewhere.
class QtWebPane : public WebPane {
    Q_OBJECT
public:
    explicit QtWebPane(QWidget* parent);
    ~QtWebPane() override;

    void Navigate(const std::string& address) override;
    void NavigateUncached(const std::string& address) override;
    void RunScript(const QString& script) override;
    std::string Address() const override;
    void SetNavigationFilter(NavigationFilter filter) override;
    void SetContextMenu(bool enabled) override;

private:
    // The page, made with its view on first use.
    WebPanePage& Page();
    QUrl Prepare(const std::string& address);
    void ApplyContextMenu();

    QWebEngineView* view_ = nullptr;
    WebPanePage* page_ = nullptr;
    NavigationFilter filter_;
    bool contextMenu_ = true;
    bool shown_ = false; // a top-level document has loaded
};

} // namespace luming
