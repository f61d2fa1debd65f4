// What the "Menu" class keeps per engine: the command table, the accelerator
// list, the class-wide handlers and every living menu object's record, and
// the rules by which menus are owned and released.
//
// Ownership: an object owns the menu it made or loaded. Appending it to
// another menu hands it to that menu (the object then borrows it, as a
// "getSubMenu" object does); removing it from there gives it back to the
// object that borrows it. A menu is destroyed only when its owner lets go,
// and never while a menu loop shows it: then it waits until the loop ends.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "host/CommandTable.h"
#include "host/PlayerServices.h"
#include "script/engine/ClassRegistration.h"
#include "script/runtime/ScriptValue.h"

namespace lumbra::host {

// The native data of a "Menu" object.
struct MenuHandle {
    HMENU menu = nullptr;
    HACCEL accelerators = nullptr; // made by "enableAccel", in the class's list
    bool borrowed = false;         // a sub-menu owned by another menu
};

enum class MenuMember {
    OnCommand, OnUpdateItem, EnableAccel, // properties
    ToString, Load, SetMenu, CreateMenu, CreatePopupMenu, AppendItem, InsertItem, RemoveItem, GetSubMenu, Show,
};

struct MenuClassState : orvet::MemberAtoms, ScriptCommands {
    ~MenuClassState() override;
    PlayerServices& player() const { return *static_cast<PlayerServices*>(host); }

    // ScriptCommands (MenuCommands.cpp).
    bool onCommand(UINT id) override;
    bool onUpdateState(HMENU menu, UINT id) override;
    bool translateAccelerator(const MSG& message) override;

    // Appends (position -1) or inserts a command item with a new identifier
    // for the name; false when none is free or the system refuses the item.
    bool addCommandItem(HMENU menu, int position, const std::string& name, std::wstring_view caption,
                        const std::string& iconFile, UINT itemState = 0);
    // Makes `sub` a pop-up item of `target` and hands it over; false when
    // that would put a menu inside itself or `sub` already belongs to a menu.
    bool addSubMenu(MenuHandle& target, int position, MenuHandle& sub, std::wstring_view caption);
    // Takes item `position` out of the menu; a sub-menu goes back to the
    // object that borrows it, or is released when none does.
    bool removeItem(MenuHandle& target, int position);
    // Gives the object a new menu, releasing the one it owned.
    void replaceMenu(MenuHandle& handle, HMENU menu);
    // Lets go of the object's menu and accelerators: an owned menu leaves
    // the menu bar, its identifiers are forgotten and it is destroyed.
    void release(MenuHandle& handle);
    // The object's accelerator table, made afresh from its menu or removed.
    void enableAccelerators(MenuHandle& handle, bool enable);
    // Destroys the menus released while a menu loop ran, once none runs.
    void destroyWaitingMenus(bool force = false);

    CommandTable commands;
    std::vector<HACCEL> acceleratorList;
    std::vector<MenuHandle*> handles;         // every living object's record
    std::vector<HMENU> waiting;               // released while a menu loop ran
    std::vector<HACCEL> waitingAccelerators;  // removed while a key was being translated
    int showing = 0;                          // nesting of "show"
    int translating = 0;                      // nesting of translateAccelerator
    orvet::ScriptValue commandHandler, updateHandler;
    orvet::Atom menuAtom{}, enableAtom{}, checkAtom{}, captionAtom{};

private:
    void forgetIdentifiers(HMENU menu);
    MenuHandle* borrowerOf(HMENU menu, const MenuHandle* except) const;
};

MenuClassState& menuStateOf(const orvet::NativeClass& cls);

int menuMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name,
               orvet::ScriptValue* result, orvet::ScriptValue* args);
int menuProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                 orvet::ScriptValue* value);

// The "Menu" object for a handle record (owned by the new object).
orvet::ScriptValue newMenuObject(orvet::ScriptContext& ctx, orvet::NativeClass& cls, MenuHandle handle);

} // namespace lumbra::host
