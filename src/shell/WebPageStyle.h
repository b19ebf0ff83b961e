#pragma once

#include <QString>

namespace luming {

// The script that lets a loaded page scroll as it needs and takes the border off its body
// (`flag` false) or gives the body its own border back (`flag` true). Errors in the page are
// swallowed: a page without a body is left as it is.
QString BorderStyleScript(bool flag);

} // namespace luming
