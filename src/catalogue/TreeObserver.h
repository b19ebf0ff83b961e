#pragma once

#include <cstdint>

namespace luming {

using NodeIndex = uint32_t;

// What a view of the programme tree needs to follow it without keeping a copy: the tree calls
// these around every change. Ranges are absolute indices, a subtree being one contiguous range.
class ITreeObserver {
public:
    virtual ~ITreeObserver() = default;
    virtual void NodesAboutToBeInserted(NodeIndex /*parent*/, NodeIndex /*first*/,
                                        NodeIndex /*count*/) {}
    virtual void NodesInserted(NodeIndex /*first*/, NodeIndex /*count*/) {}
    virtual void NodesAboutToBeRemoved(NodeIndex /*first*/, NodeIndex /*count*/) {}
    virtual void NodesRemoved(NodeIndex /*first*/, NodeIndex /*count*/) {}
    // Whole tree replaced (cleared or loaded).
    virtual void TreeAboutToBeReset() {}
    virtual void TreeReset() {}
    // Called only when the state really changes (the tree's OnExpanded / OnCollapsed).
    virtual void ExpandedChanged(NodeIndex /*node*/, bool /*expanded*/) {}
    virtual void ImagesChanged(NodeIndex /*node*/) {}
    virtual void SelectionChanged(NodeIndex /*node*/) {}
};

} // namespace luming
