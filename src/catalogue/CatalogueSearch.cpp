#include "catalogue/CatalogueSearch.h"

#include "catalogue/ChannelRules.h"
#include "catalogue/NameMatcher.h"
#include "catalogue/NodeImages.h"
#include "config/Dialogs.h"

namespace luming {

std::string_view TrimBoxText(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

CatalogueSearch::CatalogueSearch(ProgrammeTree& tree, ChannelRules& rules, IDialogs& dialogs)
    : tree_(tree), rules_(rules), dialogs_(dialogs) {}

RecordId CatalogueSearch::ResultsRecord() {
    CatalogueRecords& records = tree_.Records();
    if (!resultsRecord_ || resultsGeneration_ != records.Generation()) {
        resultsRecord_ = records.Add("0", "", kSearchResultsText, kFolderType);
        resultsGeneration_ = records.Generation();
    }
    return *resultsRecord_;
}

NodeIndex CatalogueSearch::ResultsNode() const {
    if (!resultsRecord_ || resultsGeneration_ != tree_.Records().Generation())
        return kNoNode;
    for (NodeIndex node = 0; tree_.Contains(node); node = tree_.NextSibling(node))
        if (tree_.Record(node) == *resultsRecord_)
            return node;
    return kNoNode;
}

void CatalogueSearch::delSearchResult() {
    const NodeIndex results = ResultsNode();
    if (results != kNoNode)
        tree_.Remove(results);
}

NodeIndex CatalogueSearch::addSearchResult() {
    const NodeIndex results = tree_.AppendTopLevel(ResultsRecord());
    tree_.SetImage(results, kClosedFolderImage);
    return results;
}

bool CatalogueSearch::imgSearchClick(std::string_view boxText) {
    const std::string_view keyword = TrimBoxText(boxText);
    if (keyword.empty() || keyword == kSearchPlaceholder) {
        ShowInfo(dialogs_, std::string(kNeedKeywordMessage));
        return false;
    }
    delSearchResult();
    const NameMatcher matcher(keyword, names_, tree_.Records());
    // Only the nodes there before the search are visited, not the results being added.
    const NodeIndex count = tree_.Count();
    NodeIndex results = kNoNode;
    for (NodeIndex node = 0; node < count; ++node) {
        if (tree_.HasChildren(node) || !matcher.Matches(tree_.Record(node), tree_.Text(node)))
            continue;
        if (results == kNoNode)
            results = addSearchResult();
        const NodeIndex entry = tree_.AppendChild(results, tree_.Record(node));
        // A type that is no number keeps the default image rather than ending the search.
        if (const auto image = ProgrammeImage(tree_.FileType(node)))
            tree_.SetImages(entry, *image, *image);
    }
    if (results == kNoNode) {
        ShowInfo(dialogs_, std::string(kNothingFoundMessage));
        return false;
    }
    tree_.Select(results);
    rules_.tv1Click();
    return true;
}

SearchBox::SearchBox(CatalogueSearch& search) : search_(search) {}

void SearchBox::edtkeyChange(std::string text) {
    text_ = std::move(text);
    if (TrimBoxText(text_).empty())
        search_.delSearchResult();
}

void SearchBox::edtkeyEnter() {
    if (text_ == kSearchPlaceholder)
        edtkeyChange("");
}

void SearchBox::edtkeyExit() {
    if (TrimBoxText(text_).empty())
        edtkeyChange(std::string(kSearchPlaceholder));
}

void SearchBox::edtkeyKeyDown(int key) {
    if (key == kEnterKey)
        imgSearchClick();
}

void SearchBox::imgSearchClick() {
    search_.imgSearchClick(text_);
}

} // namespace luming
