#include "catalogue/ChannelRules.h"

#include "catalogue/CatalogueLoader.h"
#include "catalogue/NodeImages.h"
#include "catalogue/TreeQueries.h"
#include "config/IniFile.h"
#include "config/NumberText.h"
#include "config/Settings.h"

#include <filesystem>
#include <vector>

namespace luming {

ChannelRules::ChannelRules(ProgrammeTree& tree, ChannelState& state, std::string appDir,
                           std::string localIniPath, IPlayProgram& player)
    : tree_(tree), state_(state), appDir_(std::move(appDir)),
      localIniPath_(std::move(localIniPath)), player_(player) {
    tree_.AddObserver(this);
}

ChannelRules::~ChannelRules() {
    tree_.RemoveObserver(this);
}

namespace {

// The key under which the remembered programme's id is kept beside its index.
std::string RememberedIdKey(int channel) {
    return std::to_string(channel) + ".id";
}

// An id that reads back from local.ini as written: values lose blanks and quotes at their ends
// and cannot span lines. Others are not kept, and the index alone stands for the programme.
std::string StorableId(std::string_view id) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
    if (id.empty() || blank(id.front()) || blank(id.back()) ||
        id.find_first_of("\r\n") != std::string_view::npos)
        return {};
    return std::string(id);
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

std::string ChannelRules::CatalogueFileName(const std::string& appDir, int channel) {
    return appDir + "Resource/xml/" + std::to_string(channel) + ".xml";
}

std::string ChannelRules::UpdatedCatalogueFileName(const std::string& appDir, int channel) {
    return appDir + "Config/xml/" + std::to_string(channel) + ".xml";
}

void ChannelRules::LoadCatalogue() {
    const std::string updated = UpdatedCatalogueFileName(appDir_, state_.CurrentChannel);
    if (tree_.Count() == 0 && IsFile(updated)) {
        try {
            LoadCatalogueFile(updated);
            return;
        } catch (const std::exception&) {
            // Damaged since it was checked: the installed catalogue stands in.
        }
    }
    const std::string path = CatalogueFileName(appDir_, state_.CurrentChannel);
    if (IsFile(path))
        LoadCatalogueFile(path);
}

void ChannelRules::LoadCatalogueFile(const std::string& path, LoadReport* report) {
    const bool wasEmpty = tree_.Count() == 0;
    try {
        CatalogueLoader loader(tree_, report);
        ReadCatalogueFile(path, loader);
        loader.Finish();
    } catch (...) {
        // A file that does not load adds nothing; its records go with it.
        if (wasEmpty)
            tree_.Clear();
        throw;
    }
    if (tree_.Count() == 0)
        return;
    for (NodeIndex node = 0; node < tree_.Count(); ++node)
        tree_.SetExpanded(node, false);
    tree_.Select(0);
    tree_.SetExpanded(0, true);
    state_.CurrentIndex = 0;
}

void ChannelRules::OpenChannel(int channel) {
    state_.CurrentChannel = channel;
    tree_.Clear();
    LoadCatalogue();
    const IniSnapshot ini(localIniPath_);
    const auto stored = ParseInt32(ini.Read(kInfoSection, std::to_string(channel), "0"));
    if (!stored)
        state_.CurrentIndex = 0;
    else if (*stored <= 0) // a negative index would name no node at all
        state_.CurrentIndex = getFirstPlay(tree_);
    else
        state_.CurrentIndex = *stored;
    // Settings written before ids were kept have the index alone.
    const std::string id = ini.Read(kInfoSection, RememberedIdKey(channel), "");
    if (!id.empty())
        state_.CurrentIndex = RememberedIndex(state_.CurrentIndex, id);
}

int ChannelRules::RememberedIndex(int storedIndex, std::string_view id) const {
    const auto isProgramme = [this, id](NodeIndex node) {
        return !tree_.HasChildren(node) && tree_.FileType(node) != kFolderType &&
               tree_.Records().Id(tree_.Record(node)) == id;
    };
    if (storedIndex >= 0 && static_cast<NodeIndex>(storedIndex) < tree_.Count() &&
        isProgramme(static_cast<NodeIndex>(storedIndex)))
        return storedIndex;
    for (NodeIndex node = 0; node < tree_.Count(); ++node)
        if (isProgramme(node))
            return static_cast<int>(node);
    return getFirstPlay(tree_); // the programme is gone from the channel
}

void ChannelRules::tv1Click() {
    const NodeIndex node = tree_.Selected();
    if (!tree_.Contains(node))
        return;
    if (tree_.HasChildren(node))
        ClickFolder(node);
    else if (tree_.FileType(node) != kFolderType)
        ClickProgramme(node);
}

void ChannelRules::ClickFolder(NodeIndex folder) {
    tree_.SetExpanded(folder, !tree_.Expanded(folder));
    // The clicked folder and its ancestors keep their state; every other node closes.
    std::vector<NodeIndex> path;
    for (NodeIndex up = folder; up != kNoNode; up = tree_.Parent(up))
        path.push_back(up);
    auto keep = path.rbegin(); // ascending absolute indices
    for (NodeIndex node = 0; node < tree_.Count(); ++node) {
        if (keep != path.rend() && *keep == node) {
            ++keep;
            continue;
        }
        tree_.SetExpanded(node, false);
    }
}

void ChannelRules::ClickProgramme(NodeIndex programme) {
    state_.CurrentIndex = static_cast<int>(programme);
    // Without local.ini the programme still plays; the position is just not remembered. The id
    // goes first: should the index not follow, the id still finds the programme.
    WriteIniValue(localIniPath_, kInfoSection, RememberedIdKey(state_.CurrentChannel),
                  StorableId(tree_.Records().Id(tree_.Record(programme))));
    WriteIniValue(localIniPath_, kInfoSection, std::to_string(state_.CurrentChannel),
                  std::to_string(programme));
    player_.PlayProgram(tree_.Play(programme));
}

NodeIndex ChannelRules::SelectNodeById(std::string_view id) {
    NodeIndex found = kNoNode;
    for (NodeIndex node = 0; node < tree_.Count(); ++node)
        if (tree_.Records().Id(tree_.Record(node)) == id)
            found = node;
    tree_.Select(kNoNode);
    for (NodeIndex node = 0; node < tree_.Count(); ++node)
        tree_.SetExpanded(node, false);
    if (found == kNoNode)
        return kNoNode;
    for (NodeIndex up = tree_.Parent(found); up != kNoNode; up = tree_.Parent(up))
        tree_.SetExpanded(up, true);
    tree_.SetExpanded(found, true);
    tree_.Select(found);
    return found;
}

void ChannelRules::tv1Expanded(NodeIndex node) {
    if (tree_.HasChildren(node))
        tree_.SetImages(node, kOpenFolderImage, kOpenFolderImage);
}

void ChannelRules::tv1Collapsed(NodeIndex node) {
    if (tree_.HasChildren(node))
        tree_.SetImages(node, kClosedFolderImage, kClosedFolderImage);
}

void ChannelRules::ExpandedChanged(NodeIndex node, bool expanded) {
    if (expanded)
        tv1Expanded(node);
    else
        tv1Collapsed(node);
}

} // namespace luming
