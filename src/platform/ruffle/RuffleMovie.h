#pragma once

#include <QString>

#include <chrono>

class QWidget;

namespace luming {

class MovieEngine;
class VolumeLevel;

// Registers the URL scheme of the Ruffle page. Qt accepts it only before the QApplication
// exists: main() and test programs call it first thing.
void RegisterRuffleScheme();

// True when the Ruffle files (ruffle.js and its .wasm) lie in `ruffleDir`.
bool RuffleFilesPresent(const QString& ruffleDir);

// How long a movie may load without a byte arriving before it counts as failed.
inline constexpr std::chrono::milliseconds kFlashStallLimit = std::chrono::seconds(30);

// How many movies one Ruffle page plays before it is loaded afresh: each movie leaves a couple
// of MB in the page that its garbage collector is slow to give back, and a fresh page costs
// one compile of Ruffle's code (about half a second) at the next movie.
inline constexpr int kFlashMoviesPerPage = 10;

// Plain Flash movies in Ruffle inside a web view, with the files of `ruffleDir`. Costs hundreds
// of MB. Follows `volume`. A movie that gets no further for `stallLimit` fails with
// "节目下载失败"; one that still comes in, however slowly, goes on loading.
MovieEngine* CreateRuffleMovie(QWidget* parent, VolumeLevel& volume, const QString& ruffleDir,
                               std::chrono::milliseconds stallLimit = kFlashStallLimit,
                               int moviesPerPage = kFlashMoviesPerPage);

} // namespace luming
