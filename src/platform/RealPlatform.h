#pragma once

#include "config/UrlProbe.h"
#include "content/KestrivaneLibrary.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"

namespace luming {

// The platform services of the running program.
class RealPlatform : public Platform {
public:
    IDialogs& Dialogs() override { return dialogs_; }
    IUrlProbe& Probe() override { return probe_; }
    VendorLibrary& Vendor() override { return vendor_; }
    std::unique_ptr<QWidget> CreateFlashControl(QWidget* parent) override;
    WebPane* CreateWebPane(QWidget* parent) override;
    QWidget* CreateMediaPlayer(QWidget* parent) override;

private:
    QtDialogs dialogs_;
    CurlUrlProbe probe_;
    KestrivaneLibrary vendor_;
};

} // namespace luming
