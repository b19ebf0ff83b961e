#pragma once

#include <string>

namespace luming {

// Every setting of the client, loaded once at start by TDataModule1. The names are the ones the
// rest of the program knows them by. Paths end with "/".
struct Settings {
    // Edition: the build number from the executable, -1 outside a suite, 0 for the generic edition.
    int EditionNo = 0;
    // Started with "-start": the window is created but not shown.
    bool StartHidden = false;

    std::string AppDir;
    std::string LocalIniPath;

    // Config/local.ini, section "Info".
    int StartCount = 0;        // "1"
    int ClientVersionCode = 0; // "6"
    std::string ExitOnClose;   // "8"
    std::string Key9;          // "9": read and kept, used by nobody
    std::string DownloadDir;   // "10"
    std::string PlayMode;      // "11"
    std::string CacheDir;      // "12"

    // Config/platform.ini, section "Info" (read only inside a suite).
    std::string WebBaseUrl;       // "1"
    std::string DownloadBaseUrl;  // "3"
    std::string Mp3PageUrl;       // "10"
    std::string MessagePageUrl;   // "11"
    std::string OnlineServiceUrl; // "12"
    std::string StatusBarAdUrl;   // "14"
    std::string ChannelAdUrl;     // "15"
    std::string PauseAdUrl;       // "16"
    // "17": where the channels' catalogues are, as <channel>.xml; by default "xml/" under the
    // download address, so a site needs no new setting to offer catalogue updates.
    std::string CatalogueBaseUrl;
};

inline constexpr const char* kInfoSection = "Info";

// The vendor's hosts that the platform addresses fall back to.
inline constexpr const char* kVendorWebBaseUrl = "http://www.lumingguo.cn";
inline constexpr const char* kVendorDownloadBaseUrl = "http://dl.lumingguo.cn/";

} // namespace luming
