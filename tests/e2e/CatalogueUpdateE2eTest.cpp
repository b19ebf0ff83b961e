// A channel that changes on the vendor's site: the client fetches the new catalogue while it
// runs, shows it at the next start, and the child's programme is still the one it left.
#include "DemoSite.h"
#include "RunningProgram.h"
#include "content/ContentAddress.h"
#include "publish/Channel.h"
#include "publish/Publish.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace luming::test;
namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 30000;

class CatalogueUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(media);
        fs::create_directories(locks);
        channel = ReadFile(LUMING_SOURCE_DIR "/demo/channel.tsv");
        WriteFile(media / "100.flv", "programme 100");
        for (const auto& entry : luming::site::ReadChannel(LUMING_SOURCE_DIR "/demo/channel.tsv"))
            if (!luming::GetFileExt(entry.type).empty())
                WriteFile(media / (entry.id + std::string(luming::GetFileExt(entry.type))),
                          "programme " + entry.id);
        Publish();
        site = StartVendorSite(published, 0);
        ASSERT_FALSE(site->url().empty());

        QProcess suiteScript;
        suiteScript.setProcessChannelMode(QProcess::MergedChannels);
        suiteScript.start("bash", {LUMING_SOURCE_DIR "/demo/make-suite.sh", LUMING_BUILD_DIR,
                                   QString::fromStdString(media.string()),
                                   QString::fromStdString((temp.path() / "suite").string()),
                                   QString::fromStdString(site->url())});
        ASSERT_TRUE(suiteScript.waitForFinished(kTimeoutMs));
        ASSERT_EQ(suiteScript.exitCode(), 0) << suiteScript.readAll().toStdString();
    }

    void Publish() {
        WriteFile(media / "channel.tsv", channel);
        luming::site::Publish({(media / "channel.tsv").string(), media.string(), "http://127.0.0.1",
                               published.string(), 26});
    }

    // Starts the client, waits until `happened` and ends it.
    bool RunUntil(const std::function<bool()>& happened) {
        RunningProgram client(edition, {}, locks);
        const bool seen = WaitUntil(happened, kTimeoutMs);
        client.Kill();
        return seen;
    }

    TempDir temp;
    fs::path media = temp.path() / "media";
    fs::path published = temp.path() / "site";
    fs::path locks = temp.path() / "locks";
    fs::path edition = temp.path() / "suite" / "poetry";
    fs::path ini = edition / "Config" / "local.ini";
    fs::path kept = edition / "Config" / "xml" / "26.xml";
    fs::path validators = edition / "Config" / "xml" / "26.xml.validators";
    std::string channel;
    std::unique_ptr<SiteServer> site;
};

bool Holds(const fs::path& file, const std::string& text) {
    return fs::exists(file) && ReadFile(file).find(text) != std::string::npos;
}

} // namespace

TEST_F(CatalogueUpdate, ANewProgrammeComesAtTheNextStartAndTheChildsProgrammeStays) {
    // The child left 登鹳雀楼 (id 103), node 3 of the demo channel.
    fs::create_directories(ini.parent_path());
    WriteFile(ini, "[Info]\n26=3\n26.id=103\n");
    ASSERT_TRUE(RunUntil([&] { return Holds(validators, "ETag: \""); }));
    EXPECT_TRUE(Holds(kept, "<id>103</id>"));
    const std::string first = ReadFile(validators);

    // The vendor adds a poem at the top of the first folder.
    channel.insert(channel.find("4\t101\t1\t"), "4\t100\t1\t新诗\tsite\t一二三四\n");
    Publish();
    ASSERT_TRUE(RunUntil([&] { return fs::exists(validators) && ReadFile(validators) != first; }))
        << site->Log();
    EXPECT_TRUE(Holds(kept, "<id>100</id>"));
    EXPECT_TRUE(Holds(ini, "\n26=3\n")) << "this start still showed the catalogue it began with";

    // The next start reads the new catalogue and plays the child's programme, now node 4.
    ASSERT_TRUE(RunUntil([&] { return Holds(ini, "\n26=4\n"); })) << ReadFile(ini);
    EXPECT_TRUE(Holds(ini, "26.id=103\n"));
    EXPECT_NE(site->Log().find("GET /dl/xml/26.xml 304"), std::string::npos)
        << "an unchanged catalogue is not sent again";
}
