#include "config/DataModule.h"

#include "config/AtomicFile.h"
#include "config/IniDocument.h"
#include "config/IniFile.h"
#include "config/NumberText.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace luming {

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

void CreateDirectories(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
}

// A key that holds text which is not a whole number ends the loading of local.ini there.
struct MalformedNumber : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int ToInt(const std::string& text) {
    const auto number = ParseInt32(text);
    if (!number)
        throw MalformedNumber(text);
    return *number;
}

} // namespace

TDataModule1::TDataModule1(std::string appDir, Settings& settings)
    : appDir_(std::move(appDir)), settings_(settings) {
    if (appDir_.empty() || appDir_.back() != '/')
        appDir_ += '/';
}

void TDataModule1::DataModuleCreate() {
    PrepareLocalConfig();
    LoadConfig();
}

void TDataModule1::PrepareLocalConfig() {
    settings_.AppDir = appDir_;
    settings_.LocalIniPath = appDir_ + "Config/local.ini";
    if (Exists(settings_.LocalIniPath))
        return;

    CreateDirectories(appDir_ + "Config");
    // The eight values in their order, in one step: a start killed at any moment leaves the file
    // absent (the next start writes it) or complete, never empty.
    const std::pair<const char*, const char*> defaults[] = {
        {"1", "0"}, {"6", "33554458"}, {"7", "100090"}, {"8", "1"},
        {"9", "0"}, {"10", ""},        {"11", "0"},     {"12", ""},
    };
    IniDocument document;
    for (const auto& [key, value] : defaults)
        document.SetValue(kInfoSection, key, value);
    WriteFileAtomically(settings_.LocalIniPath, document.Bytes());
}

void TDataModule1::LoadConfig() {
    if (Exists(settings_.LocalIniPath)) {
        try {
            LoadLocalSettings();
        } catch (const MalformedNumber&) {
            // The values not read yet keep their initial values; no directory defaults.
        }
    }

    if (!Exists(appDir_ + "../Config/Source.ini")) {
        settings_.EditionNo = -1;
        return;
    }
    if (Exists(appDir_ + "Config/platform.ini"))
        LoadPlatformSettings();
}

void TDataModule1::LoadLocalSettings() {
    const IniSnapshot ini(settings_.LocalIniPath);
    settings_.StartCount = ToInt(ini.Read(kInfoSection, "1", "0"));
    settings_.ClientVersionCode = ToInt(ini.Read(kInfoSection, "6", "33554458"));
    settings_.ExitOnClose = ini.Read(kInfoSection, "8", "0");
    settings_.Key9 = ini.Read(kInfoSection, "9", "0");
    settings_.DownloadDir = ini.Read(kInfoSection, "10", "");
    settings_.PlayMode = ini.Read(kInfoSection, "11", "0");
    settings_.CacheDir = ini.Read(kInfoSection, "12", "");

    if (settings_.DownloadDir.empty()) {
        settings_.DownloadDir = appDir_ + "DL/";
        CreateDirectories(settings_.DownloadDir);
    }
    if (settings_.CacheDir.empty()) {
        settings_.CacheDir = appDir_ + "Caches/";
        CreateDirectories(settings_.CacheDir);
    }
}

void TDataModule1::LoadPlatformSettings() {
    const IniSnapshot ini(appDir_ + "Config/platform.ini");
    const std::string web = kVendorWebBaseUrl;
    auto read = [&](const char* key, const std::string& fallback) {
        return ini.Read(kInfoSection, key, fallback);
    };
    settings_.WebBaseUrl = read("1", web);
    settings_.DownloadBaseUrl = read("3", kVendorDownloadBaseUrl);
    settings_.Mp3PageUrl = read("10", web + "/Mp3PageHtml/Mp3PageHtml");
    settings_.MessagePageUrl = read("11", web + "/mini_index.html");
    settings_.OnlineServiceUrl = read("12", "");
    settings_.StatusBarAdUrl = read("14", web + "/ad/StatusBar.html");
    settings_.ChannelAdUrl = read("15", web + "/ad/ChannelAds.html");
    settings_.PauseAdUrl = read("16", web + "/ad/PauseAds.html");
    std::string download = settings_.DownloadBaseUrl;
    if (!download.empty() && download.back() != '/')
        download += '/';
    settings_.CatalogueBaseUrl = read("17", download.empty() ? "" : download + "xml/");
}

} // namespace luming
