#include "catalogue/SearchNames.h"

#include "catalogue/HanziText.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace luming {

namespace {

template <typename Vector> void ShrinkToFit(Vector& vector) {
    if (vector.capacity() - vector.size() > vector.size() / 4)
        vector.shrink_to_fit();
}

} // namespace

void SearchNames::Prepare(const CatalogueRecords& records, bool simplified, bool readings) {
    if (generation_ != records.Generation()) {
        *this = SearchNames();
        generation_ = records.Generation();
    }
    const auto count = static_cast<RecordId>(records.Count());
    if (simplified) {
        for (auto record = static_cast<RecordId>(traditional_.size()); record < count; ++record) {
            const std::string_view name = records.Name(record);
            const bool traditional = luming::HasTraditional(name);
            traditional_.push_back(traditional);
            if (traditional)
                simplified_.emplace(record, SimplifiedText(name));
        }
    }
    if (readings) {
        for (auto record = static_cast<RecordId>(readingsStart_.size() - 1); record < count;
             ++record) {
            const std::string_view name = records.Name(record);
            latin_.push_back(std::any_of(name.begin(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            }));
            AppendReadingSets(name, readingSets_);
            if (readingSets_.size() > std::numeric_limits<uint32_t>::max())
                throw std::length_error("too many names to read");
            readingsStart_.push_back(static_cast<uint32_t>(readingSets_.size()));
        }
        // Grown by doubling, the vectors would hold up to twice what a large catalogue needs.
        ShrinkToFit(readingSets_);
        ShrinkToFit(readingsStart_);
    }
}

} // namespace luming
