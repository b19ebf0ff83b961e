#pragma once

#include "catalogue/CatalogueRecords.h"
#include "catalogue/PinyinKeyword.h"
#include "catalogue/SearchNames.h"

#include <optional>
#include <string>
#include <string_view>

namespace luming {

// Whether a programme's name holds a keyword: as a case-sensitive part of the name; in either
// script of Chinese (靜夜思 finds 静夜思 and the other way round); and, for a keyword of Latin
// letters, as the pinyin of the name's Chinese characters. The name's own Latin letters and
// digits match only as written.
class NameMatcher {
public:
    // Prepares the forms of the names this keyword needs.
    NameMatcher(std::string_view keyword, SearchNames& names, const CatalogueRecords& records);

    bool Matches(RecordId record, std::string_view name) const {
        // A keyword of letters is in no name without one (most Chinese names): no need to look.
        if ((!pinyin_ || names_.HasLatinLetter(record)) &&
            name.find(keyword_) != std::string_view::npos)
            return true;
        if (lookInSimplified_ && (keywordTraditional_ || names_.HasTraditional(record)) &&
            SimplifiedName(record, name).find(simplified_) != std::string_view::npos)
            return true;
        return pinyin_ && pinyin_->ReadIn(names_.ReadingSets(record));
    }

private:
    std::string_view SimplifiedName(RecordId record, std::string_view name) const {
        return names_.HasTraditional(record) ? names_.Simplified(record) : name;
    }

    std::string_view keyword_;
    // Simplified forms matter only to a keyword with more than ASCII.
    bool chinese_;
    bool keywordTraditional_;
    // Whether the keyword or any name is written in traditional characters.
    bool lookInSimplified_ = false;
    std::string simplified_;
    std::optional<PinyinKeyword> pinyin_;
    const SearchNames& names_;
};

} // namespace luming
