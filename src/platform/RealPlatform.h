#pragma once

#include "config/UrlProbe.h"
#include "content/KestrivaneLibrary.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/VolumeLevel.h"
#include "platform/X11Desktop.h"

namespace luming {

// The platform services of the running program.
class RealPlatform : public Platform {
public:
    // `ruffleDir` holds Ruffle's files (beside the executable in an installation).
    explicit RealPlatform(QString ruffleDir) : ruffleDir_(std::move(ruffleDir)) {}

    IDialogs& Dialogs() override { return dialogs_; }
    IUrlProbe& Probe() override { return probe_; }
    IDesktop& Desktop() override { return desktop_; }
    VendorLibrary& Vendor() override { return vendor_; }
    IOutputVolume& Volume() override { return volume_; }
    std::unique_ptr<FlashControl> CreateFlashControl(QWidget* parent) override;
    WebPane* CreateWebPane(QWidget* parent) override;
    MediaPlayer* CreateMediaPlayer(QWidget* parent) override;
    std::unique_ptr<MediaSessionService> PublishMediaSession(MediaSession& session,
                                                             int editionNo) override;

private:
    QtDialogs dialogs_;
    CurlUrlProbe probe_;
    X11Desktop desktop_;
    KestrivaneLibrary vendor_;
    VolumeLevel volume_;
    QString ruffleDir_;
};

} // namespace luming
