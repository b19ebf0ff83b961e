#pragma once

#include "catalogue/CatalogueRecords.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace luming {

// The names of a catalogue load as the search reads them besides their own text: in simplified
// characters, and as the reading sets of their characters. Each form is made for every record
// on the first search that needs it rather than at load (most children never search), and
// made again after the records are cleared.
class SearchNames {
public:
    // Brings the forms asked for up to the records there are now.
    void Prepare(const CatalogueRecords& records, bool simplified, bool readings);

    // Whether any name has a traditional character (most catalogues have none).
    bool AnyTraditional() const { return !simplified_.empty(); }
    // For a record that Prepare saw, with its forms asked for:
    bool HasTraditional(RecordId record) const { return traditional_[record]; }
    // The name in simplified characters (only for a record HasTraditional).
    std::string_view Simplified(RecordId record) const { return simplified_.at(record); }
    // Whether the name has a Latin letter, which a keyword of letters may match as written.
    bool HasLatinLetter(RecordId record) const { return latin_[record]; }
    std::span<const uint16_t> ReadingSets(RecordId record) const {
        return {readingSets_.data() + readingsStart_[record],
                readingSets_.data() + readingsStart_[record + 1]};
    }

private:
    uint64_t generation_ = 0;
    std::vector<bool> traditional_;
    std::unordered_map<RecordId, std::string> simplified_;
    std::vector<bool> latin_;
    // Record r's reading sets are readingSets_[readingsStart_[r] .. readingsStart_[r + 1]).
    std::vector<uint32_t> readingsStart_ = {0};
    std::vector<uint16_t> readingSets_;
};

} // namespace luming
