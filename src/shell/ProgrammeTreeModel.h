#pragma once

#include "catalogue/ProgrammeTree.h"

#include <QAbstractItemModel>

#include <unordered_map>
#include <vector>

namespace luming {

class ImageList;

// Shows the programme tree in a tree view without copying it: an index stands for a node
// (its internal id is the node's absolute index), texts and images come from the tree, and the
// tree's own change notices become the model's. Rows of a parent are worked out when first
// asked for and kept until the tree's structure changes.
class ProgrammeTreeModel : public QAbstractItemModel, private ITreeObserver {
    Q_OBJECT
public:
    ProgrammeTreeModel(ProgrammeTree& tree, const ImageList& images, QObject* parent = nullptr);
    ~ProgrammeTreeModel() override;

    QModelIndex IndexOf(NodeIndex node) const;
    NodeIndex NodeOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // A programme's kind is its description for a screen reader ("视频", "音频", "动画",
    // "文字"); a folder says whether it is open through the view.
    QVariant data(const QModelIndex& index, int role) const override;
    // None: the header is hidden, and a reader would call the column "1".
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The tree opened or closed a node: the view follows.
    void expandedChanged(const QModelIndex& index, bool expanded);
    // The tree selected a node (an invalid index: none).
    void selectedChanged(const QModelIndex& index);
    // The tree was reset: the view takes over every node's open state again.
    void treeReset();

private:
    void NodesAboutToBeInserted(NodeIndex parent, NodeIndex first, NodeIndex count) override;
    void NodesInserted(NodeIndex first, NodeIndex count) override;
    void NodesAboutToBeRemoved(NodeIndex first, NodeIndex count) override;
    void NodesRemoved(NodeIndex first, NodeIndex count) override;
    void TreeAboutToBeReset() override;
    void TreeReset() override;
    void ExpandedChanged(NodeIndex node, bool expanded) override;
    void ImagesChanged(NodeIndex node) override;
    void SelectionChanged(NodeIndex node) override;

    const std::vector<NodeIndex>& ChildrenOf(NodeIndex parent) const;
    int RowOf(NodeIndex node) const;
    void ForgetRows() const;

    ProgrammeTree& tree_;
    const ImageList& images_;
    // Children of each parent asked for (kNoNode: the top level), and each listed node's row.
    mutable std::unordered_map<NodeIndex, std::vector<NodeIndex>> children_;
    mutable std::vector<int> rows_;
    NodeIndex previousSelection_ = kNoNode;
    // A change in the middle of the tree moves the absolute indices after it: such a change is
    // shown as a reset.
    bool resetting_ = false;
};

} // namespace luming
