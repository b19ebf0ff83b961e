#include "platform/mpris/MprisRootAdaptor.h"

#include "platform/MediaSession.h"

namespace luming {

QString MprisRootAdaptor::Identity() const {
    return QString::fromStdString(session_.Identity());
}

void MprisRootAdaptor::Raise() {
    session_.Raise();
}

} // namespace luming
