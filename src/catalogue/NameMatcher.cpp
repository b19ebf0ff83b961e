#include "catalogue/NameMatcher.h"

#include "catalogue/HanziText.h"

#include <algorithm>

namespace luming {

NameMatcher::NameMatcher(std::string_view keyword, SearchNames& names,
                         const CatalogueRecords& records)
    : keyword_(keyword),
      chinese_(std::any_of(keyword.begin(), keyword.end(),
                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; })),
      keywordTraditional_(chinese_ && HasTraditional(keyword)),
      simplified_(keywordTraditional_ ? SimplifiedText(keyword) : std::string(keyword)),
      pinyin_(PinyinKeyword::From(keyword)), names_(names) {
    names.Prepare(records, chinese_, pinyin_.has_value());
    lookInSimplified_ = chinese_ && (keywordTraditional_ || names.AnyTraditional());
}

} // namespace luming
