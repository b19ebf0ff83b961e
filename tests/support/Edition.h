#pragma once

#include "config/Settings.h"
#include "support/TempDir.h"

#include <filesystem>
#include <initializer_list>
#include <string>

namespace luming::test {

// Edition 26 inside a suite under `root`: the suite marker, `localIni`, the channel's catalogue
// and the `cached` programme files; and the settings the window takes from them.
inline Settings MakeEdition(const std::filesystem::path& root, const std::string& catalogue,
                            const std::string& localIni,
                            std::initializer_list<const char*> cached = {}) {
    const auto edition = root / "suite" / "26";
    WriteFile(root / "suite" / "Config" / "Source.ini", "");
    WriteFile(edition / "Config" / "local.ini", localIni);
    WriteFile(edition / "Resource" / "xml" / "26.xml", catalogue);
    for (const char* file : cached)
        WriteFile(edition / "Caches" / "26" / file, "x");
    Settings settings;
    settings.EditionNo = 26;
    settings.AppDir = edition.string() + "/";
    settings.LocalIniPath = settings.AppDir + "Config/local.ini";
    settings.CacheDir = settings.AppDir + "Caches/";
    settings.DownloadDir = settings.AppDir + "DL/";
    settings.PlayMode = "0";
    return settings;
}

} // namespace luming::test
