#include "tools/actionscript/ActionEmitter.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace lumbra::actionscript {

namespace {
constexpr std::size_t kUnplaced = std::numeric_limits<std::size_t>::max();
// A Push record gathers values until it nears the 16-bit length limit.
constexpr std::size_t kPushLimit = 0xFF00;

enum PushType : std::uint8_t { String = 0, Null = 2, Undefined = 3, Register = 4, Boolean = 5, Double = 6, Integer = 7,
                               Constant8 = 8, Constant16 = 9 };
} // namespace

void appendU16(Bytes& out, std::size_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void appendCString(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void ActionEmitter::pushItem(const Bytes& item)
{
    if (pendingPush_.size() + item.size() > kPushLimit)
        flushPush();
    pendingPush_.insert(pendingPush_.end(), item.begin(), item.end());
}

void ActionEmitter::flushPush()
{
    if (pendingPush_.empty())
        return;
    code_.push_back(std::uint8_t(Action::Push));
    appendU16(code_, pendingPush_.size());
    code_.insert(code_.end(), pendingPush_.begin(), pendingPush_.end());
    pendingPush_.clear();
}

void ActionEmitter::pushString(std::string_view text)
{
    if (auto index = pool_.indexOf(text)) {
        if (*index < 256)
            pushItem({Constant8, std::uint8_t(*index)});
        else
            pushItem({Constant16, std::uint8_t(*index), std::uint8_t(*index >> 8)});
        return;
    }
    Bytes item{String};
    appendCString(item, text);
    pushItem(item);
}

void ActionEmitter::pushNumber(double value)
{
    bool integral = value >= -2147483648.0 && value <= 2147483647.0 && std::trunc(value) == value
                    && !(value == 0 && std::signbit(value));
    if (!integral)
        return pushDouble(value);
    auto bits = std::uint32_t(std::int32_t(value));
    pushItem({Integer, std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)});
}

// The high 32 bits first, each half little-endian.
void ActionEmitter::pushDouble(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Bytes item{Double};
    for (std::uint32_t half : {std::uint32_t(bits >> 32), std::uint32_t(bits)})
        for (int i = 0; i < 4; ++i)
            item.push_back(std::uint8_t(half >> (8 * i)));
    pushItem(item);
}

void ActionEmitter::pushBoolean(bool value) { pushItem({Boolean, std::uint8_t(value)}); }
void ActionEmitter::pushNull() { pushItem({Null}); }
void ActionEmitter::pushUndefined() { pushItem({Undefined}); }
void ActionEmitter::pushRegister(std::uint8_t reg) { pushItem({Register, reg}); }

void ActionEmitter::op(Action action)
{
    flushPush();
    code_.push_back(std::uint8_t(action));
}

void ActionEmitter::record(Action action, const Bytes& body)
{
    flushPush();
    code_.push_back(std::uint8_t(action));
    appendU16(code_, body.size());
    code_.insert(code_.end(), body.begin(), body.end());
}

void ActionEmitter::storeRegister(std::uint8_t reg) { record(Action::StoreRegister, {reg}); }

void ActionEmitter::raw(const Bytes& bytes)
{
    flushPush();
    code_.insert(code_.end(), bytes.begin(), bytes.end());
}

ActionEmitter::Label ActionEmitter::newLabel()
{
    labels_.push_back(kUnplaced);
    return Label(labels_.size() - 1);
}

void ActionEmitter::place(Label label)
{
    flushPush();
    labels_[std::size_t(label)] = code_.size();
}

void ActionEmitter::branch(Action action, Label to)
{
    record(action, {0, 0});
    fixups_.emplace_back(code_.size() - 2, to);
}

void ActionEmitter::jump(Label to) { branch(Action::Jump, to); }
void ActionEmitter::branchIf(Label to) { branch(Action::If, to); }

std::size_t ActionEmitter::recordWithSize(Action action, const Bytes& bodyBefore)
{
    Bytes body = bodyBefore;
    appendU16(body, 0);
    record(action, body);
    return code_.size() - 2;
}

std::size_t ActionEmitter::position()
{
    flushPush();
    return code_.size();
}

void ActionEmitter::patchU16(std::size_t at, std::size_t value)
{
    code_[at] = std::uint8_t(value);
    code_[at + 1] = std::uint8_t(value >> 8);
}

bool ActionEmitter::finish(Bytes& out)
{
    flushPush();
    for (const auto& [at, label] : fixups_) {
        auto distance = std::int64_t(labels_[std::size_t(label)]) - std::int64_t(at + 2);
        if (distance < -32768 || distance > 32767)
            return false;
        patchU16(at, std::size_t(std::uint16_t(std::int16_t(distance))));
    }
    out = std::move(code_);
    return true;
}

} // namespace lumbra::actionscript
