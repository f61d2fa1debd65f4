// The FlashPlayer members that map one to one onto the control's own: which
// control member, which argument kinds, what kind of result.
#pragma once

#include <span>
#include <string_view>

namespace lumbra::host {

enum class PropertyKind {
    Integer,         // Integer; set from an Integer
    FrameCount,      // Integer, -1 when it cannot be read; read-only
    Boolean,         // Boolean; set from a Boolean or an Integer
    Text,            // text, Undefined when empty; set from a String
};

struct ControlProperty {
    std::string_view name;          // as scripts write it
    std::u16string_view control;    // the control's property
    PropertyKind kind;
};

enum class ResultKind {
    Success,     // Boolean: the control reported success
    Integer,     // the control's integer, Undefined on failure
    Frame,       // the control's integer, -1 on failure
    Boolean,     // the control's boolean, Undefined on failure
    Text,        // the control's text, Undefined on failure or when empty
    Number,      // Float, Undefined on failure
};

struct ControlMethod {
    std::string_view name;
    std::u16string_view control;
    // One letter per argument: i Integer, s String, f Float (exactly those kinds).
    std::string_view arguments;
    ResultKind result;
};

std::span<const ControlProperty> controlProperties();
std::span<const ControlMethod> controlMethods();

} // namespace lumbra::host
