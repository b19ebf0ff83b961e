#pragma once

#include <QString>

class QWidget;

namespace luming {

class MovieEngine;
class VolumeLevel;

// Registers the URL scheme of the Ruffle page. Qt accepts it only before the QApplication
// exists: main() and test programs call it first thing.
void RegisterRuffleScheme();

// True when the Ruffle files (ruffle.js and its .wasm) lie in `ruffleDir`.
bool RuffleFilesPresent(const QString& ruffleDir);

// Plain Flash movies in Ruffle inside a web view, with the files of `ruffleDir`. Costs hundreds
// of MB: created for the first Flash movie, not before. Follows `volume`.
MovieEngine* CreateRuffleMovie(QWidget* parent, VolumeLevel& volume, const QString& ruffleDir);

} // namespace luming
