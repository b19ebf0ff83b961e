#pragma once

#include <QWidget>

namespace luming {

struct Settings;
class Platform;

// The main window: borderless and skinned, its frame drawn by the program itself.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 823;
    static constexpr int kDesignClientHeight = 592;

    TfrmMain(Settings& settings, Platform& platform, QWidget* parent = nullptr);

    // Another start of this edition asked for the window: show it, restore it, bring it forward.
    void BringForward();

private:
    void CentreOnScreen();

    [[maybe_unused]] Settings& settings_;
    [[maybe_unused]] Platform& platform_;
};

} // namespace luming
