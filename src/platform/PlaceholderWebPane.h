#pragma once

#include "platform/WebPane.h"

namespace luming {

// Holds a web pane's place in the window until the browser engine is built in: it remembers
// where it was sent and shows nothing.
class PlaceholderWebPane : public WebPane {
    Q_OBJECT
public:
    using WebPane::WebPane;
    void Navigate(const std::string& address) override { address_ = address; }
    void RunScript(const QString&) override {}
    const std::string& address() const { return address_; }

private:
    std::string address_;
};

} // namespace luming
