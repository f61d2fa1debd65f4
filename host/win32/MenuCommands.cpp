// The main window's side of script menus: item commands and item updates
// become calls of the class-wide handlers, and key presses are tried against
// the accelerator tables. These run inside the window procedure, so scripts
// are called only through the entry points that never throw, and a failing
// handler leaves a warning in the trace.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "host/win32/MenuState.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

// Calls the handler with the command name and, when given, a second argument;
// false when the handler failed (its message is in the trace).
void callHandler(MenuClassState& state, const ScriptValue& handler, const std::string& name,
                 const ScriptValue* second = nullptr)
{
    orvet::ScriptContext& ctx = *state.engine->context;
    ScriptValue text;
    if (!orvet::Protected(*state.engine, [&](orvet::ScriptContext& c) { text = orvet::ansiStringValue(c, name); })) {
        ctx.warn(ctx.errorBuffer);
        return;
    }
    ScriptValue args[3] = {ScriptValue::ofInt(second ? 2 : 1), text, second ? *second : ScriptValue()};
    const ScriptValue receiver = ctx.global(state.menuAtom);
    if (!orvet::CallValue(ctx, receiver, handler, second ? 3 : 2, args))
        ctx.warn(ctx.errorBuffer);
}

} // namespace

bool MenuClassState::onCommand(UINT id)
{
    destroyWaitingMenus();
    const CommandTable::Entry* entry = commands.find(static_cast<int>(id));
    if (!entry)
        return false;
    if (commandHandler.is(orvet::ValueKind::Function))
        callHandler(*this, commandHandler, entry->name);
    return true;
}

bool MenuClassState::onUpdateState(HMENU menu, UINT id)
{
    const CommandTable::Entry* entry = commands.find(static_cast<int>(id));
    if (!entry)
        return false;
    if (!updateHandler.is(orvet::ValueKind::Function))
        return true;
    ScriptValue item;
    if (!orvet::Protected(*engine, [&](orvet::ScriptContext& c) { item = ScriptValue::ofObject(orvet::newObject(c)); })) {
        engine->context->warn(engine->context->errorBuffer);
        return true;
    }
    callHandler(*this, updateHandler, entry->name, &item);
    // The handler may have released the menu; a menu a loop shows waits, so
    // the handle still names it, but its item may be gone.
    if (!IsMenu(menu) || !commands.find(static_cast<int>(id)))
        return true;
    ScriptValue value;
    if (orvet::getProperty(item.object, enableAtom, value))
        EnableMenuItem(menu, id, MF_BYCOMMAND | (orvet::toBoolean(value) ? MF_ENABLED : MF_GRAYED));
    if (orvet::getProperty(item.object, checkAtom, value))
        CheckMenuItem(menu, id, MF_BYCOMMAND | (orvet::toBoolean(value) ? MF_CHECKED : MF_UNCHECKED));
    if (orvet::getProperty(item.object, captionAtom, value) && value.is(orvet::ValueKind::String)) {
        std::wstring caption(reinterpret_cast<const wchar_t*>(value.string->view().data()), value.string->view().size());
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = caption.data();
        SetMenuItemInfoW(menu, id, FALSE, &info);
    }
    return true;
}

bool MenuClassState::translateAccelerator(const MSG& message)
{
    const HWND main = player().mainWindow();
    if (!main || acceleratorList.empty())
        return false;
    // A command may change the list (or remove the very table) while the
    // system is still inside it: removed tables wait until the key is done.
    const std::vector<HACCEL> tables = acceleratorList;
    MSG copy = message;
    bool translated = false;
    ++translating;
    for (HACCEL table : tables)
        if (TranslateAcceleratorW(main, table, &copy)) {
            translated = true;
            break;
        }
    if (--translating == 0)
        for (HACCEL table : std::exchange(waitingAccelerators, {}))
            DestroyAcceleratorTable(table);
    return translated;
}

} // namespace lumbra::host
