#include "config/EditionTable.h"

#include <array>

namespace luming {

namespace {

constexpr std::array<EditionRow, 7> kEditionTable = {{
    {21, "鹿鸣果儿童百科精选", "science"},
    {22, "鹿鸣果儿童故事精选", "story"},
    {23, "鹿鸣果儿童英语精选", "english"},
    {24, "鹿鸣果儿童儿歌精选", "songs"},
    {25, "鹿鸣果儿童数学精选", "math"},
    {26, "鹿鸣果儿童古诗精选", "poetry"},
    {0, "鹿鸣果儿童学习库", "luming"},
}};

} // namespace

const EditionRow& EditionFor(int buildNumber) {
    for (const EditionRow& row : kEditionTable)
        if (row.buildNumber != 0 && row.buildNumber == buildNumber)
            return row;
    return kEditionTable.back();
}

} // namespace luming
