#pragma once

#include "config/Dialogs.h"

namespace luming {

// Modal message boxes over the active window.
class QtDialogs : public IDialogs {
public:
    void Information(const std::string& text) override;
    void Plain(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void Error(const std::string& text) override;
};

} // namespace luming
