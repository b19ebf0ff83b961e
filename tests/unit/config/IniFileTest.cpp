#include "config/IniFile.h"
#include "config/AtomicFile.h"
#include "config/IniDocument.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <set>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace luming;
using luming::test::ReadFile;
using luming::test::TempDir;
using luming::test::WriteFile;

TEST(IniDocument, SectionsAndKeysIgnoreCaseAndFirstOneWins) {
    const IniDocument ini("[info]\nKey=one\nkey=two\n[INFO]\nkey=three\n");
    EXPECT_EQ(ini.Value("Info", "KEY"), "one");
    EXPECT_EQ(ini.Value("info", "missing"), std::nullopt);
    EXPECT_EQ(ini.Value("other", "key"), std::nullopt);
}

TEST(IniDocument, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
    const IniDocument ini("[Info]\n  1 =  spaced  \n2=\"quoted \"\n3='single'\n4=\"open\n"
                          "5=\"\"twice\"\"\n6=\n7=a=b\n; 8=comment\n");
    EXPECT_EQ(ini.Value("Info", "1"), "spaced");
    EXPECT_EQ(ini.Value("Info", "2"), "quoted ");
    EXPECT_EQ(ini.Value("Info", "3"), "single");
    EXPECT_EQ(ini.Value("Info", "4"), "\"open");
    EXPECT_EQ(ini.Value("Info", "5"), "\"twice\"");
    EXPECT_EQ(ini.Value("Info", "6"), "");
    EXPECT_EQ(ini.Value("Info", "7"), "a=b");
    EXPECT_EQ(ini.Value("Info", "; 8"), std::nullopt);
}

TEST(IniDocument, WritingKeepsEveryOtherByte) {
    const std::string windows = "\xEF\xBB\xBF; written on Windows\r\n\r\n[Info]\r\n1=5\r\n"
                                "  6 = 33554458 \r\n\r\n[Other]\r\nx=\xC4\xE3\r\n";
    IniDocument ini(windows);
    ASSERT_TRUE(ini.SetValue("INFO", "1", "6"));
    EXPECT_EQ(ini.Bytes(), "\xEF\xBB\xBF; written on Windows\r\n\r\n[Info]\r\n1=6\r\n"
                           "  6 = 33554458 \r\n\r\n[Other]\r\nx=\xC4\xE3\r\n");

    // A new key goes after the section's last line that holds something, in the file's own
    // line ends; a new section goes at the end.
    ASSERT_TRUE(ini.SetValue("Info", "26", "9"));
    ASSERT_TRUE(ini.SetValue("New", "k", "v"));
    EXPECT_EQ(ini.Bytes(),
              "\xEF\xBB\xBF; written on Windows\r\n\r\n[Info]\r\n1=6\r\n"
              "  6 = 33554458 \r\n26=9\r\n\r\n[Other]\r\nx=\xC4\xE3\r\n[New]\r\nk=v\r\n");
}

TEST(IniDocument, WritingIntoAFileWithoutALastLineEnd) {
    IniDocument ini("[Info]\n1=0");
    ASSERT_TRUE(ini.SetValue("Info", "6", "7"));
    EXPECT_EQ(ini.Bytes(), "[Info]\n1=0\n6=7\n");

    IniDocument empty("");
    ASSERT_TRUE(empty.SetValue("Info", "1", "0"));
    EXPECT_EQ(empty.Bytes(), "[Info]\n1=0\n");
}

TEST(IniDocument, RefusesWhatCannotStandOnOneLine) {
    IniDocument ini("[Info]\n1=0\n");
    EXPECT_FALSE(ini.SetValue("Info", "1", "0\n[Evil]\nx=1"));
    EXPECT_FALSE(ini.SetValue("Info", "a=b", "0"));
    EXPECT_FALSE(ini.SetValue("Info", "", "0"));
    EXPECT_FALSE(ini.SetValue("In]fo", "1", "0"));
    EXPECT_EQ(ini.Bytes(), "[Info]\n1=0\n");
}

TEST(IniFile, MissingFileOrKeyReadsZeroAndIsNeverCreated) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    EXPECT_EQ(ReadIniValue(path, "Info", "1"), "0");
    EXPECT_FALSE(WriteIniValue(path, "Info", "1", "5"));
    EXPECT_FALSE(std::filesystem::exists(path));

    WriteFile(path, "[Info]\n");
    EXPECT_EQ(ReadIniValue(path, "Info", "1"), "0");
    EXPECT_EQ(ReadIniString(path, "Info", "1", "fallback"), "fallback");
    EXPECT_TRUE(WriteIniValue(path, "Info", "1", "5"));
    EXPECT_EQ(ReadIniValue(path, "info", "1"), "5");
}

