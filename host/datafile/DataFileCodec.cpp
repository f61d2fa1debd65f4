#include "host/datafile/DataFileCodec.h"

#include "host/UriText.h"
#include "host/datafile/ProfileStore.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/NumberText.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lumbra {

namespace {

using namespace orvet;

// Deeper structures are cut there rather than taking the native stack with them.
constexpr int kMaxDepth = 1000;
// The largest array index a section may name: arrays hold 2^32 - 1 elements.
constexpr std::uint64_t kMaxIndex = 0xFFFFFFFEu;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A member name that loads back as the same single step of a path.
bool isStorableName(std::string_view name)
{
    return !name.empty() && name.find_first_of(". \t\r\n") == std::string_view::npos
           && name.find('\0') == std::string_view::npos;
}

// The shortest text that reads back as the same double; the words for the
// values that have no digits.
std::string floatText(const ScriptValue& value)
{
    if (value.is(ValueKind::NaN) || std::isnan(value.number))
        return "NaN";
    if (std::isinf(value.number))
        return value.number < 0 ? "-Infinity" : "Infinity";
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value.number).ptr);
}

// encodeURI's text, with single quotes escaped as well: the profile functions
// strip a pair of quotes around a value.
std::optional<std::string> storedString(const ScriptString& text)
{
    auto encoded = encodeUri(text.view(), UriScope::Whole);
    if (!encoded)
        return std::nullopt;
    std::string stored;
    for (char16_t c : *encoded)
        stored += c == u'\'' ? std::string("%27") : std::string(1, char(c));
    return stored;
}

class Writer {
public:
    Writer(ScriptContext& ctx, ProfileStore& store) : ctx_(ctx), store_(store) {}

    void write(const std::string& section, const ScriptValue& value, int depth)
    {
        switch (value.kind) {
        case ValueKind::Boolean: scalar(section, "boolean", value.boolean ? "true" : "false"); break;
        case ValueKind::Integer: scalar(section, "integer", formatInteger(value.integer)); break;
        case ValueKind::Float:
        case ValueKind::NaN: scalar(section, "float", floatText(value)); break;
        case ValueKind::String:
            if (auto stored = storedString(*value.string))
                scalar(section, "string", *stored);
            break;
        case ValueKind::Array:
        case ValueKind::Object: container(section, value, depth); break;
        default: break; // Undefined, Null, functions and native objects have no stored form
        }
    }

private:
    void scalar(const std::string& section, std::string_view type, std::string_view text)
    {
        store_.setValue(section, "type", type);
        store_.setValue(section, "value", text);
    }

    void container(const std::string& section, const ScriptValue& value, int depth)
    {
        const void* record = value.is(ValueKind::Array) ? static_cast<const void*>(value.array) : value.object;
        if (depth >= kMaxDepth || std::ranges::find(open_, record) != open_.end())
            return;
        open_.push_back(record);
        if (value.is(ValueKind::Array)) {
            store_.setValue(section, "type", "array");
            std::uint64_t index = 0;
            for (const ScriptValue* element; (element = arrayNextStored(*value.array, index, &index)); ++index)
                write(section + "." + formatInteger(std::int64_t(index)), *element, depth + 1);
        } else {
            store_.setValue(section, "type", "object");
            const ScriptObject& object = *value.object;
            for (std::uint32_t i = 0; i < object.slotCount; ++i) {
                const PropertySlot& slot = object.slots[i];
                if (slot.atom == PropertySlot::kDeleted || slot.atom == kAtomProto)
                    continue;
                const std::string_view name = ctx_.nameOf(slot.atom); // names are ANSI text
                if (isStorableName(name))
                    write(section + "." + std::string(name), slot.value, depth + 1);
            }
        }
        open_.pop_back();
    }

    ScriptContext& ctx_;
    ProfileStore& store_;
    std::vector<const void*> open_; // the containers on the path being written
};

// The sections that belong to a variable: its own and those of its members.
bool belongsTo(std::string_view section, std::string_view name)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c; };
    if (section.size() < name.size()
        || !std::ranges::equal(section.substr(0, name.size()), name, {}, lower, lower))
        return false;
    return section.size() == name.size() || section[name.size()] == '.' || isBlank(section[name.size()]);
}

std::vector<std::string_view> pathSteps(std::string_view section)
{
    std::vector<std::string_view> steps;
    std::size_t at = 0;
    while (at < section.size()) {
        const std::size_t end = std::min(section.find_first_of(". \t", at), section.size());
        if (end > at)
            steps.push_back(section.substr(at, end - at));
        at = end + 1;
    }
    return steps;
}

std::optional<std::uint64_t> arrayIndex(std::string_view step)
{
    std::uint64_t index = 0;
    const auto [end, error] = std::from_chars(step.data(), step.data() + step.size(), index);
    if (error != std::errc() || end != step.data() + step.size() || index > kMaxIndex)
        return std::nullopt;
    return index;
}

