#pragma once

#include <string>

namespace luming {

// One edition of the family that shares this program: the application title and the key that
// names its single-instance lock.
struct EditionRow {
    int buildNumber; // 0 for the default row
    const char* title;
    const char* key;
};

// The row for a build number; the default row for any number without a row of its own.
const EditionRow& EditionFor(int buildNumber);

} // namespace luming
