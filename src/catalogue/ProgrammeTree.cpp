#include "catalogue/ProgrammeTree.h"

#include <algorithm>
#include <stdexcept>

namespace luming {

template <typename Call> void ProgrammeTree::Notify(Call call) {
    for (ITreeObserver* observer : observers_)
        call(*observer);
}

void ProgrammeTree::AddObserver(ITreeObserver* observer) {
    observers_.push_back(observer);
}

void ProgrammeTree::RemoveObserver(ITreeObserver* observer) {
    std::erase(observers_, observer);
}

NodeIndex ProgrammeTree::NextSibling(NodeIndex node) const {
    const NodeIndex next = SubtreeEnd(node);
    if (next >= Count() || nodes_[next].parent != nodes_[node].parent)
        return kNoNode;
    return next;
}

bool ProgrammeTree::SetExpanded(NodeIndex node, bool expanded) {
    Node& n = nodes_.at(node);
    if (n.expanded == expanded || (expanded && n.descendants == 0))
        return false;
    n.expanded = expanded;
    Notify([&](ITreeObserver& o) { o.ExpandedChanged(node, expanded); });
    return true;
}

void ProgrammeTree::SetImages(NodeIndex node, int image, int selectedImage) {
    Node& n = nodes_.at(node);
    if (n.image == image && n.selectedImage == selectedImage)
        return;
    n.image = image;
    n.selectedImage = selectedImage;
    Notify([&](ITreeObserver& o) { o.ImagesChanged(node); });
}

void ProgrammeTree::Select(NodeIndex node) {
    if (node != kNoNode && !Contains(node))
        throw std::out_of_range("no such tree node");
    if (node != kNoNode) {
        std::vector<NodeIndex> closed;
        for (NodeIndex up = nodes_[node].parent; up != kNoNode; up = nodes_[up].parent)
            if (!nodes_[up].expanded)
                closed.push_back(up);
        for (auto up = closed.rbegin(); up != closed.rend(); ++up)
            SetExpanded(*up, true);
    }
    if (selected_ == node)
        return;
    selected_ = node;
    Notify([&](ITreeObserver& o) { o.SelectionChanged(node); });
}

NodeIndex ProgrammeTree::Insert(NodeIndex parent, NodeIndex at, RecordId record) {
    if (nodes_.size() >= kNoNode - 1)
        throw std::length_error("programme tree full");
    Notify([&](ITreeObserver& o) { o.NodesAboutToBeInserted(parent, at, 1); });
    const uint32_t level = parent == kNoNode ? 0 : nodes_[parent].level + 1;
    nodes_.insert(nodes_.begin() + at,
                  Node{record, parent, 0, level, kDefaultImage, kDefaultImage, false});
    // Everything after the new node moved down by one.
    for (NodeIndex i = at + 1; i < Count(); ++i)
        if (nodes_[i].parent != kNoNode && nodes_[i].parent >= at)
            ++nodes_[i].parent;
    for (NodeIndex up = parent; up != kNoNode; up = nodes_[up].parent)
        ++nodes_[up].descendants;
    if (selected_ != kNoNode && selected_ >= at)
        ++selected_;
    Notify([&](ITreeObserver& o) { o.NodesInserted(at, 1); });
    return at;
}

NodeIndex ProgrammeTree::AppendTopLevel(RecordId record) {
    return Insert(kNoNode, Count(), record);
}

NodeIndex ProgrammeTree::AppendChild(NodeIndex parent, RecordId record) {
    return Insert(parent, SubtreeEnd(parent), record);
}

void ProgrammeTree::Remove(NodeIndex node) {
    const NodeIndex end = SubtreeEnd(node);
    const NodeIndex count = end - node;
    Notify([&](ITreeObserver& o) { o.NodesAboutToBeRemoved(node, count); });
    for (NodeIndex up = nodes_[node].parent; up != kNoNode; up = nodes_[up].parent)
        nodes_[up].descendants -= count;
    nodes_.erase(nodes_.begin() + node, nodes_.begin() + end);
    for (NodeIndex i = node; i < Count(); ++i)
        if (nodes_[i].parent != kNoNode && nodes_[i].parent >= end)
            nodes_[i].parent -= count;
    if (selected_ != kNoNode && selected_ >= node)
        selected_ = selected_ >= end ? selected_ - count : kNoNode;
    Notify([&](ITreeObserver& o) { o.NodesRemoved(node, count); });
}

void ProgrammeTree::Clear() {
    Notify([](ITreeObserver& o) { o.TreeAboutToBeReset(); });
    nodes_.clear();
    nodes_.shrink_to_fit();
    records_.Clear();
    selected_ = kNoNode;
    Notify([](ITreeObserver& o) { o.TreeReset(); });
}

void ProgrammeTree::AppendLoaded(std::vector<LoadedNode> loaded) {
    if (loaded.empty())
        return;
    if (nodes_.size() + loaded.size() >= kNoNode - 1)
        throw std::length_error("programme tree full");
    Notify([](ITreeObserver& o) { o.TreeAboutToBeReset(); });
    const NodeIndex offset = Count();
    nodes_.reserve(nodes_.size() + loaded.size());
    for (NodeIndex i = 0; i < loaded.size(); ++i) {
        const LoadedNode& in = loaded[i];
        if (in.parent != kNoNode && in.parent >= i)
            throw std::invalid_argument("loaded nodes are not in depth-first order");
        const NodeIndex parent = in.parent == kNoNode ? kNoNode : in.parent + offset;
        const uint32_t level = parent == kNoNode ? 0 : nodes_[parent].level + 1;
        nodes_.push_back(Node{in.record, parent, 0, level, in.image, in.selectedImage, false});
    }
    loaded = {};
    // Children follow their parents, so one backward pass adds every subtree up.
    for (NodeIndex i = Count(); i-- > offset;)
        if (nodes_[i].parent != kNoNode)
            nodes_[nodes_[i].parent].descendants += nodes_[i].descendants + 1;
    Notify([](ITreeObserver& o) { o.TreeReset(); });
}

} // namespace luming
