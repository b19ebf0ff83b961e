#include "content/PlayRequest.h"
#include "content/ContentError.h"
#include "content/Des.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace luming;

namespace {

// Shaped like the programme record of the catalogue.
struct Programme {
    std::string Id, Name, SourceUrl, FileType, PlayUrl;
    int32_t TaskNo = 0;
};

// Answers SetProgramInfo with a fixed reply, written byte for byte into the buffer.
class FakeLibrary : public VendorLibrary {
public:
    bool accept = true;
    std::string reply;
    bool fillWholeBuffer = false; // a library that forgets the zero byte
    std::string askedUrl;
    int32_t askedId = -1;

    void Init(int32_t, ProgressHandler) override {}
    void LoginIn(int32_t, const std::string&) override {}
    bool SetProgramInfo(const std::string& sourceUrl, int32_t id, ReplyBuffer& buffer) override {
        askedUrl = sourceUrl;
        askedId = id;
        if (fillWholeBuffer)
            std::memset(buffer.data(), 'x', buffer.size());
        std::memcpy(buffer.data(), reply.data(), std::min(reply.size(), buffer.size()));
        return accept;
    }
    bool GetProgInfo(int32_t task, int32_t& percent) override {
        percent = 42;
        return task == 7;
    }
    int32_t GetProgError(int32_t task) override { return task == 8 ? 2 : task == 9 ? 1 : 0; }
    void UnInit() override {}
};

const std::string kBase = "http://dl.example.com/";

} // namespace

TEST(PlayRequest, SuccessStoresTaskAndPlayAddress) {
    FakeLibrary library;
    library.reply = "http://127.0.0.1:4000/ab12/P2P/12.flv";
    Programme programme{"0300", "春晓%20孟浩然", "", "4", "", 0};
    RequestPlayUrl(library, kBase, programme);
    EXPECT_EQ(programme.Name, "春晓 孟浩然");
    EXPECT_EQ(programme.SourceUrl, kBase + "3/" + EncryptToHex("300", ContentKey) + ".flv");
    EXPECT_EQ(library.askedUrl, programme.SourceUrl);
    EXPECT_EQ(library.askedId, 300);
    EXPECT_EQ(programme.TaskNo, 12);
    EXPECT_EQ(programme.PlayUrl, library.reply);
}

TEST(PlayRequest, RefusalLeavesPlayFieldsAlone) {
    FakeLibrary library;
    library.accept = false;
    Programme programme{"5", "a%20b", "", "2", "", 0};
    RequestPlayUrl(library, kBase, programme);
    EXPECT_EQ(programme.PlayUrl, "");
    EXPECT_EQ(programme.TaskNo, 0);
    EXPECT_EQ(programme.Name, "a b");
    EXPECT_FALSE(programme.SourceUrl.empty());
}

TEST(PlayRequest, ReplyWithoutNumberIsAnErrorAndChangesNothing) {
    FakeLibrary library;
    Programme programme{"5", "n", "", "2", "old", 3};
    for (const char* reply : {"http://h/P2P/.mp3", "http://h/P2P/abc.mp3", "http://h/x/12.mp3",
                              "P2P/", "http://h/P2P/99999999999999999999.mp3"}) {
        library.reply = reply;
        EXPECT_THROW(RequestPlayUrl(library, kBase, programme), ContentError) << reply;
        EXPECT_EQ(programme.PlayUrl, "old");
        EXPECT_EQ(programme.TaskNo, 3);
    }
}

TEST(PlayRequest, NonNumericIdIsAnErrorBeforeAnyCall) {
    FakeLibrary library;
    Programme programme{"", "n", "", "2", "", 0};
    EXPECT_THROW(RequestPlayUrl(library, kBase, programme), ContentError);
    EXPECT_EQ(library.askedId, -1);
}

TEST(PlayRequest, TaskNumberKeepsTheLow32Bits) {
    EXPECT_EQ(ParsePlayAddress("x/P2P/4294967298.flv").TaskNo, 2);
    EXPECT_EQ(ParsePlayAddress("x/P2P/4294967295.flv").TaskNo, -1);
    // The first "P2P/" counts; the extension is whatever the last four characters are.
    EXPECT_EQ(ParsePlayAddress("a/P2P/77abcd").TaskNo, 77);
    EXPECT_THROW(ParsePlayAddress("a/P2P/b/P2P/5.flv"), ContentError);
}

TEST(PlayRequest, ReplyIsNeverReadPastTheBuffer) {
    FakeLibrary library;
    library.fillWholeBuffer = true;
    library.reply = "http://127.0.0.1:1/t/P2P/8.mp3";
    const auto ticket = [&] {
        try {
            return FetchPlayAddress(library, "http://o/x.mp3", 1);
        } catch (const ContentError&) {
            return std::optional<PlayTicket>();
        }
    }();
    // 1024 bytes with no zero: read exactly the buffer, which holds no valid number.
    EXPECT_FALSE(ticket);
    VendorLibrary::ReplyBuffer buffer;
    buffer.fill('y');
    EXPECT_EQ(ReplyText(buffer).size(), VendorLibrary::kReplySize);
}

TEST(PlayRequest, DownloadPercent) {
    FakeLibrary library;
    EXPECT_EQ(FlvCurDownloadPercent(library, 7), 42);
    EXPECT_EQ(FlvCurDownloadPercent(library, 8), -1);
}

TEST(PlayRequest, DownloadFailureMessages) {
    FakeLibrary library;
    EXPECT_EQ(DownloadFailureMessage(library, 7), std::nullopt);
    EXPECT_EQ(DownloadFailureMessage(library, 8), "磁盘空间不足");
    EXPECT_EQ(DownloadFailureMessage(library, 9), "节目下载失败");
}
