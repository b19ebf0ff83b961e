#pragma once

#include "catalogue/ProgrammeTree.h"

#include <string>
#include <string_view>

namespace luming {

struct LoadReport;

// Which channel is in the tree and which programme is current; read and changed by the play
// list as well.
struct ChannelState {
    int CurrentChannel = 0;
    int CurrentIndex = 0; // absolute index of the current programme node
};

// Starts a programme in the right player.
class IPlayProgram {
public:
    virtual ~IPlayProgram() = default;
    virtual void PlayProgram(TKrvPlay& play) = 0;
};

// The catalogue side of the channel tree: loading a channel, the click rules, the folder images
// and the remembered position (local.ini, section "Info", key = the channel number, and the
// programme's id under the channel number + ".id", so that it is found again in a catalogue that
// changed).
class ChannelRules : private ITreeObserver {
public:
    ChannelRules(ProgrammeTree& tree, ChannelState& state, std::string appDir,
                 std::string localIniPath, IPlayProgram& player);
    ~ChannelRules() override;
    ChannelRules(const ChannelRules&) = delete;
    ChannelRules& operator=(const ChannelRules&) = delete;

    // AppDir + "Resource/xml/<channel>.xml", the catalogue installed with the client.
    static std::string CatalogueFileName(const std::string& appDir, int channel);
    // AppDir + "Config/xml/<channel>.xml", a newer one from the vendor's site.
    static std::string UpdatedCatalogueFileName(const std::string& appDir, int channel);

    // Clears the tree, loads the channel's catalogue and restores the remembered programme:
    // a stored 0 (or nothing stored) gives the first playable node, a stored text that is not
    // a number gives 0; with a stored id, the programme with that id wherever it now stands,
    // and the first playable node when it is gone. Throws CatalogueFormatError /
    // CatalogueFileError from the load.
    void OpenChannel(int channel);
    // Appends the catalogue of CurrentChannel to the tree, the updated one when it loads, else
    // the installed one; a missing file leaves it as it is. Afterwards the first node is
    // selected and opened and CurrentIndex is 0.
    void LoadCatalogue();
    // LoadCatalogue from a given file, which must exist. `report` may be null.
    void LoadCatalogueFile(const std::string& path, LoadReport* report = nullptr);

    // The click on the selected node: a folder opens or closes and every folder off its path
    // closes; a programme becomes current, is remembered and starts.
    void tv1Click();
    // Selects the node whose record has the id `id` (the last such node in tree order), with
    // every other node closed and its folders opened so it can be seen; kNoNode (and nothing
    // selected) when no node has it.
    NodeIndex SelectNodeById(std::string_view id);
    void tv1Expanded(NodeIndex node);
    void tv1Collapsed(NodeIndex node);

private:
    void ExpandedChanged(NodeIndex node, bool expanded) override;
    int RememberedIndex(int storedIndex, std::string_view id) const;
    void ClickFolder(NodeIndex folder);
    void ClickProgramme(NodeIndex programme);

    ProgrammeTree& tree_;
    ChannelState& state_;
    std::string appDir_;
    std::string localIniPath_;
    IPlayProgram& player_;
};

} // namespace luming
