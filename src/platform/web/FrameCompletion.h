#pragma once

#include <QString>
#include <QWebEngineScript>

#include <optional>

namespace luming {

// Frames finishing their documents are told through the console: a script in every subframe,
// out of the pages' reach (its own world), writes a line with a token only this process knows.

// The script to add to a page's scripts.
QWebEngineScript FrameCompletionScript();

// The frame's address when `consoleMessage` is such a line.
std::optional<QString> CompletedFrameAddress(const QString& consoleMessage);

} // namespace luming
