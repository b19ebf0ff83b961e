// The read-along of the programme that plays: made once the transport exists, and told to the
// desktop's media session as it comes and goes.
#include "platform/Platform.h"
#include "shell/ReadAlong.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QToolButton>

namespace luming {

void TfrmMain::ConnectReadAlong() {
    readAlong_ = new ReadAlongPresenter(settings_, platform_.Vendor(), *transport_,
                                        {pnlplayMain, pnlPlay, sbtnReadAlong},
                                        [this] { MediaSessionChanged(); });
}

} // namespace luming
