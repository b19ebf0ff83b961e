#pragma once

#include <memory>

class QWidget;

namespace luming {

class FlashControl;
class IDesktop;
class IDialogs;
class IOutputVolume;
class IUrlProbe;
class MediaPlayer;
class MediaSession;
class MediaSessionService;
class VendorLibrary;
class WebPane;

// The one place the main window gets its platform services from. main() hands over the real
// one; widget tests hand over fakes.
class Platform {
public:
    virtual ~Platform() = default;

    virtual IDialogs& Dialogs() = 0;
    virtual IUrlProbe& Probe() = 0;
    // Other programs' windows, the default browser, the Escape hot key.
    virtual IDesktop& Desktop() = 0;
    // The vendor's library that fetches programmes.
    virtual VendorLibrary& Vendor() = 0;

    // The program's output volume, which every player follows.
    virtual IOutputVolume& Volume() = 0;

    // The control that plays Flash movies and videos, or nullptr when it cannot be created.
    virtual std::unique_ptr<FlashControl> CreateFlashControl(QWidget* parent) = 0;

    // An embedded web browser, owned by `parent`. All panes share one browsing profile; a pane
    // costs little until it is first sent somewhere.
    virtual WebPane* CreateWebPane(QWidget* parent) = 0;

    // The hidden player of audio programmes, owned by `parent`; nullptr when none can be made.
    virtual MediaPlayer* CreateMediaPlayer(QWidget* parent) = 0;

    // The window's transport offered to the desktop's media keys, for as long as the returned
    // service lives; nullptr when the desktop cannot be reached.
    virtual std::unique_ptr<MediaSessionService> PublishMediaSession(MediaSession& session,
                                                                     int editionNo) = 0;
};

// True when one Flash control can be created (it is freed again at once).
bool FlashAvailable(Platform& platform);

} // namespace luming
