#pragma once

#include "content/ContentAddress.h"
#include "content/VendorLibrary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace luming {

// What the vendor library gives back for a fetch: the address the player opens and the number
// under which its progress is asked for.
struct PlayTicket {
    int32_t TaskNo = 0;
    std::string PlayUrl;
};

// The reply up to its first zero byte, and never past the buffer even when the library left no
// zero byte in it.
std::string ReplyText(const VendorLibrary::ReplyBuffer& reply);

// Reads ".../P2P/<number><4-character extension>": the task number is the low 32 bits of that
// 64-bit number. Throws ContentError when there is no number there.
PlayTicket ParsePlayAddress(std::string_view playUrl);

// Asks the library for `sourceUrl`; nothing when it refuses. Throws ContentError for a reply
// without a task number.
std::optional<PlayTicket> FetchPlayAddress(VendorLibrary& library, const std::string& sourceUrl,
                                           int32_t id);

// Percent downloaded of a task, -1 when the library does not know it.
int32_t FlvCurDownloadPercent(VendorLibrary& library, int32_t taskNo);

// The library's error for a store that had no room for the rest of a programme.
inline constexpr int32_t kStoreFullError = 2;

// What the bar says when a task's download failed for good ("节目下载失败", "磁盘空间不足");
// nothing while it runs, once it is complete, and for a task the library does not know.
std::optional<std::string> DownloadFailureMessage(VendorLibrary& library, int32_t taskNo);
// The same for an error the library already gave (GetProgError).
std::optional<std::string> DownloadFailureText(int32_t error);

// Fetches a programme that has no local copy. `Record` has the programme record's fields
// `Id`, `Name`, `FileType` (read), `Name`, `SourceUrl`, `TaskNo`, `PlayUrl` (written).
// The name gets its spaces back and the content address is stored before the library is
// asked; when it refuses, `TaskNo` and `PlayUrl` keep their values. A non-numeric id or a reply
// without a task number throws ContentError.
template <class Record>
void RequestPlayUrl(VendorLibrary& library, std::string_view downloadBaseUrl, Record& record) {
    record.Name = DecodeNameSpaces(record.Name);
    record.SourceUrl = SourceUrlFor(downloadBaseUrl, record.Id, record.FileType);
    if (auto ticket = FetchPlayAddress(library, record.SourceUrl, ProgrammeIdNumber(record.Id))) {
        record.TaskNo = ticket->TaskNo;
        record.PlayUrl = std::move(ticket->PlayUrl);
    }
}

} // namespace luming
