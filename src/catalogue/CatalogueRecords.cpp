#include "catalogue/CatalogueRecords.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace luming {

namespace {

// Large enough that a million entries need only a few hundred allocations.
constexpr size_t kChunkBytes = 256 * 1024;

uint32_t FieldLength(std::string_view text) {
    if (text.size() > std::numeric_limits<uint32_t>::max())
        throw std::length_error("catalogue field too long");
    return static_cast<uint32_t>(text.size());
}

} // namespace

char* CatalogueRecords::Reserve(size_t bytes) {
    if (bytes > chunkLeft_) {
        // An oversized value gets a chunk of its own so the current chunk's rest is not lost.
        const size_t size = bytes > kChunkBytes / 4 ? bytes : kChunkBytes;
        chunks_.push_back(std::make_unique<char[]>(size));
        if (size != kChunkBytes)
            return chunks_.back().get();
        chunkFree_ = chunks_.back().get();
        chunkLeft_ = size;
    }
    char* start = chunkFree_;
    chunkFree_ += bytes;
    chunkLeft_ -= bytes;
    return start;
}

RecordId CatalogueRecords::Add(std::string_view id, std::string_view pid, std::string_view name,
                               std::string_view fileType) {
    if (records_.size() >= std::numeric_limits<RecordId>::max())
        throw std::length_error("too many catalogue records");
    const std::string_view fields[4] = {id, pid, name, fileType};
    Packed packed{};
    size_t total = 0;
    for (int i = 0; i < 4; ++i) {
        packed.lengths[i] = FieldLength(fields[i]);
        total += fields[i].size();
    }
    char* out = Reserve(total);
    packed.text = out;
    for (const std::string_view field : fields) {
        if (!field.empty())
            std::memcpy(out, field.data(), field.size());
        out += field.size();
    }
    records_.push_back(packed);
    return static_cast<RecordId>(records_.size() - 1);
}

std::string_view CatalogueRecords::Field(RecordId record, int field) const {
    const Packed& packed = records_.at(record);
    size_t offset = 0;
    for (int i = 0; i < field; ++i)
        offset += packed.lengths[i];
    return {packed.text + offset, packed.lengths[field]};
}

TKrvPlay& CatalogueRecords::Play(RecordId record) {
    (void)records_.at(record); // an unknown record must not leave an empty slot behind
    auto& slot = played_[record];
    if (!slot) {
        slot = std::make_unique<TKrvPlay>();
        slot->Id = Id(record);
        slot->Pid = Pid(record);
        slot->Name = Name(record);
        slot->FileType = FileType(record);
    }
    return *slot;
}

void CatalogueRecords::Clear() {
    played_.clear();
    records_.clear();
    records_.shrink_to_fit();
    chunks_.clear();
    chunkFree_ = nullptr;
    chunkLeft_ = 0;
    ++generation_;
}

} // namespace luming
