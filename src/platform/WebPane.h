#pragma once

#include "config/Navigation.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

namespace luming {

// An embedded web browser of the window: it goes to addresses, runs scripts in the page, lets
// the window look at every navigation before it begins, and says when a document has finished
// loading.
class WebPane : public QWidget, public INavigable {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void Navigate(const std::string& address) override = 0;
    // Loads without reading from or writing to the cache.
    virtual void NavigateUncached(const std::string& address) = 0;
    virtual void RunScript(const QString& script) = 0;
    // The address of the top-level document now shown, after redirects; empty before any.
    virtual std::string Address() const = 0;

    // Asked before every navigation the page or one of its frames begins (links, scripts,
    // typed addresses); true cancels it.
    using NavigationFilter = std::function<bool(const std::string& address, bool topLevel)>;
    virtual void SetNavigationFilter(NavigationFilter filter) = 0;
    // Whether a right click shows a menu (never the browser's own Back/Reload/View source).
    virtual void SetContextMenu(bool enabled) = 0;

signals:
    // A document finished loading: the top-level page (`topLevel`, with its final address) or
    // one of its frames.
    void documentComplete(bool topLevel, const QString& address);
};

} // namespace luming
