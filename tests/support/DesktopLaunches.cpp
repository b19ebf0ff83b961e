#include "support/DesktopLaunches.h"

#include <QDesktopServices>

namespace luming::test {

DesktopLaunches::DesktopLaunches(const QString& scheme) : scheme_(scheme) {
    QDesktopServices::setUrlHandler(scheme, this, "Open");
}

DesktopLaunches::~DesktopLaunches() {
    QDesktopServices::unsetUrlHandler(scheme_);
}

void DesktopLaunches::Open(const QUrl& url) {
    opened_ << url.toString();
}

} // namespace luming::test
