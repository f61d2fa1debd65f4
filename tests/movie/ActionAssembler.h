// Hand assembly of action records and whole movies for the interpreter tests,
// written from the file format's tables and independent of the movie writer,
// so reader paths the writer never takes are covered. Jumps go to labels.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie::test {

class Asm {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Push records, one value each.
    Asm& str(std::string_view s);    // type 0, the bytes as given (UTF-8 or 1252)
    Asm& f32(float n);               // type 1
    Asm& null();                     // type 2
    Asm& undef();                    // type 3
    Asm& reg(std::uint8_t r);        // type 4
    Asm& boolean(bool b);            // type 5
    Asm& f64(double n);              // type 6
    Asm& i32(std::int32_t n);        // type 7
    Asm& constant(std::uint16_t i);  // type 8 or 9
    Asm& pool(const std::vector<std::string>& strings);

    Asm& op(std::uint8_t code);                    // a record without data
    Asm& record(std::uint8_t code, const Bytes& body);
    Asm& storeRegister(std::uint8_t r);
    Asm& label(const std::string& name);
    Asm& jump(const std::string& to);
    Asm& branchIf(const std::string& to);

    // function name(params) { body }
    Asm& function(std::string_view name, const std::vector<std::string>& params, const Asm& body);
    // DefineFunction2 with each parameter's register (0: by name).
    Asm& function2(std::string_view name, std::uint8_t registers, std::uint16_t flags,
                   const std::vector<std::pair<std::uint8_t, std::string>>& params, const Asm& body);
    // try { body } catch (name) { handler } finally { last }; an empty name skips catch.
    Asm& tryCatch(const Asm& body, std::string_view name, const Asm& handler, const Asm* last = nullptr);
    Asm& with(const Asm& body);

    // Shorthands: trace(value pushed by `this` code before), name = value ...
    Asm& trace() { return op(0x26); }
    Asm& traceStr(std::string_view s) { return str(s).trace(); }

    Bytes bytes() const; // with jumps resolved, without a closing End

private:
    Bytes code_;
    std::map<std::string, std::size_t> labels_;
    std::vector<std::pair<std::size_t, std::string>> fixups_; // offset of the s16, label
};

// One tag with a long header.
Asm::Bytes tagOf(unsigned code, const Asm::Bytes& body);
// A movie file from its tags (ShowFrame and End included by the caller).
std::vector<std::uint8_t> movieOfTags(int version, int frameCount, const Asm::Bytes& tags);
// Action bytes closed by an End record, as DoAction and clip actions hold them.
Asm::Bytes actionsOf(const Asm& code);
// A movie file: each frame's action bytes in a DoAction tag (with an End record).
std::vector<std::uint8_t> movieOf(int version, const std::vector<Asm::Bytes>& frames);
// What `lumbra-movie play` prints for the movie.
std::string playOutput(const std::vector<std::uint8_t>& movie, long frames = -1);
// Shorthand: one frame of version 8 code.
std::string run(const Asm& code, int version = 8);

} // namespace lumbra::movie::test
