// The demo installation as a new user gets it: the vendor's site on this machine, the suite
// laid out by the demo scripts, and the client started from it.
#include "RunningProgram.h"
#include "X11Windows.h"
#include "content/ContentAddress.h"
#include "publish/Channel.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QRegularExpression>

#include <httplib.h>

#include <gtest/gtest.h>

#include <csignal>

using namespace luming::test;
namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 20000;

std::string MediaBytes(const std::string& id) {
    return "programme " + id + " media bytes";
}

class DemoSuite : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(media);
        fs::create_directories(locks);
        fs::copy_file(LUMING_SOURCE_DIR "/demo/channel.tsv", media / "channel.tsv");
        channel = luming::site::ReadChannel((media / "channel.tsv").string());
        for (const auto& entry : channel) {
            const std::string extension(luming::GetFileExt(entry.type));
            if (!extension.empty())
                WriteFile(media / (entry.id + extension), MediaBytes(entry.id));
        }

        site.setProcessChannelMode(QProcess::SeparateChannels);
        site.start(LUMING_SITE_EXECUTABLE,
                   {"--media", QString::fromStdString(media.string()), "--port", "0"});
        ASSERT_TRUE(site.waitForReadyRead(kTimeoutMs));
        const QString first = QString::fromUtf8(site.readLine()).trimmed();
        const auto match =
            QRegularExpression("^listening on (http://127.0.0.1:(\\d+))/$").match(first);
        ASSERT_TRUE(match.hasMatch()) << first.toStdString();
        siteUrl = match.captured(1).toStdString();
        sitePort = match.captured(2).toInt();

        QProcess suiteScript;
        suiteScript.setProcessChannelMode(QProcess::MergedChannels);
        suiteScript.start("bash", {LUMING_SOURCE_DIR "/demo/make-suite.sh", LUMING_BUILD_DIR,
                                   QString::fromStdString(media.string()),
                                   QString::fromStdString(suite.string()),
                                   QString::fromStdString(siteUrl)});
        ASSERT_TRUE(suiteScript.waitForFinished(kTimeoutMs));
        ASSERT_EQ(suiteScript.exitCode(), 0) << suiteScript.readAll().toStdString();
    }

    void TearDown() override {
        site.terminate();
        site.waitForFinished(5000);
    }

    std::string SiteLog() {
        site.waitForReadyRead(50); // no event loop here: the output is read on request
        siteLog += site.readAllStandardOutput().toStdString();
        return siteLog;
    }

    TempDir temp;
    fs::path media = temp.path() / "media";
    fs::path suite = temp.path() / "suite";
    fs::path locks = temp.path() / "locks";
    std::vector<luming::site::ChannelEntry> channel;
    QProcess site;
    std::string siteUrl;
    int sitePort = 0;
    std::string siteLog;
};

} // namespace

TEST_F(DemoSuite, TheSiteServesEveryProgrammeAtTheAddressTheClientComputes) {
    httplib::Client client("127.0.0.1", sitePort);
    int programmes = 0;
    for (const auto& entry : channel) {
        if (luming::GetFileExt(entry.type).empty())
            continue;
        const std::string url = luming::SourceUrlFor(siteUrl + "/dl/", entry.id, entry.type);
        const auto result = client.Get(url.substr(siteUrl.size()).c_str());
        ASSERT_TRUE(result) << url;
        EXPECT_EQ(result->status, 200) << entry.name;
        EXPECT_EQ(result->body, MediaBytes(entry.id)) << entry.name;
        ++programmes;
    }
    EXPECT_GE(programmes, 10);
}

TEST_F(DemoSuite, TheClientOpensOnTheChannelAndAsksTheSiteForItsPanes) {
    const fs::path edition = suite / "poetry";
    EXPECT_TRUE(fs::exists(suite / "Config" / "Source.ini"));
    EXPECT_TRUE(fs::exists(edition / "Resource" / "xml" / "26.xml"));
    EXPECT_FALSE(fs::is_empty(edition / "Caches" / "26"));
    EXPECT_FALSE(fs::is_empty(edition / "DL"));

    RunningProgram client(edition, {}, locks);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowsOfProcess(static_cast<pid_t>(client.pid())).viewable > 0; },
                  kTimeoutMs))
        << client.Output().toStdString();

    // local.ini: the defaults, this start counted, and the channel's first programme (the
    // tree's node 1, under the first folder) chosen and remembered as key "26", with its id.
    const fs::path ini = edition / "Config" / "local.ini";
    ASSERT_TRUE(
        WaitUntil([&] { return ReadFile(ini).find("26=") != std::string::npos; }, kTimeoutMs));
    EXPECT_EQ(ReadFile(ini),
              "[Info]\n1=1\n6=33554458\n7=100090\n8=1\n9=0\n10=\n11=0\n12=\n26.id=101\n26=1\n");

    // The edition's own advertising pages were asked for.
    ASSERT_TRUE(WaitUntil(
        [&] { return SiteLog().find("GET /ad/ChannelAds26.html 200") != std::string::npos; },
        kTimeoutMs));
    EXPECT_NE(SiteLog().find("GET /ad/StatusBar26.html 200"), std::string::npos);
    // The client logged in through the vendor library.
    EXPECT_TRUE(WaitUntil([&] { return SiteLog().find("GET /login 200") != std::string::npos; },
                          kTimeoutMs));

    // With its web views up, standard error holds the program's own lines and nothing of the
    // engines' (a sanitized build keeps them all, for the sanitizers' reports).
#ifndef __SANITIZE_ADDRESS__
    for (const QString& line : client.Output().split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith("luming: ")) << line.toStdString();
#endif

    // A logout ends it in order, and the web engine's processes with it.
    const std::vector<pid_t> children = client.Children();
    EXPECT_FALSE(children.empty()) << "the pages run in processes of their own";
    ::kill(static_cast<pid_t>(client.pid()), SIGTERM);
    EXPECT_EQ(client.WaitForExit(kTimeoutMs), 0);
    for (const pid_t child : children)
        EXPECT_TRUE(WaitUntil([&] { return ::kill(child, 0) != 0; }, kTimeoutMs))
            << "process " << child << " outlived the program";
}
