#include "script/compiler/StackEffect.h"

namespace orvet {

int stackEffect(Opcode op, std::int64_t operand)
{
    switch (op) {
    case Opcode::LOCALS:
        return static_cast<int>(operand);
    case Opcode::NIP: case Opcode::DROP:
        return -static_cast<int>(operand);
    case Opcode::SET_ELEM:
        return -3;
    case Opcode::SET_PROP:
        return -2;
    case Opcode::JUMP_IF_TRUE_BOOL: case Opcode::JUMP_IF_FALSE_BOOL: case Opcode::JUMP_IF_TRUE:
    case Opcode::JUMP_IF_FALSE: case Opcode::THROW: case Opcode::WITH_PUSH: case Opcode::ARGS:
    case Opcode::DELETE_ELEM: case Opcode::RETURN: case Opcode::USHR: case Opcode::SHR:
    case Opcode::SHL: case Opcode::BIT_XOR: case Opcode::BIT_OR: case Opcode::BIT_AND:
    case Opcode::MOD: case Opcode::DIV: case Opcode::MUL: case Opcode::ADD: case Opcode::SUB:
    case Opcode::STRICT_NE: case Opcode::STRICT_EQ: case Opcode::GE: case Opcode::LE:
    case Opcode::GT: case Opcode::LT: case Opcode::NE: case Opcode::EQ: case Opcode::GET_ELEM:
    case Opcode::SET_LOCAL: case Opcode::SET_ARG: case Opcode::SET_GLOBAL: case Opcode::POP:
    case Opcode::END: case Opcode::SET_NAME:
        return -1;
    case Opcode::CALL_NAME: case Opcode::GET_NAME: case Opcode::NEW: case Opcode::CALL:
    case Opcode::CALL_METHOD: case Opcode::GET_LOCAL: case Opcode::GET_ARG: case Opcode::GET_GLOBAL:
    case Opcode::PUSH_INT: case Opcode::PUSH_3: case Opcode::PUSH_2: case Opcode::PUSH_1:
    case Opcode::PUSH_0: case Opcode::PUSH_UNDEFINED: case Opcode::PUSH_FALSE: case Opcode::PUSH_TRUE:
    case Opcode::PUSH_NULL: case Opcode::PUSH_CONST: case Opcode::DUP:
        return 1;
    default:
        return 0;
    }
}

} // namespace orvet
