// Writes the action records of one body of code (a block's main code or one
// function's): values pushed in a row share one Push record, as the
// authoring tools write them, and jumps go to labels resolved at the end.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/actionscript/ActionCodes.h"
#include "tools/actionscript/ConstantPool.h"

namespace lumbra::actionscript {

using Bytes = std::vector<std::uint8_t>;

class ActionEmitter {
public:
    using Label = int;

    explicit ActionEmitter(ConstantPool& pool) : pool_(pool) {}

    void pushString(std::string_view text);
    void pushNumber(double value); // a 32-bit integer where it is one, else a double
    void pushDouble(double value);
    void pushBoolean(bool value);
    void pushNull();
    void pushUndefined();
    void pushRegister(std::uint8_t reg);

    void op(Action action);
    void record(Action action, const Bytes& body);
    void storeRegister(std::uint8_t reg);
    // Bytes written as they stand (a function's body after its header).
    void raw(const Bytes& bytes);

    Label newLabel();
    void place(Label label);
    void jump(Label to);
    void branchIf(Label to);

    // The record of `action` whose body ends in a 16-bit size of the code
    // that follows it (With, Try ...): returns where that size goes.
    std::size_t recordWithSize(Action action, const Bytes& bodyBefore);
    // Bytes written so far; pending pushes are written first.
    std::size_t position();
    void patchU16(std::size_t at, std::size_t value);

    // The code with every jump resolved; false when a jump is out of reach.
    bool finish(Bytes& out);

private:
    void flushPush();
    void pushItem(const Bytes& item);
    void branch(Action action, Label to);

    ConstantPool& pool_;
    Bytes code_;
    Bytes pendingPush_;
    std::vector<std::size_t> labels_;           // offsets; SIZE_MAX until placed
    std::vector<std::pair<std::size_t, Label>> fixups_; // offset of the s16, target
};

void appendU16(Bytes& out, std::size_t value);
void appendCString(Bytes& out, std::string_view text);

} // namespace lumbra::actionscript
