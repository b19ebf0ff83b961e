#include "tools/ReadAlongCheck.h"

#include "content/LocalFile.h"
#include "playback/LrcReader.h"
#include "playback/ReadAlongSource.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace luming::tool {

namespace fs = std::filesystem;

int ReportUnreadableReadAlongs(const ProgrammeTree& tree, const std::string& mediaDir,
                               std::ostream& out) {
    int unreadable = 0;
    for (NodeIndex node = 0; node < tree.Count(); ++node) {
        if (!TakesReadAlong(tree.FileType(node)))
            continue;
        const std::string id(tree.Records().Id(tree.Record(node)));
        const auto file = SafeLocalFile(mediaDir + "/", id, kReadAlongExt);
        std::error_code error;
        if (!file || !fs::exists(*file, error))
            continue;
        std::string problem;
        if (!fs::is_regular_file(*file, error)) {
            problem = "not a file";
        } else {
            std::ifstream in(*file, std::ios::binary);
            std::string bytes;
            // One byte past the limit is enough to know it is too large.
            bytes.resize(kLargestLrcFile + 1);
            in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            bytes.resize(static_cast<size_t>(in.gcount()));
            problem = in.bad() ? "cannot be read" : ReadLrc(bytes).error;
        }
        if (problem.empty())
            continue;
        ++unreadable;
        out << "node " << node << ": read-along " << fs::path(*file).filename().string()
            << " is not shown: " << problem << " (" << tree.Text(node) << ")\n";
    }
    return unreadable;
}

} // namespace luming::tool
