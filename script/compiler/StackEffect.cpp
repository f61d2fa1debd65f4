#include "script/compiler/StackEffect.h"

namespace orvet {

StackUse stackUse(Opcode op, std::int64_t operand)
{
    const int n = static_cast<int>(operand);
    switch (op) {
    case Opcode::LOCALS:
        return {0, n};
    case Opcode::NIP:
        return {n + 1, 1};
    case Opcode::DROP:
        return {n, 0};
    case Opcode::ROLL: {
        const int depth = n > 1 ? n : n < -1 ? -n : 0;
        return {depth, depth};
    }
    case Opcode::SET_ELEM:
        return {3, 0};
    case Opcode::SET_PROP:
        return {2, 0};
    case Opcode::CALL_NAME: case Opcode::NEW: case Opcode::CALL: case Opcode::CALL_METHOD:
        return {2, 3};
    case Opcode::ITER_NEXT: case Opcode::SWAP:
        return {2, 2};
    case Opcode::DELETE_ELEM: case Opcode::GET_ELEM: case Opcode::USHR: case Opcode::SHR: case Opcode::SHL:
    case Opcode::BIT_XOR: case Opcode::BIT_OR: case Opcode::BIT_AND: case Opcode::MOD: case Opcode::DIV:
    case Opcode::MUL: case Opcode::ADD: case Opcode::SUB: case Opcode::STRICT_NE: case Opcode::STRICT_EQ:
    case Opcode::GE: case Opcode::LE: case Opcode::GT: case Opcode::LT: case Opcode::NE: case Opcode::EQ:
        return {2, 1};
    case Opcode::DUP:
        return {1, 2};
    case Opcode::ADD2: case Opcode::INC: case Opcode::GET_FRAME_SLOT: case Opcode::DELETE_PROP:
    case Opcode::TYPEOF: case Opcode::NOT: case Opcode::NEG: case Opcode::GET_PROP: case Opcode::DELETE_NAME:
    case Opcode::DISPOSE_GLOBAL: case Opcode::DISPOSE_LOCAL: case Opcode::DISPOSE_ARG:
        return {1, 1};
    case Opcode::JUMP_IF_TRUE_BOOL: case Opcode::JUMP_IF_FALSE_BOOL: case Opcode::JUMP_IF_TRUE:
    case Opcode::JUMP_IF_FALSE: case Opcode::THROW: case Opcode::WITH_PUSH: case Opcode::ARGS:
    case Opcode::RETURN: case Opcode::SET_LOCAL: case Opcode::SET_ARG: case Opcode::SET_GLOBAL:
    case Opcode::POP: case Opcode::END: case Opcode::SET_NAME:
        return {1, 0};
    case Opcode::GET_NAME: case Opcode::GET_LOCAL: case Opcode::GET_ARG: case Opcode::GET_GLOBAL:
    case Opcode::PUSH_INT: case Opcode::PUSH_3: case Opcode::PUSH_2: case Opcode::PUSH_1: case Opcode::PUSH_0:
    case Opcode::PUSH_UNDEFINED: case Opcode::PUSH_FALSE: case Opcode::PUSH_TRUE: case Opcode::PUSH_NULL:
    case Opcode::PUSH_CONST:
        return {0, 1};
    default: // TRY, END_TRY, WITH_POP, JUMP, NOP, HALT
        return {0, 0};
    }
}

} // namespace orvet
