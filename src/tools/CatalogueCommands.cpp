#include "catalogue/CatalogueLoader.h"
#include "catalogue/CatalogueSearch.h"
#include "catalogue/ChannelRules.h"
#include "catalogue/NodeImages.h"
#include "catalogue/PlayOrder.h"
#include "catalogue/TreeQueries.h"
#include "config/Dialogs.h"
#include "config/NumberText.h"
#include "tools/ReadAlongCheck.h"
#include "tools/ToolCommand.h"

#include <array>
#include <filesystem>
#include <map>
#include <ostream>

namespace luming::tool {

namespace {

constexpr int kUsage = 64;
constexpr int kMissingFile = 2;
constexpr int kNotWellFormed = 3;

struct NoPlayer : IPlayProgram {
    void PlayProgram(TKrvPlay&) override {}
};

struct CollectedMessages : IDialogs {
    std::vector<std::string> texts;
    void Information(const std::string& text) override { texts.push_back(text); }
    void Plain(const std::string& text) override { texts.push_back(text); }
    bool Confirm(const std::string&) override { return false; }
    void Error(const std::string& text) override { texts.push_back(text); }
};

// A catalogue file loaded the way the window loads its channel, with no local.ini to write.
struct LoadedChannel {
    ProgrammeTree tree;
    ChannelState state;
    NoPlayer player;
    CollectedMessages dialogs;
    ChannelRules rules{tree, state, "", "", player};
    LoadReport report;

    // The exit code of a failed load, 0 when loaded.
    int Load(const std::string& path, std::ostream& err) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            err << "luming-tool: no catalogue file " << path << '\n';
            return kMissingFile;
        }
        try {
            rules.LoadCatalogueFile(path, &report);
        } catch (const CatalogueFormatError& failure) {
            err << path << ": " << failure.what() << '\n';
            return kNotWellFormed;
        } catch (const std::exception& failure) {
            err << "luming-tool: " << failure.what() << '\n';
            return kMissingFile;
        }
        return 0;
    }
};

// Checks the number of arguments and loads FILE, the first one: 0, or the exit code of failing.
int LoadArguments(LoadedChannel& channel, const Arguments& arguments, size_t count,
                  std::string_view usage, std::ostream& err) {
    if (arguments.size() != count) {
        err << "usage: luming-tool " << usage << '\n';
        return kUsage;
    }
    return channel.Load(arguments[0], err);
}

void PrintTree(const ProgrammeTree& tree, std::ostream& out) {
    const CatalogueRecords& records = tree.Records();
    for (NodeIndex node = 0; node < tree.Count(); ++node) {
        const RecordId record = tree.Record(node);
        out << node << '\t' << tree.Level(node) << '\t' << records.FileType(record) << '\t'
            << records.Id(record) << '\t' << records.Pid(record) << '\t' << tree.Image(node) << '\t'
            << tree.Text(node) << '\n';
    }
}

int CatalogueCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    LoadedChannel channel;
    if (const int failed = LoadArguments(channel, arguments, 1, "catalogue FILE", err))
        return failed;
    PrintTree(channel.tree, out);
    return 0;
}

int FirstPlayCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    LoadedChannel channel;
    if (const int failed = LoadArguments(channel, arguments, 1, "first-play FILE", err))
        return failed;
    out << getFirstPlay(channel.tree) << '\n';
    return 0;
}

int SearchCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    LoadedChannel channel;
    if (const int failed = LoadArguments(channel, arguments, 2, "search FILE KEYWORD", err))
        return failed;
    CatalogueSearch search(channel.tree, channel.rules, channel.dialogs);
    if (!search.imgSearchClick(arguments[1])) {
        for (const std::string& text : channel.dialogs.texts)
            out << text << '\n';
        return 1;
    }
    PrintTree(channel.tree, out);
    return 0;
}

// Prints what a step of the play list would start: the node's index when the click on it
// starts a programme, "none" otherwise, or the end message.
int PrintStep(const LoadedChannel& channel, const PlayStep& step, std::ostream& out) {
    const ProgrammeTree& tree = channel.tree;
    switch (step.kind) {
    case PlayStep::Kind::EndOfList:
        out << kSequenceEndMessage << '\n';
        return 1;
    case PlayStep::Kind::Click:
        if (!tree.HasChildren(step.node) && tree.FileType(step.node) != kFolderType) {
            out << step.node << '\n';
            return 0;
        }
        break;
    case PlayStep::Kind::Nothing:
        break;
    }
    out << "none\n";
    return 0;
}

