#pragma once

#include "platform/WebPane.h"

#include <vector>

namespace luming {

// A web pane that loads nothing: it remembers where it was sent, and tests play its page's part
// (a navigation the page begins, a finished document).
class PlaceholderWebPane : public WebPane {
    Q_OBJECT
public:
    using WebPane::WebPane;
    void Navigate(const std::string& address) override {
        address_ = address;
        navigations.push_back(address);
    }
    void NavigateUncached(const std::string& address) override {
        Navigate(address);
        uncached = true;
    }
    void RunScript(const QString& script) override { scripts.push_back(script); }
    std::string Address() const override { return address_; }
    void SetNavigationFilter(NavigationFilter filter) override { filter_ = std::move(filter); }
    void SetContextMenu(bool enabled) override { contextMenu = enabled; }

    const std::string& address() const { return address_; }
    // The page begins a navigation: true when the window cancelled it.
    bool PageNavigates(const std::string& address, bool topLevel = true) {
        return filter_ && filter_(address, topLevel);
    }
    // The page finished loading, at `finalAddress` (after redirects).
    void Complete(const std::string& finalAddress, bool topLevel = true) {
        if (topLevel)
            address_ = finalAddress;
        emit documentComplete(topLevel, QString::fromStdString(finalAddress));
    }

    std::vector<std::string> navigations;
    std::vector<QString> scripts;
    bool uncached = false;
    bool contextMenu = true;

private:
    std::string address_;
    NavigationFilter filter_;
};

} // namespace luming
