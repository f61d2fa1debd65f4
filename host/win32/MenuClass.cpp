#include "host/win32/MenuClass.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "host/win32/MenuAccelerators.h"
#include "host/win32/MenuItemIcon.h"
#include "host/win32/MenuState.h"
#include "host/win32/MenuTree.h"
#include "package/AttachedArchive.h"
#include "package/ErrorReporter.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Collector.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

// Errors of extracting an icon file go where the player shows errors.
class PlayerReporter final : public ErrorReporter {
public:
    explicit PlayerReporter(PlayerServices& player) : player_(player) {}
    void report(std::string_view message) override { player_.reportError(message); }

private:
    PlayerServices& player_;
};

// A menu loop of this thread is running (a pop-up or the menu bar is open):
// the menus it shows must stay.
bool inMenuLoop()
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE);
}

void menuConstruct(orvet::ScriptContext& ctx, orvet::NativeClass& cls, ScriptValue*, ScriptValue* result)
{
    *result = newMenuObject(ctx, cls, MenuHandle{});
}

void menuCall(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, ScriptValue* result, ScriptValue*)
{
    *result = newMenuObject(ctx, cls, MenuHandle{});
}

// Null data is the class object, which holds no menu.
void destroyMenuHandle(orvet::ScriptContext&, orvet::NativeClass& cls, void* data)
{
    if (!data)
        return;
    std::unique_ptr<MenuHandle> handle(static_cast<MenuHandle*>(data));
    MenuClassState& state = menuStateOf(cls);
    state.release(*handle);
    std::erase(state.handles, handle.get());
}

void markMenuClass(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data)
{
    if (data)
        return;
    const MenuClassState& state = menuStateOf(cls);
    orvet::markValue(ctx, state.commandHandler);
    orvet::markValue(ctx, state.updateHandler);
}

} // namespace

MenuClassState& menuStateOf(const orvet::NativeClass& cls) { return orvet::MemberAtoms::of<MenuClassState>(cls); }

MenuClassState::~MenuClassState()
{
    // Every object has died and released its menu by now.
    destroyWaitingMenus(true);
    for (HACCEL table : acceleratorList)
        DestroyAcceleratorTable(table);
    commands.clear();
    player().setScriptCommands(nullptr);
}

ScriptValue newMenuObject(orvet::ScriptContext& ctx, orvet::NativeClass& cls, MenuHandle handle)
{
    auto record = std::make_unique<MenuHandle>(handle);
    MenuClassState& state = menuStateOf(cls);
    state.handles.push_back(record.get());
    try {
        const ScriptValue object = orvet::newInstance(ctx, &cls, record.get());
        record.release();
        return object;
    } catch (...) { // out of memory: no object holds the record
        std::erase(state.handles, record.get());
        throw;
    }
}

bool MenuClassState::addCommandItem(HMENU menu, int position, const std::string& name, std::wstring_view caption,
                                    const std::string& iconFile, UINT itemState)
{
    std::unique_ptr<MenuItemIcon> icon;
    if (!iconFile.empty()) {
        std::string relative = iconFile;
        std::ranges::replace(relative, '/', '\\');
        PlayerReporter reporter(player());
        const auto path = extractAdditionalFile(player().programFile(), relative, player().workingFolder(), reporter);
        if (!path.empty())
            icon = MenuItemIcon::load(path.string());
    }
    const HBITMAP bitmap = icon ? icon->bitmap() : nullptr;
    const int id = commands.add(name, std::move(icon));
    if (id < 0)
        return false;
    std::wstring text(caption);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | (bitmap ? MIIM_BITMAP : 0);
    item.wID = static_cast<UINT>(id);
    item.fState = itemState;
    item.dwTypeData = text.data();
    item.hbmpItem = bitmap;
    const UINT at = position < 0 ? static_cast<UINT>(GetMenuItemCount(menu)) : static_cast<UINT>(position);
    if (!InsertMenuItemW(menu, at, TRUE, &item)) {
        commands.remove(id);
        return false;
    }
    return true;
}

bool MenuClassState::addSubMenu(MenuHandle& target, int position, MenuHandle& sub, std::wstring_view caption)
{
    if (!target.menu || !sub.menu || sub.borrowed || menuContains(sub.menu, target.menu))
        return false;
    std::wstring text(caption);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_SUBMENU | MIIM_STRING;
    item.hSubMenu = sub.menu;
    item.dwTypeData = text.data();
    const UINT at = position < 0 ? static_cast<UINT>(GetMenuItemCount(target.menu)) : static_cast<UINT>(position);
    if (!InsertMenuItemW(target.menu, at, TRUE, &item))
        return false;
    sub.borrowed = true;
    return true;
}

