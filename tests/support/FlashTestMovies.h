#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace luming::test {

// The same movie LZMA-compressed ("ZWS", as Flash 11 and later wrote it), from a plain ("FWS")
// one.
std::string LzmaMovie(const std::string& plainMovie);

// A one-frame ActionScript 2 movie (550×400, black) with a text field of `text` in the device
// font `font`, 64 px, white: the way authoring tools left text for the player to draw.
std::string DeviceFontMovie(std::string_view text, std::string_view font);

// A movie of 36 frames (3 s) that, on its first, tries every way out of its page: script in the
// page (a javascript: address, ExternalInterface.call), the page sent to `elsewhere`/navigated,
// a window of `elsewhere`/popup, and an address of the scheme "x-luming-test".
std::string HostileMovie(std::string_view elsewhere);

// The same as an ActionScript 3 movie built by haxe in `dir`; nothing without haxe.
std::optional<std::string> HaxeDeviceFontMovie(const std::filesystem::path& dir,
                                               std::string_view text, std::string_view font);

} // namespace luming::test
