// Builds action blocks: the records a movie's frames and buttons run.
#pragma once

#include "control/movie/Timeline.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class ActionWriter {
public:
    ActionWriter& play();
    ActionWriter& stop();
    ActionWriter& nextFrame();
    ActionWriter& prevFrame();
    ActionWriter& gotoFrame(int frame); // 0-based, stops there
    ActionWriter& gotoLabel(std::u16string_view label);
    // Goes to a frame number (1-based) or label given as text, playing or not.
    ActionWriter& gotoFrame2(std::u16string_view frameOrLabel, bool play);
    ActionWriter& getUrl(std::u16string_view url, std::u16string_view target);
    ActionWriter& fsCommand(std::u16string_view command, std::u16string_view args);
    ActionWriter& setTarget(std::u16string_view path); // "" returns to the own clip
    ActionWriter& call(std::u16string_view frameOrLabel);

    // Stack-level records for expressions.
    ActionWriter& pushString(std::u16string_view s);
    ActionWriter& pushNumber(double n);
    ActionWriter& op(std::uint8_t code); // a record without data
    ActionWriter& jump(std::int16_t offset);
    ActionWriter& branchIf(std::int16_t offset);
    // url and target from the stack; flags 0x80 make it loadVariables, 0x40 a clip target.
    ActionWriter& getUrl2(std::uint8_t flags = 0);

    ActionWriter& append(const ActionWriter& other);

    std::size_t size() const { return code_.size(); }
    // The block with its End record.
    ActionBytes finish() const;

private:
    ActionWriter& record(std::uint8_t code, const std::vector<std::uint8_t>& body);

    std::vector<std::uint8_t> code_;
};

// Opcodes of the records above, for op().
namespace action {
enum : std::uint8_t {
    Add = 0x0A, Subtract = 0x0B, Equals = 0x0E, Less = 0x0F, Not = 0x12, StringEquals = 0x13,
    Pop = 0x17, GetVariable = 0x1C, SetVariable = 0x1D, StringAdd = 0x21, GetProperty = 0x22,
    SetProperty = 0x23, Trace = 0x26, Add2 = 0x47, Equals2 = 0x49,
};
} // namespace action

} // namespace lumbra::movie
