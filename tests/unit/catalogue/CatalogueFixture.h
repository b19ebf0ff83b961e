#pragma once

#include "catalogue/ChannelRules.h"
#include "catalogue/ProgrammeTree.h"
#include "config/Dialogs.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

namespace luming::test {

// One catalogue entry as written into a test file.
struct Item {
    std::string type, id, pid, name;
};

// A catalogue document in UTF-8 from its entries.
std::string CatalogueXml(const std::vector<Item>& items);
// `utf8` re-encoded with iconv (e.g. "GB2312", "UTF-16LE").
std::string Encode(const std::string& utf8, const char* encoding);

struct RecordingPlayer : IPlayProgram {
    std::vector<std::string> played; // Ids
    void PlayProgram(TKrvPlay& play) override { played.push_back(play.Id); }
};

struct MessageLog : IDialogs {
    std::vector<std::string> information;
    void Information(const std::string& text) override { information.push_back(text); }
    void Plain(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
    void Error(const std::string&) override {}
};

// An installation directory with Config/local.ini and a channel 26 catalogue, and the rules
// over a tree.
class ChannelFixture {
public:
    static constexpr int kChannel = 26;

    ChannelFixture();
    void WriteCatalogue(const std::string& bytes);
    void WriteCatalogue(const std::vector<Item>& items) { WriteCatalogue(CatalogueXml(items)); }
    std::string IniPath() const;
    void Open() { rules.OpenChannel(kChannel); }
    void Click(NodeIndex node);
    // Images of every node, in index order.
    std::vector<int> Images() const;

    TempDir dir;
    ProgrammeTree tree;
    ChannelState state;
    RecordingPlayer player;
    ChannelRules rules;
};

} // namespace luming::test