// Where a section's value goes: a global, an object's property or an element.
struct Place {
    enum class Kind { Global, Property, Element } kind;
    Atom atom = 0;
    ScriptObject* object = nullptr;
    ScriptArray* array = nullptr;
    std::uint64_t index = 0;

    ScriptValue get(ScriptContext& ctx) const
    {
        switch (kind) {
        case Kind::Global: return ctx.global(atom);
        case Kind::Property: return findOwnSlot(object, atom)->value;
        case Kind::Element: return *arrayGet(*array, index);
        }
        return {};
    }

    void set(ScriptContext& ctx, const ScriptValue& value) const
    {
        switch (kind) {
        case Kind::Global: ctx.global(atom) = value; break;
        case Kind::Property: setProperty(ctx, object, atom, value); break;
        case Kind::Element: arraySet(ctx, *array, index, value); break;
        }
    }
};

// Follows a section's path from its global, making missing members on the way.
std::optional<Place> follow(ScriptContext& ctx, std::string_view section)
{
    const auto steps = pathSteps(section);
    if (steps.empty())
        return std::nullopt;
    Place place{Place::Kind::Global, ctx.intern(steps.front())};
    for (std::size_t i = 1; i < steps.size(); ++i) {
        const ScriptValue reached = place.get(ctx);
        if (reached.is(ValueKind::Object)) {
            const Atom atom = ctx.intern(steps[i]);
            if (!findOwnSlot(reached.object, atom))
                setProperty(ctx, reached.object, atom, ScriptValue::undefined());
            place = Place{Place::Kind::Property, atom, reached.object};
        } else if (reached.is(ValueKind::Array)) {
            const auto index = arrayIndex(steps[i]);
            if (!index)
                return std::nullopt;
            ScriptArray& array = *reached.array;
            if (!arrayGet(array, *index))
                arraySet(ctx, array, *index, ScriptValue::undefined());
            array.length = std::max(array.length, *index + 1);
            place = Place{Place::Kind::Element, 0, nullptr, &array, *index};
        } else {
            return std::nullopt;
        }
    }
    return place;
}

// _atoi64's reading: blanks, a sign, then the digits up to the first other
// character; beyond 64 bits the value saturates.
std::int64_t integerOf(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX);
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = std::min(limit, magnitude * 10 + std::uint64_t(c - '0'));
        if (magnitude == limit)
            break;
    }
    return negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
}

ScriptValue floatOf(std::string_view text)
{
    if (text == "NaN")
        return ScriptValue::nan();
    if (text == "Infinity" || text == "-Infinity")
        return ScriptValue::ofFloat(text.front() == '-' ? -INFINITY : INFINITY);
    double number = 0;
    parseDoublePrefix(ansiToUtf16(text), number);
    return ScriptValue::ofFloat(number);
}

bool equalsWithoutCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// The section's value, or nothing for a type that leaves the value as it is.
std::optional<ScriptValue> storedValue(ScriptContext& ctx, ProfileStore& store, const std::string& section)
{
    const std::string type = store.value(section, "type").value_or("string");
    auto text = [&](const char* fallback) { return store.value(section, "value").value_or(fallback); };
    if (type == "boolean")
        return ScriptValue::ofBool(equalsWithoutCase(text("false"), "true"));
    if (type == "integer")
        return ScriptValue::ofInt(integerOf(text("0")));
    if (type == "float")
        return floatOf(text("0."));
    if (type == "string") {
        const std::u16string stored = ansiToUtf16(text(""));
        // Text that is not valid percent-encoding is kept as it stands.
        const auto decoded = decodeUri(stored, UriScope::Whole);
        return ScriptValue::ofString(newString(ctx, decoded ? *decoded : stored));
    }
    if (type == "array")
        return ScriptValue::ofArray(newArray(ctx));
    if (type == "object")
        return ScriptValue::ofObject(newObject(ctx));
    return std::nullopt;
}

} // namespace

void saveVariables(ScriptContext& ctx, ProfileStore& store, const std::vector<std::string>& names)
{
    Writer writer(ctx, store);
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        // What the file held for the variable goes, so that a shorter array
        // or a smaller object does not load back with stale members.
        if (auto sections = store.sectionNames())
            for (const std::string& section : *sections)
                if (belongsTo(section, name))
                    store.removeSection(section);
        const Atom atom = ctx.atoms.find(name);
        if (atom != AtomTable::kNone)
            writer.write(name, ctx.global(atom), 0);
    }
}

bool loadVariables(ScriptContext& ctx, ProfileStore& store)
{
    const auto sections = store.sectionNames();
    if (!sections)
        return false;
    for (const std::string& section : *sections) {
        const auto place = follow(ctx, section);
        if (!place)
            continue;
        if (const auto value = storedValue(ctx, store, section))
            place->set(ctx, *value);
    }
    return true;
}

} // namespace lumbra
