#include "host/UriFunctions.h"

#include <optional>
#include <string>

#include "host/UriText.h"
#include "script/engine/ClassRegistration.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

// Bad text is no script error: the author finds the line in the trace file
// and the call gives Undefined, so a page of links can go on being built.
constexpr std::string_view kInvalidUri = "Invalid URI string";

using UriTransform = std::optional<std::u16string> (*)(std::u16string_view, UriScope);

template <UriTransform transform, UriScope scope>
void uriCall(orvet::ScriptContext& ctx, orvet::NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = ScriptValue::undefined();
    if (!orvet::hasArgument(args, 1))
        return;
    const orvet::ScriptString* text = args[1].is(orvet::ValueKind::String) ? args[1].string
                                                                          : orvet::toString(ctx, args[1]);
    if (const std::optional<std::u16string> converted = transform(text->view(), scope))
        *result = orvet::stringValue(ctx, *converted);
    else
        ctx.trace(kInvalidUri);
}

} // namespace

void registerUriFunctions(orvet::ScriptContext& ctx)
{
    orvet::defineGlobalFunction(ctx, "encodeURI", uriCall<encodeUri, UriScope::Whole>);
    orvet::defineGlobalFunction(ctx, "decodeURI", uriCall<decodeUri, UriScope::Whole>);
    orvet::defineGlobalFunction(ctx, "encodeURIComponent", uriCall<encodeUri, UriScope::Component>);
    orvet::defineGlobalFunction(ctx, "decodeURIComponent", uriCall<decodeUri, UriScope::Component>);
}

} // namespace lumbra::host