// Loads FILE and makes INDEX the current (and selected) programme.
int LoadWithCurrent(LoadedChannel& channel, const Arguments& arguments, std::ostream& err) {
    const auto index = ParseInt32(arguments[1]);
    if (!index) {
        err << "luming-tool: INDEX must be a whole number\n";
        return kUsage;
    }
    if (const int failed = channel.Load(arguments[0], err))
        return failed;
    channel.state.CurrentIndex = *index;
    if (*index >= 0 && channel.tree.Contains(static_cast<NodeIndex>(*index)))
        channel.tree.Select(static_cast<NodeIndex>(*index));
    return 0;
}

int NextCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const bool manual = arguments.size() == 4 && arguments[3] == "--manual";
    if (arguments.size() != 3 && !manual) {
        err << "usage: luming-tool next FILE INDEX MODE [--manual]\n";
        return kUsage;
    }
    LoadedChannel channel;
    if (const int failed = LoadWithCurrent(channel, arguments, err))
        return failed;
    return PrintStep(channel,
                     PlayNext(channel.tree, channel.state.CurrentIndex, arguments[2], !manual,
                              ClockSeededRandom()),
                     out);
}

int PreviousCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 2) {
        err << "usage: luming-tool previous FILE INDEX\n";
        return kUsage;
    }
    LoadedChannel channel;
    if (const int failed = LoadWithCurrent(channel, arguments, err))
        return failed;
    return PrintStep(channel, PlayPrevious(channel.tree, channel.state.CurrentIndex), out);
}

bool IsKnownType(std::string_view type) {
    for (const std::string_view known : {"0", "1", "2", "3", "4", "10", "11"})
        if (type == known)
            return true;
    return false;
}

// Line breaks and tabs written out, so each finding keeps to one line.
std::string Visible(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else
            shown += c;
    }
    return shown;
}

int CheckCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    LoadedChannel channel;
    const bool withMedia = arguments.size() == 2;
    const Arguments catalogue = withMedia ? Arguments{arguments[0]} : arguments;
    if (const int failed = LoadArguments(channel, catalogue, 1, "check FILE [MEDIA_DIR]", err))
        return failed;
    const ProgrammeTree& tree = channel.tree;
    for (const DroppedEntry& dropped : channel.report.dropped)
        out << "line " << dropped.line << ": dropped \"" << Visible(dropped.name)
            << "\": no entry with id \"" << Visible(dropped.pid) << "\" before it\n";
    for (const long line : channel.report.unreadable)
        out << "line " << line << ": dropped: a field holds more than text\n";
    for (const PaddedField& padded : channel.report.padded)
        out << "line " << padded.line << ": \"" << padded.field << "\" has blanks around it: \""
            << Visible(padded.value) << "\"\n";
    std::map<std::string_view, int> ids;
    for (NodeIndex node = 0; node < tree.Count(); ++node) {
        const RecordId record = tree.Record(node);
        ++ids[tree.Records().Id(record)];
        const std::string_view type = tree.FileType(node);
        if (!IsKnownType(type))
            out << "node " << node << ": unknown type \"" << type << "\" (" << tree.Text(node)
                << ")\n";
        if (type == kFolderType && !tree.HasChildren(node))
            out << "node " << node << ": empty folder (" << tree.Text(node) << ")\n";
    }
    for (const auto& [id, count] : ids)
        if (count > 1)
            out << "id \"" << id << "\": used by " << count << " entries\n";
    const bool dropped = !channel.report.dropped.empty() || !channel.report.unreadable.empty();
    const int unreadableReadAlongs =
        withMedia ? ReportUnreadableReadAlongs(tree, arguments[1], out) : 0;
    return dropped || unreadableReadAlongs > 0 ? 1 : 0;
}

constexpr std::array kCommands = {
    ToolCommand{"catalogue", "FILE", "the programme tree of a catalogue file, one node a line",
                &CatalogueCommand},
    ToolCommand{"first-play", "FILE", "the index of the first playable programme",
                &FirstPlayCommand},
    ToolCommand{"search", "FILE KEYWORD", "the tree after searching for KEYWORD", &SearchCommand},
    ToolCommand{"next", "FILE INDEX MODE [--manual]",
                "the programme the play list starts after INDEX in play mode MODE", &NextCommand},
    ToolCommand{"previous", "FILE INDEX", "the programme the previous button starts",
                &PreviousCommand},
    ToolCommand{"check", "FILE [MEDIA_DIR]",
                "what a catalogue's authors should look at: dropped entries, duplicate ids, "
                "unknown types, empty folders; with MEDIA_DIR, read-along files (<id>.lrc) "
                "that cannot be read",
                &CheckCommand},
};

} // namespace

std::span<const ToolCommand> CatalogueCommands() {
    return kCommands;
}

} // namespace luming::tool
