#include "platform/ruffle/WrapperMovie.h"

#include "platform/ruffle/Avm1Code.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace luming {

namespace {

constexpr int kWrapperVersion = 8; // ActionScript 2 with ExternalInterface
constexpr int kTagEnd = 0, kTagShowFrame = 1, kTagSetBackgroundColor = 9, kTagDoAction = 12,
              kTagFileAttributes = 69;
// The programme always comes from an address, never from a local path.
constexpr uint8_t kUseNetworkFlag = 0x01;
// Frames the programme may stand still before it counts as stopped.
constexpr int kIdleTicks = 2;
// The rectangle's fields hold at most 31 signed bits; a wider stage would wrap the field size.
constexpr int kLargestStageTwips = (1 << 30) - 1;

// The wrapper's own variables on _level0.
constexpr char kIdle[] = "lumingIdle"; // ticks since the programme's frame last changed
constexpr char kLast[] = "lumingLast"; // its frame at the last tick
constexpr char kLoop[] = "lumingLoop";

class BitWriter {
public:
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 8 == 0)
                bytes_ += '\0';
            if ((value >> i) & 1u)
                bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (used_ % 8)));
            ++used_;
        }
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    size_t used_ = 0;
};

void PutLe(std::string& out, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Tag(int code, const std::string& body) {
    std::string tag;
    if (body.size() < 0x3F) {
        PutLe(tag, static_cast<uint32_t>(code << 6 | body.size()), 2);
    } else {
        PutLe(tag, static_cast<uint32_t>(code << 6 | 0x3F), 2);
        PutLe(tag, static_cast<uint32_t>(body.size()), 4);
    }
    return tag + body;
}

std::string StageRect(int widthTwips, int heightTwips) {
    const auto width = static_cast<uint32_t>(std::clamp(widthTwips, 0, kLargestStageTwips));
    const auto height = static_cast<uint32_t>(std::clamp(heightTwips, 0, kLargestStageTwips));
    // Signed fields: one bit more than the larger value needs.
    const int bits = std::bit_width(std::max(width, height)) + 1;
    BitWriter rect;
    rect.Put(static_cast<uint32_t>(bits), 5);
    for (uint32_t value : {0u, width, 0u, height})
        rect.Put(value, bits);
    return rect.Bytes();
}

Avm1Code Level(int level) {
    return Avm1Code().Variable("_level" + std::to_string(level));
}

Avm1Code Programme(std::string_view property) {
    return Level(1).Member(property);
}

Avm1Code Own(std::string_view name) {
    return Level(0).Member(name);
}

// _level0.name = value
Avm1Code SetOwn(std::string_view name, const Avm1Code& value) {
    return Level(0).PushString(name).Append(value).SetMember();
}

Avm1Code Int(int value) {
    return Avm1Code().PushInt(value);
}

// Calls a method of the programme and forgets its result.
Avm1Code CallProgramme(std::string_view method, std::initializer_list<const Avm1Code*> args = {}) {
    return Avm1Code().CallMethod(Level(1), method, args).Pop();
}

Avm1Code AddCallback(std::string_view name, std::initializer_list<std::string_view> params,
                     const Avm1Code& body) {
    const Avm1Code function = Avm1Code().Function(params, body);
    const Avm1Code callbackName = Avm1Code().PushString(name);
    const Avm1Code noInstance = Avm1Code().PushNull();
    const Avm1Code externalInterface =
        Avm1Code().Variable("flash").Member("external").Member("ExternalInterface");
    return Avm1Code()
        .CallMethod(externalInterface, "addCallback", {&callbackName, &noInstance, &function})
        .Pop();
}

// After a stop the programme's frame stands still from now on.
Avm1Code MarkStopped() {
    return SetOwn(kLast, Programme("_currentframe")).Append(SetOwn(kIdle, Int(kIdleTicks)));
}

Avm1Code MarkPlaying() {
    return SetOwn(kIdle, Int(0));
}

Avm1Code StateCallback() {
    const Avm1Code body = Programme("_currentframe")
                              .PushString(",")
                              .Action(avm1::kAdd2)
                              .Append(Programme("_totalframes"))
                              .Action(avm1::kAdd2)
                              .PushString(",")
                              .Action(avm1::kAdd2)
                              .Append(Own(kIdle))
                              .PushInt(kIdleTicks)
                              .Action(avm1::kLess2)
                              .Action(avm1::kAdd2)
                              .Return();
    return AddCallback(wrapper::kState, {}, body);
}

// Every tick: is the programme still moving, and stop it on its last frame unless it loops.
Avm1Code EnterFrameHandler() {
    const Avm1Code frameMoved =
        Programme("_currentframe").Append(Own(kLast)).Action(avm1::kEquals2);
    const Avm1Code idle =
        Avm1Code().Append(frameMoved).IfElse(Own(kIdle).Action(avm1::kIncrement), Int(0));
    const Avm1Code stopAtEnd = Programme("_totalframes")
                                   .PushInt(0)
                                   .Action(avm1::kGreater)
                                   .Action(avm1::kNot)
                                   .UnlessTrue(Programme("_currentframe")
                                                   .Append(Programme("_totalframes"))
                                                   .Action(avm1::kEquals2)
                                                   .Action(avm1::kNot)
                                                   .UnlessTrue(CallProgramme("stop")));
    const Avm1Code body = SetOwn(kIdle, idle)
                              .Append(SetOwn(kLast, Programme("_currentframe")))
                              .Append(Own(kLoop))
                              .UnlessTrue(stopAtEnd);
    return SetOwn("onEnterFrame", Avm1Code().Function({}, body));
}

std::string Actions(std::string_view programmeUrl) {
    const Avm1Code frame = Avm1Code().Variable("frame");
    const Avm1Code loop = Avm1Code().Variable("loop");
    Avm1Code code;
    code.Action(avm1::kStop)
        .Append(StateCallback())
        .Append(AddCallback(wrapper::kPlay, {}, CallProgramme("play").Append(MarkPlaying())))
        .Append(AddCallback(wrapper::kStop, {}, CallProgramme("stop").Append(MarkStopped())))
        .Append(AddCallback(wrapper::kGotoAndPlay, {"frame"},
                            CallProgramme("gotoAndPlay", {&frame}).Append(MarkPlaying())))
        .Append(AddCallback(wrapper::kGotoAndStop, {"frame"},
                            CallProgramme("gotoAndStop", {&frame}).Append(MarkStopped())))
        .Append(AddCallback(wrapper::kSetLoop, {"loop"}, SetOwn(kLoop, loop)))
        .Append(EnterFrameHandler())
        .GetUrl(programmeUrl, "_level1"); // loadMovieNum(url, 1)
    return code.Bytes() + '\0';
}

} // namespace

std::string BuildWrapperMovie(const SwfHeader& programme, std::string_view programmeUrl,
                              int backgroundColor) {
    std::string body = StageRect(programme.widthTwips, programme.heightTwips);
    PutLe(body, programme.frameRate88, 2);
    PutLe(body, 1, 2); // one frame
    body += Tag(kTagFileAttributes, std::string{static_cast<char>(kUseNetworkFlag), 0, 0, 0});
    body += Tag(kTagSetBackgroundColor, {static_cast<char>((backgroundColor >> 16) & 0xFF),
                                         static_cast<char>((backgroundColor >> 8) & 0xFF),
                                         static_cast<char>(backgroundColor & 0xFF)});
    body += Tag(kTagDoAction, Actions(programmeUrl));
    body += Tag(kTagShowFrame, {});
    body += Tag(kTagEnd, {});

    std::string movie = "FWS";
    movie += static_cast<char>(kWrapperVersion);
    PutLe(movie, static_cast<uint32_t>(8 + body.size()), 4);
    return movie + body;
}

} // namespace luming
