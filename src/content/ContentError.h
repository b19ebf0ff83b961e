#pragma once

#include <stdexcept>

namespace luming {

// A programme id or play address that cannot be read as a number; goes to the caller of the
// fetch, which leaves the programme as it was.
class ContentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace luming
