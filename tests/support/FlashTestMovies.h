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

// The same as an ActionScript 3 movie built by haxe in `dir`; nothing without haxe.
std::optional<std::string> HaxeDeviceFontMovie(const std::filesystem::path& dir,
                                               std::string_view text, std::string_view font);

} // namespace luming::test
