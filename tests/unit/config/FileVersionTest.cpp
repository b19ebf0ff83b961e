#include "config/FileVersion.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace luming;
using luming::test::ReadFile;
using luming::test::TempDir;
using luming::test::WriteFile;

// This test program carries the same stamp as the client.
TEST(FileVersion, TheRunningProgramCarriesItsStamp) {
    EXPECT_EQ(GetFileVersionText(), "2.0.0." + std::to_string(GetBuildNumber()));
    EXPECT_EQ(GetBuildNumber(), LUMING_EXPECTED_BUILD);
}

TEST(FileVersion, AFileWithoutAStampHasNoVersion) {
    TempDir temp;
    WriteFile(temp.path() / "text", "not a program");
    WriteFile(temp.path() / "elf", "\x7f"
                                   "ELF\x02\x01\x01");
    EXPECT_EQ(ReadFileVersion((temp.path() / "text").string()), std::nullopt);
    EXPECT_EQ(ReadFileVersion((temp.path() / "elf").string()), std::nullopt);
    EXPECT_EQ(ReadFileVersion((temp.path() / "missing").string()), std::nullopt);
    EXPECT_EQ(ReadFileVersion("/bin/sh"), std::nullopt);
}

TEST(FileVersion, AStampIsReadFromTheFileNotFromMemory) {
    // A copy of this program with its build number changed to 27 in the file.
    TempDir temp;
    const auto copy = temp.path() / "copy";
    std::string bytes = ReadFile(RunningExecutablePath());
    WriteFile(copy, bytes);
    const auto range = FindElfSection(copy.string(), kVersionSectionName);
    ASSERT_TRUE(range);
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(range->offset + 10));
    file.put(27).put(0);
    file.close();

    const auto version = ReadFileVersion(copy.string());
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major, 2);
    EXPECT_EQ(version->build, 27);

    // A damaged stamp counts as none.
    file.open(copy, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(range->offset));
    file.put('X');
    file.close();
    EXPECT_EQ(ReadFileVersion(copy.string()), std::nullopt);
}
