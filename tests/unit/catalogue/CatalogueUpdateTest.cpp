// Catalogues that update: a conditional request to the vendor's site, a new catalogue checked
// whole and kept beside the installed one, and the remembered programme found by its id.
#include "catalogue/CatalogueUpdate.h"
#include "CatalogueFixture.h"
#include "config/IniFile.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedOrigin.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::ChannelFixture;
using luming::test::Item;
using luming::test::ReadFile;
using luming::test::WriteFile;

namespace {

const std::vector<Item> kShipped = {
    {"0", "A", "", "A"}, {"4", "11", "A", "a1"}, {"2", "12", "A", "a2"}, {"1", "13", "A", "a3"}};

// The site: one catalogue with fixed validators, and the conditions it was asked with.
class CatalogueSite : public ::testing::Test, public ChannelFixture {
protected:
    void SetUp() override {
        WriteCatalogue(kShipped);
        server.server().Get(
            "/xml/26.xml", [this](const httplib::Request& request, httplib::Response& response) {
                asked.push_back(request.get_header_value("If-None-Match") + "|" +
                                request.get_header_value("If-Modified-Since"));
                if (request.get_header_value("If-None-Match") == "\"v1\"") {
                    response.status = 304;
                    return;
                }
                response.set_header("ETag", "\"v1\"");
                response.set_header("Last-Modified", "Mon, 07 Dec 2026 10:00:00 GMT");
                response.status = status;
                response.set_content(body, "application/xml");
            });
        server.Start();
    }
    CatalogueUpdateResult Update() {
        return UpdateCatalogue(CatalogueAddress(server.url("/xml/"), kChannel), Kept(), stop);
    }
    std::string Kept() const { return ChannelRules::UpdatedCatalogueFileName(dir.dir(), 26); }

    test::LoopbackServer server;
    std::string body = test::CatalogueXml({{"0", "A", "", "A"},
                                           {"4", "10", "A", "new"},
                                           {"4", "11", "A", "a1"},
                                           {"2", "12", "A", "a2"},
                                           {"1", "13", "A", "a3"}});
    int status = 200;
    std::vector<std::string> asked;
    std::atomic<bool> stop{false};
};

} // namespace

TEST_F(CatalogueSite, ANewCatalogueIsKeptReadAtTheNextOpeningAndAskedForConditionally) {
    Open();
    EXPECT_EQ(tree.Count(), 4u); // the installed catalogue until an update is kept
    ASSERT_EQ(Update(), CatalogueUpdateResult::Updated);
    EXPECT_EQ(ReadFile(Kept()), body);
    ASSERT_EQ(Update(), CatalogueUpdateResult::Unchanged);
    EXPECT_EQ(asked, (std::vector<std::string>{"|", "\"v1\"|Mon, 07 Dec 2026 10:00:00 GMT"}));

    Open();
    EXPECT_EQ(tree.Records().Name(tree.Record(1)), "new");
    // A kept catalogue damaged on disk: the installed one stands in.
    WriteFile(Kept(), body.substr(0, body.size() / 2));
    Open();
    EXPECT_EQ(tree.Records().Name(tree.Record(1)), "a1");
}

TEST_F(CatalogueSite, ABrokenOrRefusedDownloadNeverReplacesTheKeptCatalogue) {
    ASSERT_EQ(Update(), CatalogueUpdateResult::Updated);
    const std::string good = body;
    std::filesystem::remove(Kept() + ".validators"); // ask without conditions from now on
    const std::pair<std::string, int> answers[] = {
        {good.substr(0, good.size() - 20), 200},                                // truncated
        {test::CatalogueXml({{"0", "A", "", "A"}, {"0", "B", "A", "B"}}), 200}, // no programme
        {test::CatalogueXml({{"0", "A", "", "A"}, {"4", "11", "A", "x"}, {"2", "11", "A", "y"}}),
         200}, // two entries, one id
        {good, 500},
        {"<!DOCTYPE channel [<!ENTITY n \"" + std::string(20000, 'n') + "\">]><channel><item>" +
             "<type>2</type><id>9</id><pid></pid><name>" +
             [] {
                 std::string many;
                 for (int i = 0; i < 2000; ++i)
                     many += "&n;";
                 return many;
             }() +
             "</name></item></channel>",
         200}, // a name of 40 MB from 6 kB of entity references
    };
    for (const auto& [answer, code] : answers) {
        body = answer;
        status = code;
        EXPECT_NE(Update(), CatalogueUpdateResult::Updated) << answer;
        EXPECT_EQ(ReadFile(Kept()), good);
    }
    EXPECT_EQ(UpdateCatalogue(CatalogueAddress(server.url("/nothing/"), 26), Kept(), stop),
              CatalogueUpdateResult::Unreachable);
    EXPECT_EQ(ReadFile(Kept()), good);

    // A site elsewhere that sends the client to a service on this computer: not followed.
    const auto outward = test::OutwardAddress();
    if (!outward)
        GTEST_SKIP() << "this computer has no address but its loopback ones";
    asked.clear();
    body = test::CatalogueXml(kShipped);
    status = 200;
    test::ScriptedOrigin elsewhere(
        [this](const test::ScriptedOrigin::Request&, int connection) {
            test::ScriptedOrigin::Send(
                connection, "HTTP/1.1 302 Found\r\nLocation: " + server.url("/xml/26.xml") +
                                "\r\nContent-Length: 0\r\n\r\n");
        },
        *outward);
    ASSERT_TRUE(elsewhere.Listening());
    EXPECT_EQ(UpdateCatalogue(elsewhere.url("/xml/26.xml"), Kept(), stop),
              CatalogueUpdateResult::Unreachable);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ReadFile(Kept()), good);
}

TEST_F(CatalogueSite, TheRememberedProgrammeIsFoundByItsIdInAChangedCatalogue) {
    Open();
    Click(3); // a3, id 13
    EXPECT_EQ(ReadIniValue(IniPath(), "Info", "26"), "3");
    EXPECT_EQ(ReadIniValue(IniPath(), "Info", "26.id"), "13");
    ASSERT_EQ(Update(), CatalogueUpdateResult::Updated);
    Open();
    EXPECT_EQ(state.CurrentIndex, 4) << "a programme came before it";

    // Gone from the channel: the first programme.
    WriteFile(Kept(), test::CatalogueXml({{"0", "A", "", "A"}, {"4", "11", "A", "a1"}}));
    Open();
    EXPECT_EQ(state.CurrentIndex, 1);

    // Settings of a client that kept only the index.
    WriteFile(IniPath(), "[Info]\n26=2\n");
    std::filesystem::remove(Kept());
    Open();
    EXPECT_EQ(state.CurrentIndex, 2);
}
