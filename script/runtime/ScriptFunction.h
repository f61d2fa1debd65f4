// A linked function: its word code (translated from the image at link time,
// with operands resolved and jumps counted in words) and its line records.
// Functions belong to the context that linked them and live as long as it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvet {

// The word address (index into code) after an instruction, and its line.
struct LineRecord {
    std::uint32_t word;
    std::uint32_t line;
};

struct ScriptFunction {
    std::string name;
    std::vector<std::uint32_t> code; // ends with an END instruction
    bool hasSource = false;          // the module carried line information
    std::string sourceName;
    std::vector<LineRecord> lines;
    // Stack values a call needs below the receiver slot: the frame, the
    // deepest the function's own stack gets, argument padding and the margin.
    std::uint32_t frameNeed = 0;

    bool contains(const std::uint32_t* address) const
    {
        return address > code.data() && address < code.data() + code.size();
    }
};

} // namespace orvet
