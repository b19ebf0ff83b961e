#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace luming {

// Open-addressing map from a node's id text to one node (8 bytes a slot), for loading large
// catalogues. The ids themselves stay with the caller, who tells the index how to read them.
class IdIndex {
public:
    using Node = uint32_t;
    static constexpr Node kNone = 0xFFFFFFFFu;

    explicit IdIndex(std::function<std::string_view(Node)> idOf) : idOf_(std::move(idOf)) {}

    Node Find(std::string_view id) const;
    // Makes `node` the one found for `id`, replacing any earlier one.
    void Set(std::string_view id, Node node);

private:
    struct Slot {
        uint32_t hash = 0;
        Node node = kNone;
    };

    size_t Locate(std::string_view id, uint32_t hash) const;
    void Grow();

    std::function<std::string_view(Node)> idOf_;
    std::vector<Slot> slots_ = std::vector<Slot>(1024);
    size_t used_ = 0;
};

} // namespace luming
