#pragma once

#include "catalogue/TKrvPlay.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace luming {

using RecordId = uint32_t;

// The records of one catalogue load. A catalogue holds up to millions of entries, so the four
// fields read from the file are packed into a shared character pool; the full TKrvPlay (which
// the players fill in with addresses and a transfer number) is made only for the records that
// are actually played, and it keeps its address until Clear().
class CatalogueRecords {
public:
    CatalogueRecords() = default;
    CatalogueRecords(const CatalogueRecords&) = delete;
    CatalogueRecords& operator=(const CatalogueRecords&) = delete;

    RecordId Add(std::string_view id, std::string_view pid, std::string_view name,
                 std::string_view fileType);

    size_t Count() const { return records_.size(); }
    std::string_view Id(RecordId record) const { return Field(record, 0); }
    std::string_view Pid(RecordId record) const { return Field(record, 1); }
    std::string_view Name(RecordId record) const { return Field(record, 2); }
    std::string_view FileType(RecordId record) const { return Field(record, 3); }

    // The full record for the players; every node that refers to `record` gets the same object.
    TKrvPlay& Play(RecordId record);

    // Frees every record; Generation() then changes, so a RecordId kept from before can be
    // told apart from a new record of the same number.
    void Clear();
    uint64_t Generation() const { return generation_; }

private:
    struct Packed {
        const char* text;    // the four fields one after the other in the pool
        uint32_t lengths[4]; // Id, Pid, Name, FileType
    };

    std::string_view Field(RecordId record, int field) const;
    char* Reserve(size_t bytes);

    std::vector<Packed> records_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* chunkFree_ = nullptr;
    size_t chunkLeft_ = 0;
    std::unordered_map<RecordId, std::unique_ptr<TKrvPlay>> played_;
    uint64_t generation_ = 0;
};

} // namespace luming
