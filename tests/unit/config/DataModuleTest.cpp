#include "config/DataModule.h"
#include "config/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace luming;
using luming::test::ReadFile;
using luming::test::TempDir;
using luming::test::WriteFile;
namespace fs = std::filesystem;

namespace {

// An installation: <suite>/<edition>/ with the suite marker optional.
struct Installation {
    TempDir suite;
    fs::path edition = suite.path() / "26";

    explicit Installation(bool inSuite = true) {
        fs::create_directories(edition);
        if (inSuite)
            WriteFile(suite.path() / "Config" / "Source.ini", "");
    }
    std::string appDir() const { return edition.string() + "/"; }
    fs::path localIni() const { return edition / "Config" / "local.ini"; }

    Settings Load(int buildNumber = 26) const {
        Settings settings;
        settings.EditionNo = buildNumber;
        TDataModule1 module(appDir(), settings);
        module.DataModuleCreate();
        return settings;
    }
};

} // namespace

TEST(DataModule, FirstStartWritesTheDefaultsAndCreatesTheDirectories) {
    Installation installation;
    const mode_t umaskBefore = ::umask(027);
    const Settings settings = installation.Load();
    ::umask(umaskBefore);
    EXPECT_EQ(fs::status(installation.localIni()).permissions(), fs::perms(0640))
        << "as if created";

    EXPECT_EQ(ReadFile(installation.localIni()),
              "[Info]\n1=0\n6=33554458\n7=100090\n8=1\n9=0\n10=\n11=0\n12=\n");
    EXPECT_EQ(settings.AppDir, installation.appDir());
    EXPECT_EQ(settings.LocalIniPath, installation.appDir() + "Config/local.ini");
    EXPECT_EQ(settings.StartCount, 0);
    EXPECT_EQ(settings.ClientVersionCode, 33554458);
    EXPECT_EQ(settings.ExitOnClose, "1");
    EXPECT_EQ(settings.PlayMode, "0");
    EXPECT_EQ(settings.DownloadDir, installation.appDir() + "DL/");
    EXPECT_EQ(settings.CacheDir, installation.appDir() + "Caches/");
    EXPECT_TRUE(fs::is_directory(settings.DownloadDir));
    EXPECT_TRUE(fs::is_directory(settings.CacheDir));
}

TEST(DataModule, AnExistingFileIsNotRewritten) {
    Installation installation;
    const std::string own = "; mine\r\n[Info]\r\n1=4\r\n8=0\r\n";
    WriteFile(installation.localIni(), own);
    const Settings settings = installation.Load();
    EXPECT_EQ(ReadFile(installation.localIni()), own);
    EXPECT_EQ(settings.StartCount, 4);
    EXPECT_EQ(settings.ExitOnClose, "0");
}

TEST(DataModule, MissingKeysTakeTheirFallbacks) {
    Installation installation;
    WriteFile(installation.localIni(), "[Info]\n");
    const Settings settings = installation.Load();
    EXPECT_EQ(settings.StartCount, 0);
    EXPECT_EQ(settings.ClientVersionCode, 33554458);
    EXPECT_EQ(settings.ExitOnClose, "0") << "without key 8 the close button minimises";
    EXPECT_EQ(settings.Key9, "0");
    EXPECT_EQ(settings.PlayMode, "0");
}

TEST(DataModule, AConfiguredDownloadDirectoryIsUsedAsItStands) {
    Installation installation;
    const std::string elsewhere = installation.suite.dir() + "not/made/yet";
    WriteFile(installation.localIni(), "[Info]\n10=" + elsewhere + "\n");
    const Settings settings = installation.Load();
    EXPECT_EQ(settings.DownloadDir, elsewhere);
    EXPECT_FALSE(fs::exists(elsewhere));
    EXPECT_EQ(settings.CacheDir, installation.appDir() + "Caches/");
}

