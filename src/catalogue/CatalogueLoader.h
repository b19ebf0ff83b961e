#pragma once

#include "catalogue/CatalogueReader.h"
#include "catalogue/IdIndex.h"
#include "catalogue/ProgrammeTree.h"

#include <string>
#include <vector>

namespace luming {

// An entry left out of the tree because no earlier entry carries its "pid".
struct DroppedEntry {
    long line;
    std::string pid;
    std::string name;
};

// A field whose text starts or ends with blanks or line breaks; it counts as written, so a
// padded "id" or "pid" matches nothing written without them.
struct PaddedField {
    long line;
    std::string field; // "type", "id", "pid" or "name"
    std::string value;
};

// What a load left out or may have misread, for catalogue authors.
struct LoadReport {
    std::vector<DroppedEntry> dropped;
    std::vector<long> unreadable; // lines of entries whose fields are not plain text
    std::vector<PaddedField> padded;
};

// Places catalogue entries into a tree. An entry with an empty "pid" goes to the top level;
// otherwise it becomes the last child of the node that, at the moment the entry is read, has
// the highest absolute index among the nodes whose Id equals the "pid" exactly. An entry without
// such a node is dropped. An index of ids gives the same parent a backwards scan would, in
// linear time. Finish() hands the nodes to the tree in depth-first order.
class CatalogueLoader : public ICatalogueSink {
public:
    // `report` may be null.
    CatalogueLoader(ProgrammeTree& tree, LoadReport* report);

    void Entry(const CatalogueEntry& entry) override;
    void UnreadableEntry(long line) override;
    void Finish();

private:
    using Node = uint32_t; // in the order the entries were read

    bool ComesAfter(Node a, Node b) const;
    std::string_view IdOf(Node node) const;

    ProgrammeTree& tree_;
    LoadReport* report_;
    RecordId firstRecord_;
    // The tree being built, one entry per placed node.
    std::vector<Node> parent_, firstChild_, lastChild_, nextSibling_;
    std::vector<uint32_t> depth_, ordinal_;
    Node firstRoot_ = IdIndex::kNone;
    Node lastRoot_ = IdIndex::kNone;
    IdIndex index_;
};

} // namespace luming
