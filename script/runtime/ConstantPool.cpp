#include "script/runtime/ConstantPool.h"

#include <bit>
#include <cstdint>

#include "script/runtime/BytecodeModule.h"

namespace orvet {

namespace {

// The number's bits: two constants share a record only when they are the
// same double (0.0 and -0.0 stay apart, 1e-31 and 2e-31 too, which a key of
// fixed decimals would merge).
std::string numberKey(double value)
{
    return std::to_string(std::bit_cast<std::uint64_t>(value));
}

// The flags lead the key: were they appended as letters, /a/g and /ag/
// would share one constant.
std::string regExpKey(const RegExpConstant& re)
{
    std::string key(1, static_cast<char>('0' + (re.flags & 7)));
    return key + re.pattern;
}

} // namespace

template <typename WriteRecord>
std::uint32_t ConstantPool::intern(char kind, std::string_view keyText, WriteRecord writeRecord)
{
    std::string key;
    key.reserve(keyText.size() + 1);
    key += kind;
    key += keyText;
    auto [it, inserted] = index_.try_emplace(std::move(key), count());
    if (inserted)
        writeRecord();
    return it->second;
}

std::uint32_t ConstantPool::identifier(std::string_view name)
{
    return intern(char(ConstantTag::Name), name, [&] {
        records_.pack("cs", int(ConstantTag::Name), name);
        records_.put(0);
    });
}

std::uint32_t ConstantPool::literal(const LiteralConstant& constant)
{
    if (auto v = std::get_if<std::int64_t>(&constant)) {
        return intern(char(ConstantTag::Integer), std::to_string(*v), [&] {
            auto bits = static_cast<std::uint64_t>(*v);
            records_.pack("cll", int(ConstantTag::Integer), bits >> 32, bits & 0xFFFFFFFF);
        });
    }
    if (auto v = std::get_if<double>(&constant)) {
        return intern(char(ConstantTag::Number), numberKey(*v), [&] {
            records_.pack("cd", int(ConstantTag::Number), *v);
        });
    }
    if (auto v = std::get_if<StringConstant>(&constant)) {
        return intern(char(ConstantTag::String), v->text, [&] {
            records_.put(std::uint8_t(ConstantTag::String));
            writeUtf16(v->text);
        });
    }
    const auto& re = std::get<RegExpConstant>(constant);
    return intern(char(ConstantTag::RegExp), regExpKey(re), [&] {
        records_.pack("cc", int(ConstantTag::RegExp), re.flags);
        writeUtf16(re.pattern);
    });
}

// u32 big-endian byte count, then UTF-16LE units, no terminator.
void ConstantPool::writeUtf16(std::string_view ansiText)
{
    const std::u16string units = decoder_(ansiText);
    records_.pack("l", units.size() * 2);
    for (char16_t unit : units)
        records_.pack("cc", unit & 0xFF, unit >> 8);
}

} // namespace orvet
