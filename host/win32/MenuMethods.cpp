// The members of "Menu" objects. Methods answer false (or Null) for an
// object without a menu and for arguments of the wrong kind.
#include <windows.h>

#include <optional>
#include <string>

#include "host/HostArguments.h"
#include "host/win32/MenuLoader.h"
#include "host/win32/MenuState.h"
#include "host/win32/WideText.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;

// The record of a "Menu" object passed as an argument, or null.
MenuHandle* menuArgument(const orvet::NativeClass& cls, const Arguments& a, int n)
{
    const ScriptValue* value = a.get(n);
    if (!value || !value->is(ValueKind::Native) || value->native->cls != &cls)
        return nullptr;
    return static_cast<MenuHandle*>(value->native->data);
}

std::wstring wideArgument(const Arguments& a, int n)
{
    const orvet::ScriptString* text = a.string(n);
    return text ? wideText(text->view()) : std::wstring();
}

// appendItem (first = 1) and insertItem (first = 2, after the position):
// (subMenu, caption), (name, caption, [iconFile]), or a separator.
bool addItem(MenuClassState& state, const orvet::NativeClass& cls, MenuHandle& handle, const Arguments& a, int first,
             int position)
{
    if (MenuHandle* sub = menuArgument(cls, a, first); sub && a.is(first + 1, ValueKind::String))
        return state.addSubMenu(handle, position, *sub, wideArgument(a, first + 1));
    if (a.is(first, ValueKind::String) && a.is(first + 1, ValueKind::String))
        return state.addCommandItem(handle.menu, position, *a.text(first), wideArgument(a, first + 1),
                                    a.text(first + 2).value_or(""));
    const UINT at = position < 0 ? static_cast<UINT>(-1) : static_cast<UINT>(position);
    return InsertMenuW(handle.menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr) != FALSE;
}

// Shows the menu at the point and waits for the choice; the chosen item's
// command name, or Null.
ScriptValue showMenu(orvet::ScriptContext& ctx, MenuClassState& state, HMENU menu, const Arguments& a)
{
    const HWND owner = state.player().mainWindow();
    if (!owner)
        return ScriptValue::null();
    POINT at{};
    GetCursorPos(&at);
    if (auto x = a.integer(1))
        at.x = static_cast<LONG>(*x);
    if (auto y = a.integer(2))
        at.y = static_cast<LONG>(*y);
    // The owner must be in front, or the menu does not get the keyboard and
    // stays open after a click elsewhere.
    SetForegroundWindow(owner);
    ++state.showing;
    const int id = static_cast<int>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    --state.showing;
    PostMessageW(owner, WM_NULL, 0, 0);
    // The handlers may have released the object meanwhile: only the class's
    // state is used from here on.
    const CommandTable::Entry* chosen = state.commands.find(id);
    const std::optional<std::string> name = chosen ? std::optional(chosen->name) : std::nullopt;
    state.destroyWaitingMenus();
    return name ? orvet::ansiStringValue(ctx, *name) : ScriptValue::null();
}

bool setMenuBar(MenuClassState& state, HMENU menu)
{
    const HWND main = state.player().mainWindow();
    if (!main || !SetMenu(main, menu))
        return false;
    DrawMenuBar(main);
    if (!state.player().currentMovie().empty())
        state.player().reapply(Reapply::sizeAndPosition | Reapply::shape);
    return true;
}

ScriptValue call(orvet::ScriptContext& ctx, orvet::NativeClass& cls, MenuClassState& state, MenuHandle& handle,
                 MenuMember member, const Arguments& a)
{
    auto result = [](bool done) { return ScriptValue::ofBool(done); };
    switch (member) {
    case MenuMember::Load: {
        const std::optional<std::string> name = a.text(1);
        const HMENU menu = name ? loadPackagedMenu(state, *name) : nullptr;
        if (menu)
            state.replaceMenu(handle, menu);
        return result(menu != nullptr);
    }
    case MenuMember::CreateMenu:
    case MenuMember::CreatePopupMenu: {
        const HMENU menu = member == MenuMember::CreateMenu ? CreateMenu() : CreatePopupMenu();
        if (menu)
            state.replaceMenu(handle, menu);
        return result(menu != nullptr);
    }
    default:
        break;
    }
    const bool noMenu = !handle.menu;
    if (member == MenuMember::GetSubMenu || member == MenuMember::Show) {
        if (noMenu)
            return ScriptValue::null();
        if (member == MenuMember::Show)
            return showMenu(ctx, state, handle.menu, a);
        const std::optional<std::int64_t> position = a.integer(1);
        const HMENU sub = position && *position >= 0 ? GetSubMenu(handle.menu, static_cast<int>(*position)) : nullptr;
        return sub ? newMenuObject(ctx, cls, MenuHandle{sub, nullptr, true}) : ScriptValue::null();
    }
    if (noMenu)
        return result(false);
    switch (member) {
    case MenuMember::SetMenu:
        return result(setMenuBar(state, handle.menu));
    case MenuMember::AppendItem:
        return result(addItem(state, cls, handle, a, 1, -1));
    case MenuMember::InsertItem: {
        const std::optional<std::int64_t> position = a.integer(1);
        return result(position && *position >= 0 && addItem(state, cls, handle, a, 2, static_cast<int>(*position)));
    }
    case MenuMember::RemoveItem: {
        const std::optional<std::int64_t> position = a.integer(1);
        return result(position && state.removeItem(handle, static_cast<int>(*position)));
    }
    default:
        return result(false);
    }
}

} // namespace

int menuMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, ScriptValue* result,
               ScriptValue* args)
{
    MenuClassState& state = menuStateOf(cls);
    const int index = state.find(name);
    if (index < static_cast<int>(MenuMember::ToString))
        return 0;
    const auto member = static_cast<MenuMember>(index);
    if (member == MenuMember::ToString) {
        *result = orvet::staticStringValue(ctx, u"[object Menu]");
        return 1;
    }
    if (!data)
        return 0; // the class object holds no menu
    state.destroyWaitingMenus();
    *result = call(ctx, cls, state, *static_cast<MenuHandle*>(data), member, Arguments(args));
    return 1;
}

int menuProperty(orvet::ScriptContext&, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                 ScriptValue* value)
{
    MenuClassState& state = menuStateOf(cls);
    const int index = state.find(name);
    if (index < 0 || index > static_cast<int>(MenuMember::EnableAccel))
        return 0;
    const auto member = static_cast<MenuMember>(index);
    if (member == MenuMember::EnableAccel) {
        if (!data)
            return 0;
        if (set)
            state.enableAccelerators(*static_cast<MenuHandle*>(data), orvet::toBoolean(*value));
        else
            *value = ScriptValue();
        return 1;
    }
    ScriptValue& handler = member == MenuMember::OnCommand ? state.commandHandler : state.updateHandler;
    if (!set)
        *value = handler.is(ValueKind::Function) ? handler : ScriptValue();
    else if (value->is(ValueKind::Function))
        handler = *value;
    return 1;
}

} // namespace lumbra::host
