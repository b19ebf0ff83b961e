#pragma once

#include "catalogue/ProgrammeTree.h"
#include "catalogue/SearchNames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace luming {

class ChannelRules;
class IDialogs;

inline constexpr std::string_view kSearchResultsText = "搜索结果";
inline constexpr std::string_view kSearchPlaceholder = "搜索关键词或拼音";
inline constexpr std::string_view kNeedKeywordMessage = "请输入搜索关键词";
inline constexpr std::string_view kNothingFoundMessage = "没有找到相关的信息";
inline constexpr int kEnterKey = 13;

// Keyword search over the programme names of the tree. Hits are listed under one top-level
// results node at the end of the tree; its entries refer to the very records of the nodes they
// were found at.
class CatalogueSearch {
public:
    CatalogueSearch(ProgrammeTree& tree, ChannelRules& rules, IDialogs& dialogs);

    // Searches for the box's text without surrounding blanks: every node without children whose
    // name holds it (NameMatcher: as written, case-sensitive; in the other script of Chinese;
    // as pinyin) is listed in tree order; the results node is then selected and clicked, which
    // opens it and closes every other folder. True when something was found.
    bool imgSearchClick(std::string_view boxText);
    // Removes the results node this search made, with its entries (a catalogue entry that
    // happens to carry the same text stays).
    void delSearchResult();
    // Appends the results node (record: Id "0", FileType "0", Name "搜索结果") and returns it.
    NodeIndex addSearchResult();

    // The results node, or kNoNode.
    NodeIndex ResultsNode() const;

private:
    RecordId ResultsRecord();

    ProgrammeTree& tree_;
    ChannelRules& rules_;
    IDialogs& dialogs_;
    // The results node's record, made once per catalogue load.
    std::optional<RecordId> resultsRecord_;
    uint64_t resultsGeneration_ = 0;
    SearchNames names_;
};

// The search box above the tree (edtkey): its placeholder and its events, without the widget.
// The window passes each event on and shows Text() afterwards.
class SearchBox {
public:
    explicit SearchBox(CatalogueSearch& search);

    const std::string& Text() const { return text_; }
    // Any change of the text, by the user or by the box's own rules.
    void edtkeyChange(std::string text);
    void edtkeyEnter(); // gains focus
    void edtkeyExit();  // loses focus
    void edtkeyKeyDown(int key);
    void imgSearchClick();

private:
    CatalogueSearch& search_;
    std::string text_;
};

// The text without the blanks and control characters around it.
std::string_view TrimBoxText(std::string_view text);

} // namespace luming
