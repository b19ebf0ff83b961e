#include "catalogue/IdIndex.h"

namespace luming {

namespace {

uint32_t HashOf(std::string_view text) {
    // FNV-1a: ids are short, and this is cheap and spreads decimal ids well.
    uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

size_t IdIndex::Locate(std::string_view id, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.node == kNone || (slot.hash == hash && idOf_(slot.node) == id))
            return at;
    }
}

IdIndex::Node IdIndex::Find(std::string_view id) const {
    return slots_[Locate(id, HashOf(id))].node;
}

void IdIndex::Set(std::string_view id, Node node) {
    const uint32_t hash = HashOf(id);
    Slot& slot = slots_[Locate(id, hash)];
    if (slot.node == kNone)
        ++used_;
    slot = {hash, node};
    if (used_ * 2 > slots_.size())
        Grow();
}

void IdIndex::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.node == kNone)
            continue;
        size_t at = slot.hash & mask;
        while (slots_[at].node != kNone)
            at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

} // namespace luming
