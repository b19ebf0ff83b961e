#include "content/ContentAddress.h"
#include "content/Des.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace luming;

using luming::test::ToolRun;

namespace {

ToolRun RunCommand(const tool::Arguments& arguments) {
    return luming::test::RunToolCommand(arguments);
}

} // namespace

TEST(ContentTool, Cipher) {
    const std::string hex = EncryptToHex("300", ContentKey);
    EXPECT_EQ(RunCommand({"des-encrypt", "300"}).out, hex + "\n");
    EXPECT_EQ(RunCommand({"des-decrypt", hex}).out, "300\n");
    EXPECT_EQ(RunCommand({"des-encrypt", "abc", "key"}).out, EncryptToHex("abc", "key") + "\n");
    const ToolRun bad = RunCommand({"des-decrypt", "not hex"});
    EXPECT_EQ(bad.code, 0);
    EXPECT_EQ(bad.out, "\n");
    EXPECT_NE(RunCommand({"des-encrypt"}).code, 0);
}

TEST(ContentTool, ContentUrl) {
    EXPECT_EQ(RunCommand({"content-url", "http://d/", "300", "4"}).out,
              SourceUrlFor("http://d/", "300", "4") + "\n");
    const ToolRun bad = RunCommand({"content-url", "http://d/", "x1", "4"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err, "");
}

TEST(ContentTool, ParseLink) {
    const std::string id = EncryptToHex("300", ContentKey);
    const ToolRun link = RunCommand({"parse-link", "http://w/a.htm#TJID_" + id + "_a%20b_4_12"});
    EXPECT_EQ(link.code, 0);
    EXPECT_EQ(link.out, "300\ta%20b\t4\t12\n");
    const ToolRun none = RunCommand({"parse-link", "http://w/a.htm"});
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.out, "");
    const ToolRun few = RunCommand({"parse-link", "tjid_" + id + "_a_4"});
    EXPECT_EQ(few.code, 3);
    EXPECT_EQ(few.out, "");
}
