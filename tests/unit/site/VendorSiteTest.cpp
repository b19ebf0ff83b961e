// The demo vendor site as the client meets it: a published site's programmes through the
// content addresses the client computes, with ranges and validators, and nothing for addresses
// it does not know.
#include "VendorSite.h"
#include "content/ContentAddress.h"
#include "content/ProgrammeLink.h"
#include "publish/Pages.h"
#include "publish/Publish.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::site::ChannelEntry;
using luming::site::SiteOptions;
using luming::site::VendorSite;
using luming::test::LoopbackServer;
using luming::test::TempDir;
using luming::test::WriteFile;

namespace {

std::string Bytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

class Site : public ::testing::Test {
protected:
    void Start(int64_t failAfter = -1) {
        WriteFile(media.path() / "300.flv", video);
        WriteFile(media.path() / "7.mp3", "ID3 audio");
        WriteFile(media.path() / "channel.tsv", "0\t1\t\t唐诗\n4\t300\t1\t静夜思 李白\n"
                                                "2\t7\t1\t春晓\n");
        site::Publish({(media.path() / "channel.tsv").string(), media.dir(), "http://127.0.0.1",
                       (media.path() / "site").string(), 26});
        SiteOptions options;
        options.siteDir = (media.path() / "site").string();
        options.failAfterBytes = failAfter;
        site = std::make_unique<VendorSite>(options);
        site->Register(server.server());
        server.Start();
        base = server.url("/dl/");
    }

    httplib::Result Get(const std::string& url, httplib::Headers headers = {}) {
        httplib::Client client("127.0.0.1", server.port());
        const size_t path = url.find("/dl/");
        return client.Get((path == std::string::npos ? url : url.substr(path)).c_str(), headers);
    }

    TempDir media;
    std::string video = Bytes(300000);
    LoopbackServer server;
    std::unique_ptr<VendorSite> site;
    std::string base;
};

} // namespace

TEST_F(Site, ServesEachProgrammeAtTheAddressTheClientComputes) {
    Start();
    const auto whole = Get(SourceUrlFor(base, "300", "4"));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->status, 200);
    EXPECT_EQ(whole->body, video);
    EXPECT_EQ(whole->get_header_value("Content-Type"), "video/x-flv");

    // Leading zeros name the same programme; the address is built from the number.
    EXPECT_EQ(SourceUrlFor(base, "007", "2"), SourceUrlFor(base, "7", "2"));
    const auto audio = Get(SourceUrlFor(base, "007", "2"));
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->body, "ID3 audio");
}

TEST_F(Site, HonoursRangesSoThePlayerCanSeek) {
    Start();
    const auto part = Get(SourceUrlFor(base, "300", "4"), {{"Range", "bytes=1000-1999"}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, video.substr(1000, 1000));
    EXPECT_EQ(part->get_header_value("Content-Range"), "bytes 1000-1999/300000");
}

TEST_F(Site, AnswersConditionalRequestsForTheCatalogueAndPages) {
    Start();
    const auto catalogue = Get("/dl/xml/26.xml");
    ASSERT_TRUE(catalogue);
    EXPECT_EQ(catalogue->status, 200);
    EXPECT_NE(catalogue->body.find("<name>静夜思 李白</name>"), std::string::npos);
    EXPECT_EQ(catalogue->get_header_value("Cache-Control"), "no-cache");
    const std::string etag = catalogue->get_header_value("ETag");
    const std::string modified = catalogue->get_header_value("Last-Modified");
    ASSERT_FALSE(etag.empty());
    EXPECT_EQ(Get("/dl/xml/26.xml", {{"If-None-Match", etag}})->status, 304);
    EXPECT_EQ(Get("/dl/xml/26.xml", {{"If-Modified-Since", modified}})->status, 304);
    EXPECT_EQ(Get("/dl/xml/26.xml", {{"If-None-Match", "\"0-0\""}})->status, 200);

    EXPECT_EQ(Get("/ad/StatusBar26.html")->get_header_value("Content-Type"),
              "text/html; charset=utf-8");
    // Any programme link opened outside the client gets the same page; the login is a file.
    EXPECT_EQ(Get("/play/TJID_0123_x_4_1")->status, 200);
    EXPECT_EQ(Get("/login?version=33554458")->body, "ok\n");
    EXPECT_EQ(Get(SourceUrlFor(base, "300", "4"))->get_header_value("Cache-Control"),
              "max-age=31536000, immutable");
}

TEST_F(Site, UnknownAddressesAreNotFound) {
    Start();
    const std::string good = SourceUrlFor(base, "300", "4");
    // Bucket 3 is right for id 300; 2 is not.
    std::string wrongBucket = good;
    wrongBucket.replace(wrongBucket.find("/dl/3/") + 4, 1, "2");
    std::string unknownExtension = good.substr(0, good.size() - 4) + ".mp3";
    for (const std::string& url :
         {wrongBucket, unknownExtension, base + "3/0123456789ABCDEF.flv", base + "3/XYZ.flv",
          base + "../../etc/passwd", base + "%2e%2e/%2e%2e/channel.tsv",
          base + "1/" + std::string(16, 'F')}) {
        const auto result = Get(url);
        ASSERT_TRUE(result) << url;
        EXPECT_EQ(result->status, 404) << url;
    }
}

TEST_F(Site, CutsTransfersWhenAskedTo) {
    Start(1000);
    const auto cut = Get(SourceUrlFor(base, "300", "4"));
    EXPECT_TRUE(!cut || cut->body.size() < video.size());
}

TEST(SitePages, ProgrammeLinksReadBackAsTheProgramme) {
    const ChannelEntry entry{"4", "104", "1", "望庐山瀑布 李白", "site", {}};
    const std::string link = "http://127.0.0.1/play/" + site::ProgrammeLink(entry);
    const auto record = ParseProgrammeLink(link);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Id, "104");
    EXPECT_EQ(record->Name, "望庐山瀑布%20李白");
    EXPECT_EQ(record->FileType, "4");
    EXPECT_EQ(record->Pid, "1");
    EXPECT_EQ(site::LinksPage({entry}).find("http"), std::string::npos) << "no outside address";
}
