// The published demo answers alike from nginx and from the vendor's own site: everything a
// client asks for is a plain file.
#include "DemoSite.h"
#include "content/ContentAddress.h"
#include "publish/Channel.h"
#include "publish/Publish.h"
#include "support/TempDir.h"

#include <httplib.h>

#include <gtest/gtest.h>

using namespace luming::test;
namespace fs = std::filesystem;

TEST(PublishedSite, NginxAndTheVendorsSiteGiveTheSameAnswers) {
    TempDir temp;
    const fs::path media = temp.path() / "media", published = temp.path() / "site";
    const std::string channel = LUMING_SOURCE_DIR "/demo/channel.tsv";
    std::vector<std::string> paths = {"/dl/xml/26.xml",
                                      "/Mp3PageHtml/Mp3PageHtml_26.html",
                                      "/mini_index.html",
                                      "/ad/StatusBar26.html",
                                      "/ad/ChannelAds26.html",
                                      "/ad/PauseAds26.html",
                                      "/links.html",
                                      "/offline/mp3.htm",
                                      "/play/TJID_0123_x_4_1",
                                      "/login?version=33554458",
                                      "/dl/1/0000000000000000.flv"};
    for (const auto& entry : luming::site::ReadChannel(channel)) {
        const std::string extension(luming::GetFileExt(entry.type));
        if (extension.empty())
            continue;
        WriteFile(media / (entry.id + extension), "programme " + entry.id + " bytes");
        paths.push_back(luming::SourceUrlFor("/dl/", entry.id, entry.type));
    }
    luming::site::Publish({channel, media.string(), "http://127.0.0.1", published.string(), 26});
    const auto nginx = StartNginx(published, temp.path() / "nginx");
    const auto own = StartVendorSite(published, 0);
    ASSERT_FALSE(nginx->url().empty());
    ASSERT_FALSE(own->url().empty());
    httplib::Client fromNginx(nginx->url()), fromOwn(own->url());

    const auto same = [&](const std::string& path, const httplib::Headers& headers) {
        const auto a = fromNginx.Get(path, headers);
        const auto b = fromOwn.Get(path, headers);
        ASSERT_TRUE(a && b) << path;
        EXPECT_EQ(a->status, b->status) << path;
        if (a->status == 404)
            return; // each server words its own "not found"
        EXPECT_EQ(a->body, b->body) << path;
        for (const char* header :
             {"Content-Type", "Content-Range", "ETag", "Last-Modified", "Cache-Control"})
            EXPECT_EQ(a->get_header_value(header), b->get_header_value(header))
                << path << ' ' << header;
    };
    for (const std::string& path : paths)
        same(path, {{"Accept-Encoding", "identity"}});
    const std::string video = luming::SourceUrlFor("/dl/", "104", "4");
    same(video, {{"Range", "bytes=3-8"}});
    const auto catalogue = fromOwn.Get("/dl/xml/26.xml");
    ASSERT_TRUE(catalogue);
    same("/dl/xml/26.xml", {{"If-None-Match", catalogue->get_header_value("ETag")}});
    EXPECT_EQ(
        fromNginx.Get("/dl/xml/26.xml", {{"If-None-Match", catalogue->get_header_value("ETag")}})
            ->status,
        304);
}
