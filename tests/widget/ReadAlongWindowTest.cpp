// The read-along in the window: found beside the programme in the cache or the download folder
// or on the vendor's server, the poem in front of an audio programme with its line lit as the
// player moves, the strip of a video, and what a screen reader and the media session are told.
#include "config/IniFile.h"
#include "config/Settings.h"
#include "platform/MediaSession.h"
#include "playback/FlvBridge.h"
#include "shell/PoemLine.h"
#include "shell/ReadAlong.h"
#include "shell/ReadAlongStrip.h"
#include "shell/ReadAlongView.h"
#include "shell/TfrmMain.h"
#include "support/Edition.h"
#include "support/EventWait.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace luming;
using namespace luming::test;

namespace {

constexpr char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                              "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                              "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思</name></i>"
                              "<i><type>2</type><id>112</id><pid>1</pid><name>早发白帝城</name></i>"
                              "<i><type>2</type><id>105</id><pid>1</pid><name>咏鹅</name></i>"
                              "<i><type>2</type><id>102</id><pid>1</pid><name>春晓</name></i>"
                              "</channel>";

// 早发白帝城 as a vendor writes it: its first line with the readings a book prints (a line of
// pinyin under the same time), the others for the program to read.
constexpr char kEarlyDeparture[] = "[ti:早发白帝城]\n"
                                   "[ar:李白]\n"
                                   "[00:01.00]朝辞白帝彩云间\n"
                                   "[00:01.00]zhāo cí bái dì cǎi yún jiān\n"
                                   "[00:04.00]千里江陵一日还\n"
                                   "[00:04.00]qiān lǐ jiāng líng yí rì huán\n"
                                   "[00:07.50]两岸猿声啼不住\n"
                                   "[00:10.00]轻舟已过万重山\n";

class ReadAlongWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settings =
            MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n11=0\n", {"101.flv", "112.mp3"});
        edition = temp.path() / "suite" / "26";
    }
    void Open() {
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
        QApplication::processEvents();
    }
    void Click(NodeIndex node) {
        window->Tree().Select(node);
        window->tv1Click();
    }
    FakeMediaPlayer* Audio() { return static_cast<FakeMediaPlayer*>(window->AudioPlayer); }
    ReadAlongPresenter& ReadAlong() { return window->ReadAlong(); }
    ReadAlongView* View() { return ReadAlong().View(); }
    // The lit line's text as a screen reader has it, once the view has followed the player.
    QString LitAt(int64_t milliseconds) {
        Audio()->position = milliseconds;
        const QString before = Spoken();
        WaitFor([&] { return Spoken() != before; }, 10000); // the next look at the player
        return Spoken();
    }
    QString Spoken() {
        auto* label = window->findChild<QLabel*>("lblReadAlong");
        QAccessibleInterface* described = QAccessible::queryAccessibleInterface(label);
        return described ? described->text(QAccessible::Name) : QString();
    }

    TempDir temp;
    std::filesystem::path edition;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(ReadAlongWindow, ThePoemBesideACachedRecitationIsLitLineByLineAsItPlays) {
    WriteFile(edition / "Caches" / "26" / "112.lrc", kEarlyDeparture);
    Open();
    Click(2);
    ASSERT_TRUE(WaitFor([&] { return View()->isVisible() && ReadAlong().PinyinShown(); }, 30000));
    EXPECT_EQ(window->findChild<QLabel*>("lblPoemTitle")->text(), QStringLiteral("早发白帝城"));
    EXPECT_EQ(window->findChild<QLabel*>("lblPoemAuthor")->text(), QStringLiteral("李白"));
    EXPECT_EQ(View()->LitLine(), nullptr) << "before the voice reaches the first line";

    // The vendor's readings stand as written; the program reads the other lines.
    EXPECT_EQ(LitAt(1000), QStringLiteral("朝辞白帝彩云间 zhāo cí bái dì cǎi yún jiān"));
    EXPECT_EQ(LitAt(4200), QStringLiteral("千里江陵一日还 qiān lǐ jiāng líng yí rì huán"));
    EXPECT_EQ(LitAt(11000), QStringLiteral("轻舟已过万重山 qīng zhōu yǐ guò wàn chóng shān"));
    // A seek back lights the line there.
    EXPECT_EQ(LitAt(7600), QStringLiteral("两岸猿声啼不住 liǎng àn yuán shēng tí bù zhù"));
    ASSERT_NE(View()->LitLine(), nullptr);
    EXPECT_EQ(View()->LitLine()->Spoken(), Spoken());

    // The media session carries the poem.
    const auto track = platform.mediaSession->Track();
    ASSERT_TRUE(track);
    EXPECT_EQ(track->lyrics, "早发白帝城\n李白\n朝辞白帝彩云间\n千里江陵一日还\n"
                             "两岸猿声啼不住\n轻舟已过万重山\n");

    Click(4); // 春晓 has no read-along: the vendor's audio page shows again
    EXPECT_FALSE(View()->isVisible());
    EXPECT_TRUE(window->wbMp3->isVisible());
    EXPECT_EQ(platform.mediaSession->Track()->lyrics, "");
}

