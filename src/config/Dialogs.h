#pragma once

#include <string>

namespace luming {

// The message boxes the program shows. The real one draws modal boxes; tests record the texts.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Caption "提示", OK, information icon.
    virtual void Information(const std::string& text) = 0;
    // Caption "提示", OK, no icon.
    virtual void Plain(const std::string& text) = 0;
    // Caption "提示", OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& text) = 0;
    // An error that escaped an operation: the application's title as caption, an error icon.
    virtual void Error(const std::string& text) = 0;
};

inline constexpr const char* kMessageCaption = "提示";

// The information box every part of the program uses for its fixed messages.
inline void ShowInfo(IDialogs& dialogs, const std::string& text) {
    dialogs.Information(text);
}

} // namespace luming
