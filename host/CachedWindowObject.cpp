#include "host/CachedWindowObject.h"

#include "host/HostPlayer.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

orvet::ScriptValue cachedWindowObject(orvet::ScriptContext& ctx, HostPlayer& player, std::string_view cacheName,
                                      std::intptr_t window)
{
    if (window == 0)
        return orvet::ScriptValue::null();
    // Interned first: a new name may move the globals.
    const orvet::Atom cache = ctx.intern(cacheName);
    if (player.windowOfObject(ctx.global(cache)) == window)
        return ctx.global(cache);
    const orvet::ScriptValue object = player.windowObject(ctx, window);
    if (!object.is(orvet::ValueKind::Undefined))
        ctx.global(cache) = object;
    return object;
}

} // namespace lumbra::host
