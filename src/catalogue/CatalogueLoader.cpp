#include "catalogue/CatalogueLoader.h"

#include "catalogue/NodeImages.h"

#include <utility>

namespace luming {

namespace {
constexpr uint32_t kNone = IdIndex::kNone;

bool IsPadded(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

void ReportPaddedFields(const CatalogueEntry& entry, LoadReport& report) {
    const std::pair<const char*, std::string_view> fields[] = {
        {"type", entry.type}, {"id", entry.id}, {"pid", entry.pid}, {"name", entry.name}};
    for (const auto& [field, value] : fields)
        if (IsPadded(value))
            report.padded.push_back({entry.line, field, std::string(value)});
}
} // namespace

CatalogueLoader::CatalogueLoader(ProgrammeTree& tree, LoadReport* report)
    : tree_(tree), report_(report), firstRecord_(static_cast<RecordId>(tree.Records().Count())),
      index_([this](IdIndex::Node node) { return IdOf(node); }) {}

std::string_view CatalogueLoader::IdOf(Node node) const {
    return tree_.Records().Id(firstRecord_ + node);
}

// Depth-first order of two nodes of the tree being built: lift both to the same depth, then to
// children of one parent, whose order is the order they were appended in.
bool CatalogueLoader::ComesAfter(Node a, Node b) const {
    while (depth_[a] > depth_[b]) {
        a = parent_[a];
        if (a == b)
            return true; // a lies below b
    }
    while (depth_[b] > depth_[a]) {
        b = parent_[b];
        if (a == b)
            return false; // b lies below a
    }
    while (parent_[a] != parent_[b]) {
        a = parent_[a];
        b = parent_[b];
    }
    return ordinal_[a] > ordinal_[b];
}

void CatalogueLoader::Entry(const CatalogueEntry& entry) {
    if (report_)
        ReportPaddedFields(entry, *report_);
    Node parent = kNone;
    if (!entry.pid.empty()) {
        parent = index_.Find(entry.pid);
        if (parent == kNone) {
            if (report_)
                report_->dropped.push_back(
                    {entry.line, std::string(entry.pid), std::string(entry.name)});
            return;
        }
    }
    tree_.Records().Add(entry.id, entry.pid, entry.name, entry.type);
    const Node node = static_cast<Node>(parent_.size());
    const Node previous = parent == kNone ? lastRoot_ : lastChild_[parent];
    parent_.push_back(parent);
    firstChild_.push_back(kNone);
    lastChild_.push_back(kNone);
    nextSibling_.push_back(kNone);
    depth_.push_back(parent == kNone ? 0 : depth_[parent] + 1);
    ordinal_.push_back(previous == kNone ? 0 : ordinal_[previous] + 1);
    if (previous != kNone)
        nextSibling_[previous] = node;
    if (parent == kNone) {
        if (firstRoot_ == kNone)
            firstRoot_ = node;
        lastRoot_ = node;
    } else {
        if (firstChild_[parent] == kNone)
            firstChild_[parent] = node;
        lastChild_[parent] = node;
    }

    const Node holder = index_.Find(entry.id);
    if (holder == kNone || ComesAfter(node, holder))
        index_.Set(entry.id, node);
}

void CatalogueLoader::UnreadableEntry(long line) {
    if (report_)
        report_->unreadable.push_back(line);
}

void CatalogueLoader::Finish() {
    const size_t count = parent_.size();
    std::vector<ProgrammeTree::LoadedNode> nodes;
    nodes.reserve(count);
    std::vector<Node> position(count); // load order -> depth-first position
    Node node = firstRoot_;
    while (node != kNone) {
        position[node] = static_cast<Node>(nodes.size());
        const RecordId record = firstRecord_ + node;
        ProgrammeTree::LoadedNode out{record,
                                      parent_[node] == kNone ? kNone : position[parent_[node]]};
        const std::string_view type = tree_.Records().FileType(record);
        if (type == kFolderType) {
            // Selected, a folder keeps its picture (it would lose its icon and shift left).
            out.image = out.selectedImage = kClosedFolderImage;
        } else if (const auto image = ProgrammeImage(type)) {
            out.image = out.selectedImage = *image;
        }
        nodes.push_back(out);
        if (firstChild_[node] != kNone) {
            node = firstChild_[node];
            continue;
        }
        while (node != kNone && nextSibling_[node] == kNone)
            node = parent_[node];
        if (node != kNone)
            node = nextSibling_[node];
    }
    // The building structures go before the tree grows.
    for (auto* links : {&parent_, &firstChild_, &lastChild_, &nextSibling_, &depth_, &ordinal_})
        std::vector<uint32_t>().swap(*links);
    std::vector<Node>().swap(position);
    tree_.AppendLoaded(std::move(nodes));
}

} // namespace luming
