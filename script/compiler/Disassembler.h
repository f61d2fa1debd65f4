// A readable listing of a compiled image: its functions with their
// instructions (operands resolved to names and constants, jump targets as
// code offsets), its constants and its line records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace orvet {

// nullopt when the bytes do not load as an image. Malformed sections are
// listed as far as they can be read, with a note where reading stopped.
std::optional<std::string> disassemble(const std::uint8_t* data, std::size_t size);

} // namespace orvet
