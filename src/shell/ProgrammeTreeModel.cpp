#include "shell/ProgrammeTreeModel.h"

#include "shell/ImageList.h"

namespace luming {

namespace {

// What a child hears a programme is, by its file type; folders and archives say nothing.
QString KindWord(std::string_view fileType) {
    if (fileType == "1")
        return QStringLiteral("动画");
    if (fileType == "2")
        return QStringLiteral("音频");
    if (fileType == "3")
        return QStringLiteral("文字");
    if (fileType == "4")
        return QStringLiteral("视频");
    return {};
}

} // namespace

ProgrammeTreeModel::ProgrammeTreeModel(ProgrammeTree& tree, const ImageList& images,
                                       QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), images_(images) {
    tree_.AddObserver(this);
    previousSelection_ = tree_.Selected();
}

ProgrammeTreeModel::~ProgrammeTreeModel() {
    tree_.RemoveObserver(this);
}

const std::vector<NodeIndex>& ProgrammeTreeModel::ChildrenOf(NodeIndex parent) const {
    auto found = children_.find(parent);
    if (found != children_.end())
        return found->second;
    std::vector<NodeIndex> children;
    NodeIndex child = parent == kNoNode ? 0 : tree_.FirstChild(parent);
    const NodeIndex end = parent == kNoNode ? tree_.Count() : tree_.SubtreeEnd(parent);
    if (rows_.size() < tree_.Count())
        rows_.resize(tree_.Count(), -1);
    while (child != kNoNode && child < end) {
        rows_[child] = static_cast<int>(children.size());
        children.push_back(child);
        child = tree_.SubtreeEnd(child);
    }
    return children_.emplace(parent, std::move(children)).first->second;
}

int ProgrammeTreeModel::RowOf(NodeIndex node) const {
    if (node >= rows_.size() || rows_[node] < 0)
        ChildrenOf(tree_.Parent(node));
    return rows_[node];
}

void ProgrammeTreeModel::ForgetRows() const {
    children_.clear();
    rows_.clear();
}

QModelIndex ProgrammeTreeModel::IndexOf(NodeIndex node) const {
    if (!tree_.Contains(node))
        return {};
    return createIndex(RowOf(node), 0, static_cast<quintptr>(node));
}

NodeIndex ProgrammeTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return kNoNode;
    const auto node = static_cast<NodeIndex>(index.internalId());
    return tree_.Contains(node) ? node : kNoNode;
}

QModelIndex ProgrammeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || resetting_)
        return {};
    const NodeIndex parentNode = parent.isValid() ? NodeOf(parent) : kNoNode;
    if (parent.isValid() && parentNode == kNoNode)
        return {};
    const std::vector<NodeIndex>& children = ChildrenOf(parentNode);
    if (static_cast<size_t>(row) >= children.size())
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<size_t>(row)]));
}

QModelIndex ProgrammeTreeModel::parent(const QModelIndex& child) const {
    const NodeIndex node = NodeOf(child);
    if (node == kNoNode || resetting_)
        return {};
    return IndexOf(tree_.Parent(node));
}

int ProgrammeTreeModel::rowCount(const QModelIndex& parent) const {
    if (resetting_)
        return 0;
    if (!parent.isValid())
        return static_cast<int>(ChildrenOf(kNoNode).size());
    const NodeIndex node = NodeOf(parent);
    if (node == kNoNode || !tree_.HasChildren(node))
        return 0;
    return static_cast<int>(ChildrenOf(node).size());
}

int ProgrammeTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ProgrammeTreeModel::data(const QModelIndex& index, int role) const {
    const NodeIndex node = NodeOf(index);
    if (node == kNoNode)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const std::string_view text = tree_.Text(node);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::DecorationRole:
        return images_.icon(tree_.Selected() == node ? tree_.SelectedImage(node)
                                                     : tree_.Image(node));
    case Qt::AccessibleDescriptionRole:
        return KindWord(tree_.FileType(node));
    default:
        return {};
    }
}

QVariant ProgrammeTreeModel::headerData(int, Qt::Orientation, int) const {
    return {};
}

Qt::ItemFlags ProgrammeTreeModel::flags(const QModelIndex& index) const {
    if (NodeOf(index) == kNoNode)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ProgrammeTreeModel::NodesAboutToBeInserted(NodeIndex parent, NodeIndex first,
                                                NodeIndex count) {
    if (first != tree_.Count()) {
        resetting_ = true;
        beginResetModel();
        return;
    }
    Q_UNUSED(count);
    const int row = static_cast<int>(ChildrenOf(parent).size());
    beginInsertRows(IndexOf(parent), row, row);
}

void ProgrammeTreeModel::NodesInserted(NodeIndex, NodeIndex) {
    ForgetRows();
    if (resetting_)
        TreeReset();
    else
        endInsertRows();
}

void ProgrammeTreeModel::NodesAboutToBeRemoved(NodeIndex first, NodeIndex count) {
    if (first + count != tree_.Count()) {
        resetting_ = true;
        beginResetModel();
        return;
    }
    const int row = RowOf(first);
    beginRemoveRows(IndexOf(tree_.Parent(first)), row, row);
}

void ProgrammeTreeModel::NodesRemoved(NodeIndex, NodeIndex) {
    ForgetRows();
    if (resetting_)
        TreeReset();
    else
        endRemoveRows();
}

void ProgrammeTreeModel::TreeAboutToBeReset() {
    resetting_ = true;
    beginResetModel();
}

void ProgrammeTreeModel::TreeReset() {
    ForgetRows();
    resetting_ = false;
    previousSelection_ = tree_.Selected();
    endResetModel();
    emit treeReset();
}

void ProgrammeTreeModel::ExpandedChanged(NodeIndex node, bool expanded) {
    if (!resetting_)
        emit expandedChanged(IndexOf(node), expanded);
}

void ProgrammeTreeModel::ImagesChanged(NodeIndex node) {
    if (resetting_)
        return;
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index, {Qt::DecorationRole});
}

void ProgrammeTreeModel::SelectionChanged(NodeIndex node) {
    if (resetting_)
        return;
    // The selected image shows on the new node; the old one gets its plain image back.
    for (NodeIndex changed : {previousSelection_, node}) {
        const QModelIndex index = IndexOf(changed);
        if (index.isValid())
            emit dataChanged(index, index, {Qt::DecorationRole});
    }
    previousSelection_ = node;
    emit selectedChanged(IndexOf(node));
}

} // namespace luming
