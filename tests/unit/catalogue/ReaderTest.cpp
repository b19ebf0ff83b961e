#include "CatalogueFixture.h"
#include "catalogue/CatalogueReader.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::CatalogueXml;
using luming::test::Encode;

namespace {

struct Collected : ICatalogueSink {
    std::vector<std::vector<std::string>> entries; // type, id, pid, name
    std::vector<long> lines, unreadable;
    void Entry(const CatalogueEntry& e) override {
        entries.push_back(
            {std::string(e.type), std::string(e.id), std::string(e.pid), std::string(e.name)});
        lines.push_back(e.line);
    }
    void UnreadableEntry(long line) override { unreadable.push_back(line); }
};

Collected Read(const std::string& bytes) {
    Collected sink;
    ReadCatalogueBytes(bytes, sink);
    return sink;
}

const std::string kPoem = "静夜思·李白"; // 静 and 夜 are GB2312; · is in GBK's extension too

} // namespace

TEST(CatalogueReader, HonoursTheDeclaredEncoding) {
    const std::string body =
        "<r><e><type>1</type><id>7</id><pid></pid><name>" + kPoem + "</name></e></r>";
    for (const char* encoding : {"GB2312", "GBK", "GB18030"}) {
        SCOPED_TRACE(encoding);
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?>" + body;
        const Collected read = Read(Encode(xml, "GB18030"));
        ASSERT_EQ(read.entries.size(), 1u);
        EXPECT_EQ(read.entries[0][3], kPoem);
    }
    const std::string utf16 =
        "\xFF\xFE" + Encode("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body, "UTF-16LE");
    EXPECT_EQ(Read(utf16).entries.at(0)[3], kPoem);
    EXPECT_EQ(Read(body).entries.at(0)[3], kPoem); // no declaration: UTF-8
}

TEST(CatalogueReader, ReadsFieldsByNameAndIgnoresTheRest) {
    const Collected read = Read("<r>\n"
                                "<a><name> spaced </name><extra><b/></extra><id>1</id></a>\n"
                                "<!-- comment between entries -->\n"
                                "<b><type>2</type><type>9</type><id><![CDATA[x&y]]></id></b>\n"
                                "<c><id>3</id><name>a<i>b</i></name></c>\n"
                                "<d><id>4</id><name>&amp;&#x9759;</name></d>\n"
                                "</r>");
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries[0], (std::vector<std::string>{"", "1", "", " spaced "})); // as written
    EXPECT_EQ(read.entries[1], (std::vector<std::string>{"2", "x&y", "", ""}));
    EXPECT_EQ(read.entries[2], (std::vector<std::string>{"", "4", "", "&静"}));
    EXPECT_EQ(read.lines, (std::vector<long>{2, 4, 6}));
    EXPECT_EQ(read.unreadable, (std::vector<long>{5})); // an element inside "name"
}

TEST(CatalogueReader, NotWellFormedFilesFailWithMessageAndLine) {
    const auto failure = [](const std::string& bytes) -> std::string {
        try {
            Read(bytes);
        } catch (const CatalogueFormatError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_EQ(failure("<r>\n<e><id>1</id></e>\n<e><id>2</e>\n</r>").rfind("line 3: ", 0), 0u);
    // The parser's own first fault, not a generic one about the end of the document.
    EXPECT_EQ(failure(""), "line 1: Document is empty");
    EXPECT_EQ(failure("<r>\n<e><id>1</id></e>"), "line 2: Premature end of data in tag r line 1");
    // More entities than libxml2 lets a document expand to.
    std::string laughs = "<!DOCTYPE r [<!ENTITY a0 \"ha\">";
    for (int i = 1; i < 12; ++i) {
        std::string tens;
        for (int j = 0; j < 10; ++j)
            tens += "&a" + std::to_string(i - 1) + ";";
        laughs += "<!ENTITY a" + std::to_string(i) + " \"" + tens + "\">";
    }
    EXPECT_NE(failure(laughs + "]><r><e><name>&a11;</name></e></r>"), "no error");
    // One large entity used many times, in text and in an attribute: before, the name grew to
    // a hundred times the file.
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += "&big;";
    const std::string big = "<!DOCTYPE r [<!ENTITY big \"" + std::string(10000, 'x') + "\">]>\n";
    EXPECT_EQ(failure(big + "<r><e><name>" + many + "</name></e></r>"),
              "line 2: the entities expand to far more text than the file holds");
    EXPECT_NE(failure(big + "<r><e a=\"" + many + "\"><name>x</name></e></r>"), "no error");
    // Bytes that are not GB2312 at all.
    EXPECT_NE(failure("<?xml version=\"1.0\" encoding=\"GB2312\"?><r><e><name>\xFF\xFF</name>"
                      "</e></r>"),
              "no error");
    EXPECT_NE(failure("<?xml version=\"1.0\" encoding=\"no-such-code\"?><r/>"), "no error");
}

TEST(CatalogueReader, ExpandsTheEntitiesTheFileDeclares) {
    const Collected read =
        Read("<!DOCTYPE r [<!ENTITY x \"EXP\">]>\n"
             "<r><e><id>1</id><name>a&x;b</name></e><e><name>&x;</name></e></r>");
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0][3], "aEXPb");
    EXPECT_EQ(read.entries[1][3], "EXP");
    EXPECT_TRUE(read.unreadable.empty());
}

TEST(CatalogueReader, FetchesNoExternalEntities) {
    const std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM "
                            "\"file:///etc/passwd\">]><r><e><name>&x;</name></e></r>";
    try {
        const Collected read = Read(xml);
        for (const auto& entry : read.entries)
            EXPECT_EQ(entry[3].find("root:"), std::string::npos);
    } catch (const CatalogueFormatError&) {
        // refusing the document is as good
    }
}

TEST(CatalogueReader, MissingFileIsAFileError) {
    Collected sink;
    EXPECT_THROW(ReadCatalogueFile("/nonexistent/26.xml", sink), CatalogueFileError);
}