bool MenuClassState::removeItem(MenuHandle& target, int position)
{
    if (!target.menu || position < 0)
        return false;
    const HMENU sub = GetSubMenu(target.menu, position);
    const int id = commandIdAt(target.menu, position);
    if (!RemoveMenu(target.menu, static_cast<UINT>(position), MF_BYPOSITION))
        return false;
    commands.remove(id); // the item is gone, and nothing sends its command any more
    if (!sub)
        return true;
    if (MenuHandle* borrower = borrowerOf(sub, nullptr)) {
        borrower->borrowed = false; // its object owns it again
        return true;
    }
    MenuHandle detached{sub};
    release(detached); // no object can reach it
    return true;
}

void MenuClassState::replaceMenu(MenuHandle& handle, HMENU menu)
{
    release(handle);
    handle.menu = menu;
    handle.borrowed = false;
}

void MenuClassState::release(MenuHandle& handle)
{
    enableAccelerators(handle, false);
    const HMENU menu = std::exchange(handle.menu, nullptr);
    if (!menu || std::exchange(handle.borrowed, false))
        return;
    const HWND main = player().mainWindow();
    if (main && GetMenu(main) == menu) {
        SetMenu(main, nullptr);
        DrawMenuBar(main);
    }
    forgetIdentifiers(menu);
    // Objects that borrow the menu or one of its sub-menus now hold nothing.
    for (MenuHandle* other : handles)
        if (other != &handle && other->menu && menuContains(menu, other->menu)) {
            enableAccelerators(*other, false);
            other->menu = nullptr;
            other->borrowed = false;
        }
    waiting.push_back(menu);
    destroyWaitingMenus();
}

void MenuClassState::forgetIdentifiers(HMENU menu)
{
    forEachMenuItem(menu, [&](HMENU parent, int position) { commands.remove(commandIdAt(parent, position)); });
}

MenuHandle* MenuClassState::borrowerOf(HMENU menu, const MenuHandle* except) const
{
    for (MenuHandle* handle : handles)
        if (handle != except && handle->menu == menu)
            return handle;
    return nullptr;
}

void MenuClassState::enableAccelerators(MenuHandle& handle, bool enable)
{
    if (const HACCEL old = std::exchange(handle.accelerators, nullptr)) {
        std::erase(acceleratorList, old);
        if (translating > 0)
            waitingAccelerators.push_back(old);
        else
            DestroyAcceleratorTable(old);
    }
    if (!enable || !handle.menu)
        return;
    std::vector<ACCEL> entries = acceleratorsOf(handle.menu);
    if (entries.empty())
        return;
    handle.accelerators = CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
    if (handle.accelerators)
        acceleratorList.push_back(handle.accelerators);
}

void MenuClassState::destroyWaitingMenus(bool force)
{
    if (!force && (showing > 0 || inMenuLoop()))
        return;
    for (HMENU menu : std::exchange(waiting, {}))
        DestroyMenu(menu);
}

void registerMenuClass(orvet::ScriptEngine& engine, void* host)
{
    orvet::ScriptContext& ctx = *engine.context;
    orvet::NativeClass* cls = orvet::newClass(ctx);
    MenuClassState& state = orvet::MemberAtoms::attach<MenuClassState>(engine, host, *cls, {
        "onCommand", "onUpdateItem", "enableAccel", "toString", "load", "setMenu", "createMenu",
        "createPopupMenu", "appendItem", "insertItem", "removeItem", "getSubMenu", "show",
    });
    state.menuAtom = ctx.intern("Menu");
    state.enableAtom = ctx.intern("enable");
    state.checkAtom = ctx.intern("check");
    state.captionAtom = ctx.intern("caption");
    cls->call = menuCall;
    cls->construct = menuConstruct;
    cls->callMethod = menuMethod;
    cls->accessProperty = menuProperty;
    cls->destroyData = destroyMenuHandle;
    cls->markData = markMenuClass;
    orvet::registerGlobalClass(ctx, "Menu", cls);
    state.player().setScriptCommands(&state);
}

} // namespace lumbra::host