TEST(IniFile, ValuesInGbkReadAsUtf8) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    // "下载" in GBK, as a Windows installation writes it.
    WriteFile(path, "[Info]\n10=D:\\\xCF\xC2\xD4\xD8\n11=\xE4\xB8\x8B\xE8\xBD\xBD\n");
    EXPECT_EQ(ReadIniValue(path, "Info", "10"), "D:\\下载");
    EXPECT_EQ(ReadIniValue(path, "Info", "11"), "下载");
}

TEST(IniFile, AFailedWriteLeavesTheFileAsItWas) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    const std::string original = "[Info]\r\n1=3\r\n; keep me\r\n";
    WriteFile(path, original);

    // A file-size limit below what the write needs stands for a full disk.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = WriteIniValue(path, "Info", "10", std::string(200, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), original);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path()))
        ++files;
    EXPECT_EQ(files, 1u) << "the temporary file must not be left behind";
}

TEST(IniFile, WriteKeepsThePermissionBits) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    WriteFile(path, "[Info]\n");
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    ASSERT_TRUE(WriteIniValue(path, "Info", "1", "2"));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
}

TEST(IniFile, AReadOnlyFileStaysPinnedAndALinkStaysALink) {
    TempDir temp;
    const std::string pinned = temp.dir() + "pinned.ini";
    WriteFile(pinned, "[Info]\n11=2\n");
    std::filesystem::permissions(pinned, std::filesystem::perms(0444));
    EXPECT_FALSE(WriteIniValue(pinned, "Info", "11", "3")) << "refused, even for root";
    EXPECT_EQ(ReadFile(pinned), "[Info]\n11=2\n");

    const std::string target = temp.dir() + "shared.ini";
    const std::string link = temp.dir() + "local.ini";
    WriteFile(target, "[Info]\n");
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(WriteIniValue(link, "Info", "1", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "[Info]\n1=2\n");
}

namespace {

// This thread obeys file permissions as any user does, even as root (whose override of them is
// dropped from the effective capabilities while the object lives).
class PermissionsApply {
public:
    PermissionsApply() {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &header_, reduced);
    }
    ~PermissionsApply() { ::syscall(SYS_capset, &header_, saved_); }
    PermissionsApply(const PermissionsApply&) = delete;
    PermissionsApply& operator=(const PermissionsApply&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

} // namespace

// A read-only Config folder with a writable local.ini: the settings are written in place.
TEST(IniFile, AFolderThatTakesNoNewFileStillGetsItsFileWritten) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    WriteFile(path, "[Info]\n1=7\n11=2\n");
    std::filesystem::permissions(path, std::filesystem::perms(0644));
    std::filesystem::permissions(temp.path(), std::filesystem::perms(0555));
    {
        const PermissionsApply asAnyUser;
        ASSERT_TRUE(WriteIniValue(path, "Info", "1", "8"));
        ASSERT_TRUE(WriteIniValue(path, "Info", "11", "0"));
    }
    std::filesystem::permissions(temp.path(), std::filesystem::perms(0755));
    EXPECT_EQ(ReadFile(path), "[Info]\n1=8\n11=0\n");
}

TEST(IniFile, AWriteClearsTheTemporariesOfKilledWrites) {
    TempDir temp;
    const std::string path = temp.dir() + "local.ini";
    WriteFile(path, "[Info]\n");
    for (const char* name : {"local.ini.Ab3xY9", "local.ini.000000", "local.ini.bak",
                             "local.ini.Ab3xY9z", "other.ini.Ab3xY9"})
        WriteFile(temp.dir() + name, "");
    ASSERT_TRUE(WriteIniValue(path, "Info", "1", "2"));
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"local.ini", "local.ini.bak", "local.ini.Ab3xY9z",
                                           "other.ini.Ab3xY9"}));
}

TEST(IniFile, ADirectoryIsNotAFile) {
    TempDir temp;
    EXPECT_EQ(ReadIniValue(temp.dir(), "Info", "1"), "0");
    EXPECT_FALSE(WriteIniValue(temp.dir(), "Info", "1", "2"));
}
