#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace luming {

// Writes ActionScript 1/2 bytecode (the actions of a DoAction tag) a step at a time; blocks are
// built separately and spliced in, so a branch knows how far to jump.
class Avm1Code {
public:
    Avm1Code& PushString(std::string_view text);
    Avm1Code& PushInt(int32_t value);
    Avm1Code& PushNull();
    Avm1Code& PushBool(bool value);
    // The value of a variable or path ("_level1"), then of a member of the value on top.
    Avm1Code& Variable(std::string_view name);
    Avm1Code& Member(std::string_view name);
    // Stack: object, name, value → sets the member.
    Avm1Code& SetMember();
    // Calls `method` of the object left by `object` with `args` (pushed last to first), then
    // drops or returns the result.
    Avm1Code& CallMethod(const Avm1Code& object, std::string_view method,
                         std::initializer_list<const Avm1Code*> args);
    Avm1Code& Action(uint8_t code);
    Avm1Code& Pop() { return Action(0x17); }
    Avm1Code& Return() { return Action(0x3E); }
    // Pushes an anonymous function of the named parameters.
    Avm1Code& Function(std::initializer_list<std::string_view> params, const Avm1Code& body);
    // Pops a condition and skips `block` when it is true, else runs it.
    Avm1Code& UnlessTrue(const Avm1Code& block);
    // Pops a condition: `whenTrue` or `whenFalse`.
    Avm1Code& IfElse(const Avm1Code& whenTrue, const Avm1Code& whenFalse);
    // loadMovie into a level or target ("_level1").
    Avm1Code& GetUrl(std::string_view url, std::string_view target);
    Avm1Code& Append(const Avm1Code& other);

    const std::string& Bytes() const { return bytes_; }

private:
    Avm1Code& Record(uint8_t code, const std::string& payload);
    Avm1Code& Jump(uint8_t code, size_t distance);

    std::string bytes_;
};

namespace avm1 {
// Action codes used by the wrapper movie.
constexpr uint8_t kStop = 0x07;
constexpr uint8_t kNot = 0x12;
constexpr uint8_t kIncrement = 0x50;
constexpr uint8_t kAdd2 = 0x47;
constexpr uint8_t kLess2 = 0x48;
constexpr uint8_t kEquals2 = 0x49;
constexpr uint8_t kGreater = 0x67;
} // namespace avm1

} // namespace luming
