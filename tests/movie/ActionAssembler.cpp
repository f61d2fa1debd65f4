#include "ActionAssembler.h"

#include "control/movie/HeadlessPlay.h"

#include <cstring>
#include <stdexcept>

namespace lumbra::movie::test {

namespace {

void u16(Asm::Bytes& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void u32(Asm::Bytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

void cstr(Asm::Bytes& b, std::string_view s)
{
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

void append(Asm::Bytes& to, const Asm::Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

} // namespace

Asm& Asm::record(std::uint8_t code, const Bytes& body)
{
    code_.push_back(code);
    u16(code_, unsigned(body.size()));
    append(code_, body);
    return *this;
}

Asm& Asm::op(std::uint8_t code)
{
    code_.push_back(code);
    return *this;
}

Asm& Asm::str(std::string_view s)
{
    Bytes b{0};
    cstr(b, s);
    return record(0x96, b);
}

Asm& Asm::f32(float n)
{
    Bytes b{1};
    std::uint32_t bits;
    std::memcpy(&bits, &n, 4);
    u32(b, bits);
    return record(0x96, b);
}

Asm& Asm::null() { return record(0x96, {2}); }
Asm& Asm::undef() { return record(0x96, {3}); }
Asm& Asm::reg(std::uint8_t r) { return record(0x96, {4, r}); }
Asm& Asm::boolean(bool v) { return record(0x96, {5, std::uint8_t(v)}); }

// The format stores a double's high word first, each word little-endian.
Asm& Asm::f64(double n)
{
    Bytes b{6};
    std::uint64_t bits;
    std::memcpy(&bits, &n, 8);
    u32(b, std::uint32_t(bits >> 32));
    u32(b, std::uint32_t(bits));
    return record(0x96, b);
}

Asm& Asm::i32(std::int32_t n)
{
    Bytes b{7};
    u32(b, std::uint32_t(n));
    return record(0x96, b);
}

Asm& Asm::constant(std::uint16_t i)
{
    if (i < 256)
        return record(0x96, {8, std::uint8_t(i)});
    Bytes b{9};
    u16(b, i);
    return record(0x96, b);
}

Asm& Asm::pool(const std::vector<std::string>& strings)
{
    Bytes b;
    u16(b, unsigned(strings.size()));
    for (const auto& s : strings)
        cstr(b, s);
    return record(0x88, b);
}

Asm& Asm::storeRegister(std::uint8_t r) { return record(0x87, {r}); }

Asm& Asm::label(const std::string& name)
{
    labels_[name] = code_.size();
    return *this;
}

Asm& Asm::jump(const std::string& to)
{
    record(0x99, {0, 0});
    fixups_.emplace_back(code_.size() - 2, to);
    return *this;
}

Asm& Asm::branchIf(const std::string& to)
{
    record(0x9D, {0, 0});
    fixups_.emplace_back(code_.size() - 2, to);
    return *this;
}

Asm& Asm::function(std::string_view name, const std::vector<std::string>& params, const Asm& body)
{
    Bytes code = body.bytes();
    Bytes b;
    cstr(b, name);
    u16(b, unsigned(params.size()));
    for (const auto& p : params)
        cstr(b, p);
    u16(b, unsigned(code.size()));
    record(0x9B, b);
    append(code_, code);
    return *this;
}

Asm& Asm::function2(std::string_view name, std::uint8_t registers, std::uint16_t flags,
                    const std::vector<std::pair<std::uint8_t, std::string>>& params, const Asm& body)
{
    Bytes code = body.bytes();
    Bytes b;
    cstr(b, name);
    u16(b, unsigned(params.size()));
    b.push_back(registers);
    u16(b, flags);
    for (const auto& [r, p] : params) {
        b.push_back(r);
        cstr(b, p);
    }
    u16(b, unsigned(code.size()));
    record(0x8E, b);
    append(code_, code);
    return *this;
}

Asm& Asm::tryCatch(const Asm& body, std::string_view name, const Asm& handler, const Asm* last)
{
    Bytes tryCode = body.bytes(), catchCode = handler.bytes(), finallyCode = last ? last->bytes() : Bytes{};
    bool hasCatch = !name.empty();
    // Jump over the catch block when the try block ends normally.
    if (hasCatch) {
        tryCode.push_back(0x99);
        u16(tryCode, 2);
        u16(tryCode, unsigned(catchCode.size()));
    }
    Bytes b{std::uint8_t((hasCatch ? 1 : 0) | (last ? 2 : 0))};
    u16(b, unsigned(tryCode.size()));
    u16(b, unsigned(hasCatch ? catchCode.size() : 0));
    u16(b, unsigned(finallyCode.size()));
    cstr(b, name);
    record(0x8F, b);
    append(code_, tryCode);
    if (hasCatch)
        append(code_, catchCode);
    append(code_, finallyCode);
    return *this;
}

Asm& Asm::with(const Asm& body)
{
    Bytes code = body.bytes();
    Bytes b;
    u16(b, unsigned(code.size()));
    record(0x94, b);
    append(code_, code);
    return *this;
}

Asm::Bytes Asm::bytes() const
{
    Bytes out = code_;
    for (const auto& [at, name] : fixups_) {
        auto it = labels_.find(name);
        if (it == labels_.end())
            throw std::logic_error("no label " + name);
        auto offset = std::int16_t(std::int64_t(it->second) - std::int64_t(at + 2));
        out[at] = std::uint8_t(std::uint16_t(offset));
        out[at + 1] = std::uint8_t(std::uint16_t(offset) >> 8);
    }
    return out;
}

Asm::Bytes tagOf(unsigned code, const Asm::Bytes& body)
{
    Asm::Bytes out;
    u16(out, (code << 6) | 0x3F);
    u32(out, std::uint32_t(body.size()));
    append(out, body);
    return out;
}

Asm::Bytes actionsOf(const Asm& code)
{
    Asm::Bytes bytes = code.bytes();
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> movieOfTags(int version, int frameCount, const Asm::Bytes& tags)
{
    Asm::Bytes body;
    body.push_back(0x00); // a frame rectangle of 0-bit fields
    u16(body, 12 << 8);   // 12 frames a second, 8.8 fixed
    u16(body, unsigned(frameCount));
    append(body, tags);
    Asm::Bytes file{'F', 'W', 'S', std::uint8_t(version)};
    u32(file, std::uint32_t(8 + body.size()));
    append(file, body);
    return file;
}

std::vector<std::uint8_t> movieOf(int version, const std::vector<Asm::Bytes>& frames)
{
    Asm::Bytes tags;
    for (const auto& actions : frames) {
        Asm::Bytes block = actions;
        block.push_back(0);
        append(tags, tagOf(12, block));
        append(tags, tagOf(1, {}));
    }
    append(tags, tagOf(0, {}));
    return movieOfTags(version, int(frames.size()), tags);
}

std::string playOutput(const std::vector<std::uint8_t>& movie, long frames)
{
    std::string out;
    auto error = playHeadless(movie, frames, [&out](std::string_view line) { out += line; });
    return error ? "error: " + *error : out;
}

std::string run(const Asm& code, int version)
{
    return playOutput(movieOf(version, {code.bytes()}), 1);
}

} // namespace lumbra::movie::test
