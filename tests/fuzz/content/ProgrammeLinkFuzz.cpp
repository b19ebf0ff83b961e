// Navigation addresses of the web pane are outside input.
#include "content/LocalFile.h"
#include "content/ProgrammeLink.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    const auto record = luming::ParseProgrammeLink(address);
    if (!record)
        return 0;
    // A path built from a link's id or name stays in its directory.
    for (const std::string* stem : {&record->Id, &record->Name})
        if (const auto path = luming::SafeLocalFile("/cache/", *stem, ".flv"))
            if (path->find('/', 7) != std::string::npos)
                std::abort();
    return 0;
}
