#include "shell/WebPageStyle.h"

namespace luming {

QString BorderStyleScript(bool flag) {
    return QString("(function () {"
                   " try { document.body.scroll = 'auto'; } catch (e) {}"
                   " try { if (document.body) document.body.style.borderStyle = '%1'; }"
                   " catch (e) {}"
                   "})();")
        .arg(flag ? "" : "none");
}

} // namespace luming
