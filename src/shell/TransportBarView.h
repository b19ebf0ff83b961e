#pragma once

#include "playback/Transport.h"

#include <functional>

namespace luming {

class TfrmMain;

// The transport bar of the window as the transport rules see it.
class TransportBarView : public ITransportBar {
public:
    TransportBarView(TfrmMain& form, std::function<void(bool)> showPauseAds)
        : form_(form), showPauseAds_(std::move(showPauseAds)) {}

    BarGeometry Bar() override;
    void SetKnobLeft(int left) override;
    void SetLoadedWidth(int width) override;
    void SetTimeText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetStatusDetail(const std::string& detail) override;
    void ShowLook(const PlayStateLook& look) override;
    int PlayButtonTag() override;
    // Whether the play button takes a press now (not while a programme loads).
    bool PlayButtonTakesPress() const { return !busy_; }

private:
    TfrmMain& form_;
    std::function<void(bool)> showPauseAds_;
    int shownGlyph_ = -1; // the play button's, once shown
    bool busy_ = false;
};

} // namespace luming
