#pragma once

#include "catalogue/CatalogueRecords.h"
#include "catalogue/TreeObserver.h"

#include <string_view>
#include <vector>

namespace luming {

inline constexpr NodeIndex kNoNode = 0xFFFFFFFFu;
// A node's image before the catalogue rules give it one.
inline constexpr int kDefaultImage = -1;

// The programme tree the window shows (tv1). Nodes lie in one vector in depth-first order, so
// a node's position is its absolute index and a subtree is a contiguous range; each node
// refers to a record of Records() and shows the record's Name.
class ProgrammeTree {
public:
    // What the loader hands over: nodes already in depth-first order.
    struct LoadedNode {
        RecordId record;
        NodeIndex parent; // kNoNode at the top level
        int image = kDefaultImage;
        int selectedImage = kDefaultImage;
    };

    ProgrammeTree() = default;
    ProgrammeTree(const ProgrammeTree&) = delete;
    ProgrammeTree& operator=(const ProgrammeTree&) = delete;

    CatalogueRecords& Records() { return records_; }
    const CatalogueRecords& Records() const { return records_; }

    void AddObserver(ITreeObserver* observer);
    void RemoveObserver(ITreeObserver* observer);

    NodeIndex Count() const { return static_cast<NodeIndex>(nodes_.size()); }
    bool Contains(NodeIndex node) const { return node < nodes_.size(); }

    RecordId Record(NodeIndex node) const { return nodes_.at(node).record; }
    std::string_view Text(NodeIndex node) const { return records_.Name(Record(node)); }
    std::string_view FileType(NodeIndex node) const { return records_.FileType(Record(node)); }
    TKrvPlay& Play(NodeIndex node) { return records_.Play(Record(node)); }

    NodeIndex Parent(NodeIndex node) const { return nodes_.at(node).parent; }
    // 0 at the top level.
    uint32_t Level(NodeIndex node) const { return nodes_.at(node).level; }
    bool HasChildren(NodeIndex node) const { return nodes_.at(node).descendants > 0; }
    NodeIndex FirstChild(NodeIndex node) const { return HasChildren(node) ? node + 1 : kNoNode; }
    NodeIndex NextSibling(NodeIndex node) const;
    // The node and everything below it end before this index.
    NodeIndex SubtreeEnd(NodeIndex node) const { return node + 1 + nodes_.at(node).descendants; }

    bool Expanded(NodeIndex node) const { return nodes_.at(node).expanded; }
    // A node without children cannot be expanded (as in the tree control). Observers hear of
    // the change only when the state really changes; returns whether it did.
    bool SetExpanded(NodeIndex node, bool expanded);

    int Image(NodeIndex node) const { return nodes_.at(node).image; }
    int SelectedImage(NodeIndex node) const { return nodes_.at(node).selectedImage; }
    void SetImages(NodeIndex node, int image, int selectedImage);
    void SetImage(NodeIndex node, int image) { SetImages(node, image, SelectedImage(node)); }

    NodeIndex Selected() const { return selected_; }
    // Selecting a node reveals it, as in the tree control: its closed ancestors open first
    // (observers hear each opening), so every selected node can be seen.
    void Select(NodeIndex node);

    NodeIndex AppendTopLevel(RecordId record);
    // Appended as the last child of `parent`.
    NodeIndex AppendChild(NodeIndex parent, RecordId record);
    // Removes the node with its subtree (records stay with the catalogue load).
    void Remove(NodeIndex node);
    // Removes every node and frees the records.
    void Clear();
    // Appends nodes in depth-first order after the present ones (parents relative to `nodes`).
    void AppendLoaded(std::vector<LoadedNode> nodes);

private:
    struct Node {
        RecordId record;
        NodeIndex parent;
        uint32_t descendants; // size of the subtree below the node
        uint32_t level;
        int32_t image;
        int32_t selectedImage;
        bool expanded;
    };

    NodeIndex Insert(NodeIndex parent, NodeIndex at, RecordId record);
    template <typename Call> void Notify(Call call);

    CatalogueRecords records_;
    std::vector<Node> nodes_;
    NodeIndex selected_ = kNoNode;
    std::vector<ITreeObserver*> observers_;
};

} // namespace luming
