// The read-along of the programme that plays: made once the transport exists, told to the
// desktop's media session as it comes and goes, and each lit line to a screen reader.
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
    // Its status line's new name alone goes unspoken (a reader hears a name change from Qt 6.4
    // as an object, not as text): the line is announced, after whatever the reader is saying.
    connect(readAlong_, &ReadAlongPresenter::LineLit, this, [this] {
        if (const QString line = readAlong_->SpokenLine(); !line.isEmpty())
            Announce(line);
    });
}

} // namespace luming