TEST(DataModule, AMalformedNumberEndsLoadingWhereItStands) {
    {
        Installation installation;
        WriteFile(installation.localIni(), "[Info]\n1=three\n6=5\n8=1\n");
        const Settings settings = installation.Load();
        EXPECT_EQ(settings.StartCount, 0);
        EXPECT_EQ(settings.ClientVersionCode, 0);
        EXPECT_EQ(settings.ExitOnClose, "");
        EXPECT_EQ(settings.DownloadDir, "");
        EXPECT_FALSE(fs::exists(installation.edition / "DL"));
        EXPECT_EQ(settings.EditionNo, 26) << "the platform step still runs";
    }
    {
        Installation installation;
        WriteFile(installation.localIni(), "[Info]\n1=7\n6=\n8=1\n");
        const Settings settings = installation.Load();
        EXPECT_EQ(settings.StartCount, 7);
        EXPECT_EQ(settings.ClientVersionCode, 0);
        EXPECT_EQ(settings.ExitOnClose, "");
    }
    {
        Installation installation;
        WriteFile(installation.localIni(), "[Info]\n1=99999999999\n");
        EXPECT_EQ(installation.Load().ClientVersionCode, 0) << "out of range is malformed";
    }
}

TEST(DataModule, WithoutTheSuiteMarkerThereIsNoEditionAndNoAddresses) {
    Installation installation(false);
    WriteFile(installation.edition / "Config" / "platform.ini", "[Info]\n1=http://x\n");
    const Settings settings = installation.Load();
    EXPECT_EQ(settings.EditionNo, -1);
    EXPECT_EQ(settings.WebBaseUrl, "");
    EXPECT_EQ(settings.StatusBarAdUrl, "");
    EXPECT_EQ(settings.ExitOnClose, "1") << "local settings load as usual";
}

TEST(DataModule, InsideASuiteWithoutPlatformFileTheAddressesStayEmpty) {
    Installation installation;
    const Settings settings = installation.Load();
    EXPECT_EQ(settings.EditionNo, 26);
    EXPECT_EQ(settings.DownloadBaseUrl, "");
    EXPECT_EQ(settings.Mp3PageUrl, "");
}

TEST(DataModule, PlatformAddressesFallBackToTheVendorHosts) {
    Installation installation;
    WriteFile(installation.edition / "Config" / "platform.ini",
              "[info]\n3=http://127.0.0.1:8080/dl/\n12=\n15=http://ads/Channel.HTML\n");
    const Settings settings = installation.Load();
    const std::string web = kVendorWebBaseUrl;
    EXPECT_EQ(settings.WebBaseUrl, web);
    EXPECT_EQ(settings.DownloadBaseUrl, "http://127.0.0.1:8080/dl/");
    EXPECT_EQ(settings.Mp3PageUrl, web + "/Mp3PageHtml/Mp3PageHtml");
    EXPECT_EQ(settings.MessagePageUrl, web + "/mini_index.html");
    EXPECT_EQ(settings.OnlineServiceUrl, "");
    EXPECT_EQ(settings.StatusBarAdUrl, web + "/ad/StatusBar.html");
    EXPECT_EQ(settings.ChannelAdUrl, "http://ads/Channel.HTML");
    EXPECT_EQ(settings.PauseAdUrl, web + "/ad/PauseAds.html");
    EXPECT_EQ(settings.CatalogueBaseUrl, "http://127.0.0.1:8080/dl/xml/");
}

TEST(DataModule, TheCatalogueAddressIsItsOwnSettingOrFollowsTheDownloadAddress) {
    Installation installation;
    const auto catalogues = [&](const std::string& ini) {
        WriteFile(installation.edition / "Config" / "platform.ini", "[Info]\n" + ini);
        return installation.Load().CatalogueBaseUrl;
    };
    EXPECT_EQ(catalogues("3=http://dl.example/files\n"), "http://dl.example/files/xml/");
    EXPECT_EQ(catalogues("3=http://dl.example/\n17=http://cdn.example/c/\n"),
              "http://cdn.example/c/");
    EXPECT_EQ(catalogues("3=\n"), "") << "no download address, no updates";
}

TEST(DataModule, AnUnwritableInstallationLeavesTheDefaultsUnset) {
    Installation installation;
    // A file where the Config directory should be: local.ini cannot be created.
    WriteFile(installation.edition / "Config", "");
    const Settings settings = installation.Load();
    EXPECT_EQ(settings.DownloadDir, "");
    EXPECT_EQ(settings.ClientVersionCode, 0);
}
