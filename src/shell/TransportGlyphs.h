#pragma once

namespace luming {

// The numbers of the glyphs in ImageList2 (the transport buttons).
enum TransportGlyph : int {
    kGlyphPrevious = 0,
    kGlyphNext = 1,
    kGlyphReplay = 2,
    kGlyphStop = 3,
    kGlyphFullScreen = 4,
    kGlyphExitFullScreen = 5,
    kGlyphPlay = 8,
    kGlyphPause = 9,
    kGlyphSoundOn = 14,
    kGlyphSoundOff = 15,
};

} // namespace luming