TEST_F(ReadAlongWindow, TheDownloadFolderIsLookedInWhenTheCacheHasNone) {
    WriteFile(edition / "DL" / "咏鹅.mp3", "x");
    WriteFile(edition / "DL" / "咏鹅.lrc", "\xEF\xBB\xBF[00:00.50]鹅，鹅，鹅\n[00:03]白毛浮绿水\n");
    Open();
    Click(3);
    ASSERT_TRUE(WaitFor([&] { return View()->isVisible() && ReadAlong().PinyinShown(); }, 30000));
    EXPECT_EQ(LitAt(3000), QStringLiteral("白毛浮绿水 bái máo fú lǜ shuǐ"));
}

TEST_F(ReadAlongWindow, AProgrammeFromTheVendorHasItsReadAlongFetchedThroughTheLibrary) {
    LoopbackServer server;
    std::atomic<int> served = 0;
    server.server().Get(R"(/token/P2P/7\.lrc)",
                        [&](const httplib::Request&, httplib::Response& answer) {
                            ++served;
                            answer.set_content("[ti:春晓]\n[00:02.00]春眠不觉晓\n", "text/plain");
                        });
    server.Start();
    settings.DownloadBaseUrl = "http://dl.test/";
    platform.vendor.playAddress = [&](const std::string& address) -> std::optional<std::string> {
        if (address.size() > 4 && address.substr(address.size() - 4) == ".lrc")
            return server.url("/token/P2P/7.lrc");
        return std::nullopt; // the programme itself does not come
    };
    Open();
    Click(4);
    ASSERT_TRUE(WaitFor([&] { return View()->isVisible() && ReadAlong().PinyinShown(); }, 30000));
    EXPECT_EQ(served.load(), 1);
    ASSERT_FALSE(platform.vendor.asked.empty());
    const std::string lrc = platform.vendor.asked.back();
    const std::string mp3 = platform.vendor.asked[platform.vendor.asked.size() - 2];
    // The programme's own content address, with the read-along's extension.
    EXPECT_EQ(lrc.substr(0, lrc.size() - 4), mp3.substr(0, mp3.size() - 4));
    EXPECT_EQ(mp3.substr(mp3.size() - 4), ".mp3");
    EXPECT_EQ(LitAt(2500), QStringLiteral("春眠不觉晓 chūn mián bù jué xiǎo"));
}

TEST_F(ReadAlongWindow, ACachedProgrammeDoesNotAskTheVendorAndABrokenFileShowsNothing) {
    WriteFile(edition / "Caches" / "26" / "112.lrc", "[ti:早发白帝城]\n朝辞白帝彩云间\n");
    settings.DownloadBaseUrl = "http://dl.test/";
    Open();
    Click(2);
    QApplication::processEvents();
    EXPECT_FALSE(View()->isVisible());
    EXPECT_TRUE(window->wbMp3->isVisible());
    for (const std::string& asked : platform.vendor.asked)
        EXPECT_EQ(asked.find(".lrc"), std::string::npos) << asked;
}

TEST_F(ReadAlongWindow, AVideosLineShowsAsAStripTheChildCanTurnOff) {
    WriteFile(edition / "Caches" / "26" / "101.lrc",
              "[00:00.00]床前明月光\n[00:05.00]疑是地上霜\n");
    Open(); // the video plays first
    static_cast<FakeFlashControl*>(window->ShockwaveFlash1)
        ->replies[std::string(kPositionRequest)] = "<number>0</number>";
    ReadAlongStrip* strip = ReadAlong().Strip();
    ASSERT_TRUE(WaitFor([&] { return strip->isVisible() && ReadAlong().PinyinShown(); }, 30000));
    EXPECT_FALSE(View()->isVisible());
    EXPECT_TRUE(WaitFor([&] { return strip->Line()->Spoken().startsWith("床前明月光"); }, 2000));
    EXPECT_TRUE(window->sbtnReadAlong->isVisible());

    QTest::keyClick(window.get(), Qt::Key_C);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(ReadIniString(settings.LocalIniPath, kInfoSection, ReadAlongPresenter::kStripKey, ""),
              "0");
    // The choice holds for the next start of the program, and the button turns it on again.
    window.reset();
    Open();
    strip = ReadAlong().Strip();
    ASSERT_TRUE(WaitFor([&] { return window->sbtnReadAlong->isVisible(); }, 5000));
    EXPECT_FALSE(strip->isVisible());
    window->sbtnReadAlong->click();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(ReadIniString(settings.LocalIniPath, kInfoSection, ReadAlongPresenter::kStripKey, ""),
              "1");
}
