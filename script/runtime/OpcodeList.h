// Every opcode of the Orvet bytecode, once: its mnemonic, its number, the
// form of the operand that follows it in an image (OperandForm, Opcode.h),
// and its stack effect as the values it takes and the values it leaves
// (kByOperand: computed from the operand by stackUse). The enum, the operand
// forms, the mnemonics, the stack effects of the compiler and the linker and
// the interpreter's dispatch table are all derived from this list.
//
// The numbers run without a gap from 0x21 (CALL_NAME) to 0x70 (DISPOSE_ARG),
// in the order of the list. A call is counted as taking the count and the
// callee and leaving the count, the receiver slot and the result; the
// arguments below them are not counted.
#pragma once

// X(name, number, operand form, values taken, values left)
#define ORVET_OPCODES(X) \
    X(CALL_NAME,          0x21, Identifier, 2,          3) \
    X(GET_NAME,           0x22, Identifier, 0,          1) \
    X(ADD2,               0x23, None,       1,          1) \
    X(INC,                0x24, None,       1,          1) \
    X(JUMP_IF_TRUE_BOOL,  0x25, Jump,       1,          0) \
    X(JUMP_IF_FALSE_BOOL, 0x26, Jump,       1,          0) \
    X(THROW,              0x27, None,       1,          0) \
    X(END_TRY,            0x28, Byte,       0,          0) \
    X(TRY,                0x29, Jump,       0,          0) \
    X(WITH_POP,           0x2A, Byte,       0,          0) \
    X(WITH_PUSH,          0x2B, None,       1,          0) \
    X(GET_FRAME_SLOT,     0x2C, None,       1,          1) \
    X(ARGS,               0x2D, Byte,       1,          0) \
    X(LOCALS,             0x2E, Short,      kByOperand, kByOperand) \
    X(DELETE_ELEM,        0x2F, None,       2,          1) \
    X(DELETE_PROP,        0x30, Identifier, 1,          1) \
    X(NEW,                0x31, None,       2,          3) \
    X(TYPEOF,             0x32, None,       1,          1) \
    X(RETURN,             0x33, None,       1,          0) \
    X(CALL,               0x34, None,       2,          3) \
    X(JUMP,               0x35, Jump,       0,          0) \
    X(CALL_METHOD,        0x36, Identifier, 2,          3) \
    X(JUMP_IF_TRUE,       0x37, Jump,       1,          0) \
    X(JUMP_IF_FALSE,      0x38, Jump,       1,          0) \
    X(USHR,               0x39, None,       2,          1) \
    X(SHR,                0x3A, None,       2,          1) \
    X(SHL,                0x3B, None,       2,          1) \
    X(BIT_XOR,            0x3C, None,       2,          1) \
    X(BIT_OR,             0x3D, None,       2,          1) \
    X(NOT,                0x3E, None,       1,          1) \
    X(BIT_AND,            0x3F, None,       2,          1) \
    X(NEG,                0x40, None,       1,          1) \
    X(MOD,                0x41, None,       2,          1) \
    X(DIV,                0x42, None,       2,          1) \
    X(MUL,                0x43, None,       2,          1) \
    X(ADD,                0x44, None,       2,          1) \
    X(SUB,                0x45, None,       2,          1) \
    X(STRICT_NE,          0x46, None,       2,          1) \
    X(STRICT_EQ,          0x47, None,       2,          1) \
    X(GE,                 0x48, None,       2,          1) \
    X(LE,                 0x49, None,       2,          1) \
    X(GT,                 0x4A, None,       2,          1) \
    X(LT,                 0x4B, None,       2,          1) \
    X(NE,                 0x4C, None,       2,          1) \
    X(EQ,                 0x4D, None,       2,          1) \
    X(ITER_NEXT,          0x4E, None,       2,          2) \
    X(SET_ELEM,           0x4F, None,       3,          0) \
    X(GET_ELEM,           0x50, None,       2,          1) \
    X(SET_PROP,           0x51, Identifier, 2,          0) \
    X(GET_PROP,           0x52, Identifier, 1,          1) \
    X(SET_LOCAL,          0x53, Short,      1,          0) \
    X(GET_LOCAL,          0x54, Short,      0,          1) \
    X(SET_ARG,            0x55, Byte,       1,          0) \
    X(GET_ARG,            0x56, Byte,       0,          1) \
    X(SET_GLOBAL,         0x57, Identifier, 1,          0) \
    X(GET_GLOBAL,         0x58, Identifier, 0,          1) \
    X(PUSH_INT,           0x59, Int32,      0,          1) \
    X(PUSH_3,             0x5A, None,       0,          1) \
    X(PUSH_2,             0x5B, None,       0,          1) \
    X(PUSH_1,             0x5C, None,       0,          1) \
    X(PUSH_0,             0x5D, None,       0,          1) \
    X(PUSH_UNDEFINED,     0x5E, None,       0,          1) \
    X(PUSH_FALSE,         0x5F, None,       0,          1) \
    X(PUSH_TRUE,          0x60, None,       0,          1) \
    X(PUSH_NULL,          0x61, None,       0,          1) \
    X(PUSH_CONST,         0x62, Literal,    0,          1) \
    X(ROLL,               0x63, Byte,       kByOperand, kByOperand) \
    X(SWAP,               0x64, None,       2,          2) \
    X(NIP,                0x65, Byte,       kByOperand, kByOperand) \
    X(DROP,               0x66, Byte,       kByOperand, kByOperand) \
    X(POP,                0x67, None,       1,          0) \
    X(DUP,                0x68, None,       1,          2) \
    X(NOP,                0x69, None,       0,          0) \
    X(END,                0x6A, None,       1,          0) \
    X(HALT,               0x6B, None,       0,          0) \
    X(SET_NAME,           0x6C, Identifier, 1,          0) \
    X(DELETE_NAME,        0x6D, Identifier, 1,          1) \
    X(DISPOSE_GLOBAL,     0x6E, Identifier, 1,          1) \
    X(DISPOSE_LOCAL,      0x6F, Short,      1,          1) \
    X(DISPOSE_ARG,        0x70, Byte,       1,          1)
