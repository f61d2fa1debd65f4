// Hand assembly of what input tests need beyond single action records:
// script shorthands (members, method calls, handlers) and PlaceObject2 tags
// with clip actions, written from the file format's tables.
#pragma once

#include "ActionAssembler.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie::test {

// Clip action events as PlaceObject2 numbers them (version 6 and later).
enum ClipEventFlag : std::uint32_t {
    kMouseMove = 0x8, kMouseDown = 0x10, kMouseUp = 0x20, kKeyDown = 0x40, kKeyUp = 0x80,
    kPress = 0x400, kRelease = 0x800, kKeyPress = 0x20000,
};

// Pushes the value of a variable or path.
Asm& getVar(Asm& a, std::string_view name);
// object.method(arguments pushed before, last first); the result stays on the stack.
Asm& callMethod(Asm& a, std::string_view object, std::string_view method, int argc);
// trace(prefix + object.method())
Asm& traceCall(Asm& a, std::string_view prefix, std::string_view object, std::string_view method);
// object.member = function () { body }
Asm& setHandler(Asm& a, std::string_view object, std::string_view member, const Asm& body);
// A block that traces a text.
Asm traced(std::string_view text);

struct ClipEventRecord {
    std::uint32_t events;
    unsigned key = 0; // for kKeyPress
    Asm code;
};

struct Place {
    int depth = 1;
    std::uint16_t character = 0;
    double x = 0, y = 0; // pixels
    std::string name;
    std::optional<unsigned> ratio;
    std::vector<ClipEventRecord> events;
};

// The body of a PlaceObject2 tag (code 26).
std::vector<std::uint8_t> placeObject2(const Place& p);

} // namespace lumbra::movie::test
