#pragma once

#include "config/Settings.h"

#include <string>

namespace luming {

// The configuration module: its creation works out the installation paths, creates a default
// Config/local.ini on first start and loads every setting into `settings`.
class TDataModule1 {
public:
    // `appDir` is the directory of the executable (a trailing "/" is added when missing).
    TDataModule1(std::string appDir, Settings& settings);

    void DataModuleCreate();

    void PrepareLocalConfig();
    void LoadConfig();

private:
    void LoadLocalSettings();
    void LoadPlatformSettings();

    std::string appDir_;
    Settings& settings_;
};

} // namespace luming
