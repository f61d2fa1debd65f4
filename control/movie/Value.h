// A value of the movie's action language: undefined, null, boolean, number,
// string, a script object (owned by the playback's heap), or a reference to a
// clip by its place on the stage (see ClipHandle).
#pragma once

#include <memory>
#include <string>
#include <variant>

namespace lumbra::movie {

class DisplayObject;
class ActionObject;
class ClipHandle;

class Value {
public:
    enum class Type { Undefined, Null, Boolean, Number, String, Clip, Object };

    Value() = default;
    static Value null() { return Value(Data{std::in_place_index<1>, nullptr}); }
    Value(bool b) : data_(b) {}
    Value(double n) : data_(n) {}
    Value(int n) : data_(double(n)) {}
    Value(std::u16string s) : data_(std::move(s)) {}
    Value(const char16_t* s) : data_(std::u16string(s)) {}
    Value(const std::shared_ptr<DisplayObject>& clip);
    // Null stays undefined.
    Value(ActionObject* object);

    Type type() const;
    bool isUndefined() const { return type() == Type::Undefined; }
    bool isString() const { return data_.index() == 4; }
    bool isNumber() const { return data_.index() == 3; }
    bool isObject() const { return data_.index() == 6; }
    // A reference to a clip that has left the stage: undefined in every use
    // but its text (empty) and its type (that of what it stood for).
    bool isLapsedClip() const { return data_.index() == 5 && !toClip(); }
    // The place a clip reference holds; null for other values.
    const ClipHandle* clipHandle() const;
    bool isNullish() const { auto t = type(); return t == Type::Undefined || t == Type::Null; }
    // Objects and clips: what has members.
    bool isReference() const { auto t = type(); return t == Type::Object || t == Type::Clip; }

    // Conversions follow the file version: before 5, text that is not a number
    // reads as 0 rather than NaN; before 7, the empty text reads as 0.
    double toNumber(int version) const;
    bool toBoolean(int version) const;
    std::u16string toString() const;
    std::shared_ptr<DisplayObject> toClip() const;
    ActionObject* toObject() const { return isObject() ? std::get<ActionObject*>(data_) : nullptr; }
    bool sameAs(const Value& other) const; // identity of references, equality of primitives

private:
    using Data = std::variant<std::monostate, std::nullptr_t, bool, double, std::u16string,
                              std::shared_ptr<const ClipHandle>, ActionObject*>;
    explicit Value(Data d) : data_(std::move(d)) {}
    Data data_;
};

// Texts the built-in functions build (joins, concatenations, escapes) stop
// growing at this length, so that memory stays bounded.
inline constexpr std::size_t kMaxBuiltText = std::size_t(1) << 24;

std::u16string numberToString(double n);
// The whole text as a number, with surrounding blanks allowed; NaN when it is
// not one. From version 6, "0x.." is read as hexadecimal and "0.." with only
// octal digits as octal.
double parseNumber(std::u16string_view text, int version = 8);

} // namespace lumbra::movie
