#pragma once

#include <QWidget>

#include <string>

class QFrame;
class QTimer;

namespace luming {

class ImageControl;
class Platform;
class WebPane;

// The latest-news pop-up: borderless and on top of every window (and, as a tool window of the
// main window, never under it, whatever the window manager makes of "on top"), it waits below the
// screen at the right of the work area while its page loads, slides up when the page has come, and
// closes itself after an hour or by its close image. It frees itself when closed.
class TfrmSystemMsg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 300;

    TfrmSystemMsg(QWidget* owner, Platform& platform, std::string messagePageUrl);

    // Places the pop-up below the screen, shows it and loads the news page afresh.
    void ShowBelowScreen();

    WebPane* wbSystemMsg = nullptr;
    QFrame* pnlClose = nullptr;
    ImageControl* Image1 = nullptr;
    QTimer* Timer1 = nullptr;
    // 0 while the page loads, 1 once the pop-up has slid in.
    int Tag = 0;

    void wbSystemMsgDocumentComplete(bool topLevel);
    void Timer1Timer();
    void Image1Click();

private:
    std::string messagePageUrl_;
};

} // namespace luming
