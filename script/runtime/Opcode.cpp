#include "script/runtime/Opcode.h"

#include <iterator>

namespace orvet {

std::string_view opcodeName(Opcode op)
{
    static constexpr std::string_view names[] = {
        "CALL_NAME", "GET_NAME", "ADD2", "INC", "JUMP_IF_TRUE_BOOL", "JUMP_IF_FALSE_BOOL",
        "THROW", "END_TRY", "TRY", "WITH_POP", "WITH_PUSH", "GET_FRAME_SLOT", "ARGS", "LOCALS",
        "DELETE_ELEM", "DELETE_PROP", "NEW", "TYPEOF", "RETURN", "CALL", "JUMP", "CALL_METHOD",
        "JUMP_IF_TRUE", "JUMP_IF_FALSE", "USHR", "SHR", "SHL", "BIT_XOR", "BIT_OR", "NOT",
        "BIT_AND", "NEG", "MOD", "DIV", "MUL", "ADD", "SUB", "STRICT_NE", "STRICT_EQ", "GE", "LE",
        "GT", "LT", "NE", "EQ", "ITER_NEXT", "SET_ELEM", "GET_ELEM", "SET_PROP", "GET_PROP",
        "SET_LOCAL", "GET_LOCAL", "SET_ARG", "GET_ARG", "SET_GLOBAL", "GET_GLOBAL", "PUSH_INT",
        "PUSH_3", "PUSH_2", "PUSH_1", "PUSH_0", "PUSH_UNDEFINED", "PUSH_FALSE", "PUSH_TRUE",
        "PUSH_NULL", "PUSH_CONST", "ROLL", "SWAP", "NIP", "DROP", "POP", "DUP", "NOP", "END",
        "HALT", "SET_NAME", "DELETE_NAME", "DISPOSE_GLOBAL", "DISPOSE_LOCAL", "DISPOSE_ARG",
    };
    static_assert(std::size(names) == kLastOpcode - kFirstOpcode + 1);
    auto byte = static_cast<std::uint8_t>(op);
    return isOpcode(byte) ? names[byte - kFirstOpcode] : std::string_view("?");
}

} // namespace orvet
