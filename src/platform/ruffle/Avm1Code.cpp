#include "platform/ruffle/Avm1Code.h"

#include <stdexcept>

namespace luming {

namespace {

constexpr uint8_t kPush = 0x96;
constexpr uint8_t kGetVariable = 0x1C;
constexpr uint8_t kGetMember = 0x4E;
constexpr uint8_t kSetMember = 0x4F;
constexpr uint8_t kCallMethod = 0x52;
constexpr uint8_t kDefineFunction = 0x9B;
constexpr uint8_t kJump = 0x99;
constexpr uint8_t kIf = 0x9D;
constexpr uint8_t kGetUrl = 0x83;

enum PushType : uint8_t { kString = 0, kNull = 2, kBoolean = 5, kInteger = 7 };

void PutU16(std::string& out, size_t value) {
    if (value > 0xFFFF)
        throw std::length_error("ActionScript record too long");
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

std::string CString(std::string_view text) {
    if (text.find('\0') != std::string_view::npos)
        throw std::invalid_argument("ActionScript string with a zero byte");
    return std::string(text) + '\0';
}

} // namespace

Avm1Code& Avm1Code::Record(uint8_t code, const std::string& payload) {
    bytes_ += static_cast<char>(code);
    PutU16(bytes_, payload.size());
    bytes_ += payload;
    return *this;
}

Avm1Code& Avm1Code::Action(uint8_t code) {
    bytes_ += static_cast<char>(code);
    return *this;
}

Avm1Code& Avm1Code::PushString(std::string_view text) {
    return Record(kPush, static_cast<char>(kString) + CString(text));
}

Avm1Code& Avm1Code::PushInt(int32_t value) {
    std::string payload(1, static_cast<char>(kInteger));
    for (int i = 0; i < 4; ++i)
        payload += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    return Record(kPush, payload);
}

Avm1Code& Avm1Code::PushNull() {
    return Record(kPush, std::string(1, static_cast<char>(kNull)));
}

Avm1Code& Avm1Code::PushBool(bool value) {
    return Record(kPush, std::string{static_cast<char>(kBoolean), static_cast<char>(value)});
}

Avm1Code& Avm1Code::Variable(std::string_view name) {
    return PushString(name).Action(kGetVariable);
}

Avm1Code& Avm1Code::Member(std::string_view name) {
    return PushString(name).Action(kGetMember);
}

Avm1Code& Avm1Code::SetMember() {
    return Action(kSetMember);
}

Avm1Code& Avm1Code::CallMethod(const Avm1Code& object, std::string_view method,
                               std::initializer_list<const Avm1Code*> args) {
    for (auto arg = std::rbegin(args); arg != std::rend(args); ++arg)
        Append(**arg);
    PushInt(static_cast<int32_t>(args.size()));
    Append(object);
    PushString(method);
    return Action(kCallMethod);
}

Avm1Code& Avm1Code::Function(std::initializer_list<std::string_view> params, const Avm1Code& body) {
    std::string payload = CString(""); // anonymous: the function is pushed
    PutU16(payload, params.size());
    for (std::string_view param : params)
        payload += CString(param);
    PutU16(payload, body.bytes_.size());
    Record(kDefineFunction, payload);
    return Append(body);
}

Avm1Code& Avm1Code::Jump(uint8_t code, size_t distance) {
    if (distance > 0x7FFF)
        throw std::length_error("ActionScript branch too long");
    std::string offset;
    PutU16(offset, distance);
    return Record(code, offset);
}

Avm1Code& Avm1Code::UnlessTrue(const Avm1Code& block) {
    Jump(kIf, block.bytes_.size());
    return Append(block);
}

Avm1Code& Avm1Code::IfElse(const Avm1Code& whenTrue, const Avm1Code& whenFalse) {
    constexpr size_t kJumpSize = 5;
    Jump(kIf, whenFalse.bytes_.size() + kJumpSize);
    Append(whenFalse);
    Jump(kJump, whenTrue.bytes_.size());
    return Append(whenTrue);
}

Avm1Code& Avm1Code::GetUrl(std::string_view url, std::string_view target) {
    return Record(kGetUrl, CString(url) + CString(target));
}

Avm1Code& Avm1Code::Append(const Avm1Code& other) {
    bytes_ += other.bytes_;
    return *this;
}

} // namespace luming
