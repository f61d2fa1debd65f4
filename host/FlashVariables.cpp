#include "host/FlashVariables.h"

#include <vector>

#include "host/BoundNames.h"
#include "host/FlashText.h"
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "script/engine/StackRoot.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

constexpr std::int32_t kMaxArrayLength = 5000;
// putArray writes every index of a dense array; beyond this length only the
// stored elements, so that a[1e9] = x does not mean a billion writes.
constexpr std::uint64_t kMaxDenseWrite = 65536;

std::u16string member(std::u16string_view name, std::u16string_view part)
{
    std::u16string full(name);
    full += u'.';
    full += part;
    return full;
}

std::u16string indexText(std::uint64_t i)
{
    const std::string digits = std::to_string(i);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string textOf(orvet::ScriptContext& ctx, const ScriptValue& value)
{
    return std::u16string(orvet::toString(ctx, value)->view());
}

} // namespace

std::optional<std::u16string> getVariable(FlashControl& control, std::u16string_view name)
{
    const ControlValue argument{std::u16string(name)};
    const std::optional<ControlValue> result = control.call(u"GetVariable", {&argument, 1});
    if (!result || !std::holds_alternative<std::u16string>(*result))
        return std::nullopt;
    return std::get<std::u16string>(*result);
}

bool setVariable(FlashControl& control, std::u16string_view name, std::u16string_view value)
{
    const ControlValue arguments[] = {std::u16string(name), std::u16string(value)};
    return control.call(u"SetVariable", arguments).has_value();
}

void updateBoundData(orvet::ScriptContext& ctx, FlashControl& control, BoundNames& names, bool toScript)
{
    // Snapshots: converting a value to text may run a script that binds or
    // unbinds names; the values stay rooted in an array meanwhile.
    std::vector<std::u16string> bound;
    orvet::ScriptArray* values = orvet::newArray(ctx);
    orvet::StackRoot root(ctx, ScriptValue::ofArray(values));
    names.forEach([&](BoundNames::Bound& entry) {
        bound.push_back(entry.name);
        orvet::arrayAppend(ctx, *values, entry.box);
    });
    for (std::size_t i = 0; i < bound.size(); ++i) {
        if (toScript) {
            if (auto text = getVariable(control, bound[i]))
                if (ScriptValue* box = names.box(bound[i]))
                    *box = flashTextValue(ctx, *text);
        } else {
            const ScriptValue* value = orvet::arrayGet(*values, i);
            setVariable(control, bound[i], textOf(ctx, value ? *value : ScriptValue::undefined()));
        }
    }
}

ScriptValue getArray(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name)
{
    if (auto lengthText = getVariable(control, member(name, u"length"))) {
        const std::int32_t length = leadingLong(*lengthText);
        if (length >= 0 && length <= kMaxArrayLength) {
            orvet::ScriptArray* array = orvet::newArray(ctx);
            const ScriptValue result = ScriptValue::ofArray(array);
            orvet::arrayTruncate(ctx, *array, static_cast<std::uint64_t>(length));
            for (std::int32_t i = 0; i < length; ++i) {
                if (auto text = getVariable(control, member(name, indexText(i)))) {
                    const ScriptValue element = flashTextValue(ctx, *text);
                    if (!element.is(ValueKind::Undefined))
                        orvet::arraySet(ctx, *array, static_cast<std::uint64_t>(i), element);
                }
            }
            return result;
        }
    }
    const std::optional<std::u16string> text = getVariable(control, name);
    if (!text)
        return ScriptValue::undefined();
    orvet::ScriptArray* array = orvet::newArray(ctx);
    const ScriptValue result = ScriptValue::ofArray(array);
    std::size_t start = 0;
    while (start <= text->size()) {
        std::size_t comma = text->find(u',', start);
        if (comma == std::u16string::npos)
            comma = text->size();
        if (comma > start)
            orvet::arrayAppend(ctx, *array, orvet::stringValue(ctx, std::u16string_view(*text).substr(start, comma - start)));
        start = comma + 1;
    }
    return result;
}

void putArray(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name, const orvet::ScriptArray& array)
{
    if (array.length <= kMaxDenseWrite) {
        for (std::uint64_t i = 0; i < array.length; ++i) {
            const ScriptValue* element = orvet::arrayGet(array, i);
            setVariable(control, member(name, indexText(i)), textOf(ctx, element ? *element : ScriptValue::undefined()));
        }
        return;
    }
    std::uint64_t index = 0;
    for (const ScriptValue* element = orvet::arrayNextStored(array, 0, &index); element && index < array.length;
         element = orvet::arrayNextStored(array, index + 1, &index))
        setVariable(control, member(name, indexText(index)), textOf(ctx, *element));
}

ScriptValue getObject(orvet::ScriptContext& ctx, FlashControl& control, const ScriptValue* args)
{
    const Arguments a(args);
    if (a.count() < 2 || !a.is(1, ValueKind::String))
        return ScriptValue::undefined();
    std::vector<std::u16string> properties;
    for (int i = 2; i <= a.count(); ++i) {
        if (const orvet::ScriptString* text = a.string(i)) {
            properties.emplace_back(text->view());
        } else if (a.is(i, ValueKind::Array)) {
            const orvet::ScriptArray& list = *a.get(i)->array;
            std::uint64_t index = 0;
            for (const ScriptValue* e = orvet::arrayNextStored(list, 0, &index); e;
                 e = orvet::arrayNextStored(list, index + 1, &index))
                if (e->is(ValueKind::String))
                    properties.emplace_back(e->string->view());
        } else {
            return ScriptValue::undefined();
        }
    }
    const std::u16string name(a.string(1)->view());
    orvet::ScriptObject* object = orvet::newObject(ctx);
    const ScriptValue result = ScriptValue::ofObject(object);
    for (const std::u16string& p : properties)
        if (auto text = getVariable(control, member(name, p)))
            orvet::setProperty(ctx, object, ctx.intern(orvet::utf16ToAnsi(p)), orvet::stringValue(ctx, *text));
    return result;
}

void putObject(orvet::ScriptContext& ctx, FlashControl& control, std::u16string_view name, orvet::ScriptObject* object)
{
    std::vector<std::pair<orvet::Atom, ScriptValue>> properties;
    for (std::uint32_t i = 0; i < object->slotCount; ++i) {
        const orvet::PropertySlot& slot = object->slots[i];
        if (slot.atom == orvet::PropertySlot::kDeleted || slot.atom == orvet::kAtomProto)
            continue;
        switch (slot.value.kind) {
        case ValueKind::Boolean:
        case ValueKind::Integer:
        case ValueKind::String:
        case ValueKind::Float:
        case ValueKind::Array:
            properties.emplace_back(slot.atom, slot.value);
            break;
        default:
            break;
        }
    }
    for (const auto& [atom, value] : properties)
        setVariable(control, member(name, orvet::ansiToUtf16(ctx.nameOf(atom))), textOf(ctx, value));
}

} // namespace lumbra::host
