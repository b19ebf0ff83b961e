#include "support/FlashTestMovies.h"

#include "platform/ruffle/Avm1Code.h"

#include <lzma.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace luming::test {

namespace {

void PutLe(std::string& out, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Tag(int code, const std::string& body) {
    std::string tag;
    PutLe(tag, static_cast<uint32_t>(code << 6 | 0x3F), 2); // always the long form
    PutLe(tag, static_cast<uint32_t>(body.size()), 4);
    return tag + body;
}

} // namespace

std::string LzmaMovie(const std::string& plainMovie) {
    if (plainMovie.compare(0, 3, "FWS") != 0)
        throw std::invalid_argument("not a plain Flash movie");
    const std::string body = plainMovie.substr(8);
    // liblzma's ".lzma" file: properties (5), length (8), data. The movie keeps the properties
    // and the data, after the length of the data.
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        throw std::runtime_error("no LZMA encoder");
    std::string packed(body.size() + body.size() / 2 + 1024, '\0');
    stream.next_in = reinterpret_cast<const uint8_t*>(body.data());
    stream.avail_in = body.size();
    stream.next_out = reinterpret_cast<uint8_t*>(packed.data());
    stream.avail_out = packed.size();
    lzma_ret rc = LZMA_OK;
    while (rc == LZMA_OK)
        rc = lzma_code(&stream, LZMA_FINISH);
    packed.resize(packed.size() - stream.avail_out);
    lzma_end(&stream);
    if (rc != LZMA_STREAM_END)
        throw std::runtime_error("LZMA compression failed");
    std::string movie = "ZWS" + plainMovie.substr(3, 5); // version and uncompressed length
    PutLe(movie, static_cast<uint32_t>(packed.size() - 13), 4);
    return movie + packed.substr(0, 5) + packed.substr(13);
}

namespace {

// An ActionScript 2 movie, 550×400 px on black at 12 frames a second, of `frames` frames whose
// first runs `code`.
std::string ActionMovie(const Avm1Code& code, int frames) {
    constexpr int kTagEnd = 0, kTagShowFrame = 1, kTagSetBackgroundColor = 9, kTagDoAction = 12;
    // Stage: 15-bit fields 0, 11000, 0, 8000 twips; then the rate and the frame count.
    std::string body = std::string("\x78\x00\x05\x5F\x00\x00\x0F\xA0\x00", 9);
    body += std::string("\x00\x0C", 2);
    PutLe(body, static_cast<uint32_t>(frames), 2);
    body += Tag(kTagSetBackgroundColor, std::string(3, '\0'));
    body += Tag(kTagDoAction, code.Bytes() + '\0');
    for (int frame = 0; frame < frames; ++frame)
        body += Tag(kTagShowFrame, {});
    body += Tag(kTagEnd, {});
    std::string movie = "FWS\x08";
    PutLe(movie, static_cast<uint32_t>(8 + body.size()), 4);
    return movie + body;
}

} // namespace

std::string DeviceFontMovie(std::string_view text, std::string_view font) {
    constexpr uint8_t kNewObject = 0x40, kSetVariable = 0x1D;
    const auto integer = [](int value) { return Avm1Code().PushInt(value); };
    const auto string = [](std::string_view value) { return Avm1Code().PushString(value); };
    const Avm1Code name = string("poem"), depth = integer(1), left = integer(0), top = integer(0),
                   width = integer(550), height = integer(200),
                   format = Avm1Code().Variable("format");
    Avm1Code code;
    // _root.createTextField("poem", 1, 0, 0, 550, 200);
    code.CallMethod(Avm1Code().Variable("_root"), "createTextField",
                    {&name, &depth, &left, &top, &width, &height})
        .Pop();
    // format = new TextFormat(font, 64, 0xFFFFFF);
    code.PushString("format")
        .PushInt(0xFFFFFF)
        .PushInt(64)
        .PushString(font)
        .PushInt(3)
        .PushString("TextFormat")
        .Action(kNewObject)
        .Action(kSetVariable);
    // poem.text = text; poem.setTextFormat(format);
    code.Variable("poem").PushString("text").PushString(text).SetMember();
    code.CallMethod(Avm1Code().Variable("poem"), "setTextFormat", {&format}).Pop();
    return ActionMovie(code, 1);
}

std::string HostileMovie(std::string_view elsewhere) {
    constexpr char kScript[] = "document.title='hijacked';window.lumingHijacked=1";
    Avm1Code code;
    code.GetUrl(std::string("javascript:") + kScript, "");
    const Avm1Code function = Avm1Code().PushString(std::string("function(){") + kScript + ";}");
    code.CallMethod(Avm1Code().Variable("flash").Member("external").Member("ExternalInterface"),
                    "call", {&function})
        .Pop();
    code.GetUrl(std::string(elsewhere) + "/navigated", "_self");
    code.GetUrl(std::string(elsewhere) + "/popup", "_blank");
    code.GetUrl("x-luming-test:launch", "");
    return ActionMovie(code, 36);
}

std::optional<std::string> HaxeDeviceFontMovie(const std::filesystem::path& dir,
                                               std::string_view text, std::string_view font) {
    std::ofstream(dir / "Main.hx") << "import flash.text.TextField;\n"
                                      "import flash.text.TextFormat;\n"
                                      "class Main {\n"
                                      "    static function main() {\n"
                                      "        var field = new TextField();\n"
                                      "        field.defaultTextFormat = new TextFormat(\""
                                   << font
                                   << "\", 64, 0xFFFFFF);\n"
                                      "        field.width = 550;\n"
                                      "        field.height = 200;\n"
                                      "        field.text = \""
                                   << text
                                   << "\";\n"
                                      "        flash.Lib.current.addChild(field);\n"
                                      "    }\n"
                                      "}\n";
    const std::string command = "cd '" + dir.string() +
                                "' && haxe -swf poem.swf -swf-version 10 "
                                "-swf-header 550:400:12:000000 -main Main >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    std::ifstream file(dir / "poem.swf", std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

} // namespace luming::test
