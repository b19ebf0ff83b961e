#pragma once

class QWebEngineProfile;

namespace luming {

// The one browser profile every web pane shares (cookies, cache, settings), made on first use
// and kept until the application ends. Off the record: the vendor's pages leave nothing on disk.
QWebEngineProfile* WebPaneProfile();

} // namespace luming
