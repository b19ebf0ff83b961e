// Publishing a channel as plain files: every programme at the address the client computes, the
// catalogue the client reads, and bad input stopped before anything is written.
#include "publish/Publish.h"
#include "catalogue/CatalogueReader.h"
#include "config/IniFile.h"
#include "content/ContentAddress.h"
#include "support/TempDir.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::ReadFile;
using luming::test::TempDir;
using luming::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class Publishing : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(media / "101.flv", "video 101");
        WriteFile(media / "102.mp3", "audio 102");
        WriteFile(media / "103.swf", "movie 103");
        WriteFile(media / "102.lrc", "[00:01.00]春眠不觉晓\n"); // a read-along beside 春晓
    }
    std::string Publish(const std::string& channel,
                        const std::string& base = "http://cdn.example:8080/") {
        WriteFile(temp.path() / "channel.tsv", channel);
        return test::RunToolCommand({"publish", (temp.path() / "channel.tsv").string(),
                                     media.string(), base, out.string()})
            .err;
    }
    // What a reader of the published catalogue sees, one "type id pid name" line per entry.
    std::string CatalogueEntries() {
        struct Lines : ICatalogueSink {
            std::string text;
            void Entry(const CatalogueEntry& e) override {
                text += std::string(e.type) + " " + std::string(e.id) + " " + std::string(e.pid) +
                        " " + std::string(e.name) + "\n";
            }
        } lines;
        ReadCatalogueFile((out / "dl/xml/26.xml").string(), lines);
        return lines.text;
    }

    TempDir temp;
    fs::path media = temp.path() / "media";
    fs::path out = temp.path() / "site";
};

const char kChannel[] = "# comment\n0\t1\t\t唐诗\t\t\n4\t101\t1\t静夜思 李白\tcache\t床前明月光\n"
                        "2\t102\t1\t春晓 & 夜\tsite\t\n0\t2\t\t宋词\n1\t103\t2\t登楼\tsite\n";

} // namespace

TEST_F(Publishing, EveryProgrammeStandsAtItsContentAddressBesideTheCatalogueAndPages) {
    ASSERT_EQ(Publish(kChannel), "");
    const std::string base = "http://cdn.example:8080/dl/";
    for (const auto& [id, type, bytes] :
         {std::tuple{"101", "4", "video 101"}, std::tuple{"102", "2", "audio 102"},
          std::tuple{"103", "1", "movie 103"}}) {
        const std::string address = SourceUrlFor(base, id, type);
        EXPECT_EQ(ReadFile(out / "dl" / address.substr(base.size())), bytes) << address;
    }
    // The read-along at the programme's address with its own extension; none where none is.
    const std::string audio = SourceUrlFor("dl/", "102", "2");
    EXPECT_EQ(ReadFile(out / (audio.substr(0, audio.size() - 4) + ".lrc")),
              "[00:01.00]春眠不觉晓\n");
    const std::string video = SourceUrlFor("dl/", "101", "4");
    EXPECT_FALSE(fs::exists(out / (video.substr(0, video.size() - 4) + ".lrc")));
    EXPECT_EQ(CatalogueEntries(), "0 1  唐诗\n4 101 1 静夜思 李白\n2 102 1 春晓 & 夜\n0 2  宋词\n"
                                  "1 103 2 登楼\n");
    const std::string ini = (out / "platform.ini").string();
    EXPECT_EQ(ReadIniString(ini, "Info", "3", ""), "http://cdn.example:8080/dl/");
    EXPECT_EQ(ReadIniString(ini, "Info", "14", ""), "http://cdn.example:8080/ad/StatusBar.html");
    for (const char* page : {"ad/StatusBar26.html", "ad/ChannelAds26.html", "ad/PauseAds26.html",
                             "Mp3PageHtml/Mp3PageHtml_26.html", "mini_index.html", "links.html",
                             "play/index.html", "offline/mp3.htm", "login"})
        EXPECT_TRUE(fs::is_regular_file(out / page)) << page;
}

TEST_F(Publishing, BadInputStopsWithAClearMessageAndLeavesTheEarlierSite) {
    ASSERT_EQ(Publish(kChannel), "");
    const std::string catalogue = ReadFile(out / "dl/xml/26.xml");
    // A link in the media folder to a file the publisher may read and the world may not.
    WriteFile(temp.path() / "private.txt", "not for the web");
    fs::permissions(temp.path() / "private.txt", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(temp.path() / "private.txt", media / "105.flv");
    const std::pair<std::string, std::string> faults[] = {
        {"0\t1\t\t唐诗\n4\t104\t1\t没有文件\n", "104 (没有文件): the media file"},
        {"0\t1\t\t唐诗\n4\t105\t1\t链接\n",
         "105 (链接): the media file " + (media / "105.flv").string() + " is a symbolic link"},
        {"0\t1\t\t唐诗\n4\t101\t1\ta\n2\t101\t1\tb\n", "101 (b): the id is used by an earlier"},
        {"0\t1\t\t唐诗\n4\t101\t1\ta\n4\t0101\t1\tb\n", "same content address as 101"},
        {"0\t1\t\t唐诗\n4\t101\t1\t静夜思_李白\n", "\"_\""},
        {"0\t1\t\t唐诗\n4\t101\t1\t a\n", "blank"},
        {"0\t1\t\t唐诗\n7\t101\t1\ta\n", "unknown type \"7\""},
        {"4\t101\t9\ta\n", "the parent 9 is not a folder listed before it"},
        {"0\t1\t\t唐诗\n4\tx1\t1\ta\n", "whole number"},
        {"0\t1\t\t唐诗\n", "no programme"},
    };
    for (const auto& [channel, message] : faults) {
        const std::string error = Publish(channel);
        EXPECT_NE(error.find(message), std::string::npos) << error;
        EXPECT_EQ(ReadFile(out / "dl/xml/26.xml"), catalogue);
    }
    // A line break in the address would add settings to every client's platform.ini.
    EXPECT_NE(Publish(kChannel, "http://cdn.example/\n17=http://elsewhere/").find("control"),
              std::string::npos);
    // A read-along that is a link stops it as well: the link could name any file.
    fs::create_symlink("/etc/passwd", media / "101.lrc");
    const std::string linked = Publish(kChannel);
    EXPECT_NE(linked.find("101.lrc is a symbolic link"), std::string::npos) << linked;
    EXPECT_EQ(ReadFile(out / "dl/xml/26.xml"), catalogue);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 4)
        << "media, site, channel.tsv and private.txt: no half-written folder";
}

TEST_F(Publishing, ANewPublicationReplacesTheOldButNeverAForeignFolder) {
    ASSERT_EQ(Publish(kChannel), "");
    const auto second = [&] {
        return std::chrono::duration_cast<std::chrono::seconds>(
            fs::last_write_time(out / "dl/xml/26.xml").time_since_epoch());
    };
    const auto before = second();
    ASSERT_EQ(Publish("0\t1\t\t唐诗\n2\t102\t1\t春晓\n"), "");
    EXPECT_EQ(CatalogueEntries(), "0 1  唐诗\n2 102 1 春晓\n");
    // Servers make validators of the time in whole seconds: a new catalogue has a new one.
    EXPECT_NE(second(), before);
    EXPECT_FALSE(fs::exists(out / SourceUrlFor("dl/", "101", "4")));

    // One made before publications were marked is still recognised by what it holds.
    fs::remove(out / ".luming-site");
    ASSERT_EQ(Publish(kChannel), "");
    EXPECT_TRUE(fs::exists(out / SourceUrlFor("dl/", "101", "4")));

    // Before, any folder with a platform.ini and a dl/ was wiped.
    fs::remove_all(out);
    WriteFile(out / "notes.txt", "mine");
    WriteFile(out / "platform.ini", "[Info]\n");
    fs::create_directories(out / "dl");
    EXPECT_NE(Publish(kChannel).find("is not an earlier publication"), std::string::npos);
    EXPECT_EQ(ReadFile(out / "notes.txt"), "mine");
    WriteFile(out / ".luming-site", "forged");
    EXPECT_NE(Publish(kChannel).find("is not an earlier publication"), std::string::npos);
    EXPECT_EQ(ReadFile(out / "notes.txt"), "mine");
}
