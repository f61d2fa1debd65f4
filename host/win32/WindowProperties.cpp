// The properties of "Window" objects.
#include <string>

#include "host/win32/WideText.h"
#include "host/win32/WindowClass.h"
#include "host/win32/WindowClassState.h"
#include "host/win32/WindowGeometry.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;

// The event properties from "onQueryClose" to "onMessage" and their slots
// (the right-button slot has no property of its own).
constexpr WindowEvent kEventSlots[] = {
    WindowEvent::QueryClose, WindowEvent::Close, WindowEvent::Enter, WindowEvent::Leave,
    WindowEvent::Hover, WindowEvent::Size, WindowEvent::Move, WindowEvent::ExitSizeMove,
    WindowEvent::EnterSizeMove, WindowEvent::Moving, WindowEvent::Sizing, WindowEvent::Deactivate,
    WindowEvent::Activate, WindowEvent::Message,
};

ScriptValue windowText(orvet::ScriptContext& ctx, HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    return orvet::stringValue(ctx, scriptText(text.data(), static_cast<std::size_t>(std::max(length, 0))));
}

ScriptValue className(orvet::ScriptContext& ctx, HWND hwnd)
{
    wchar_t name[257];
    const int length = GetClassNameW(hwnd, name, 257);
    return orvet::stringValue(ctx, scriptText(name, static_cast<std::size_t>(std::max(length, 0))));
}

ScriptValue windowState(orvet::ScriptContext& ctx, HWND hwnd)
{
    if (IsIconic(hwnd))
        return orvet::staticStringValue(ctx, u"minimized");
    return orvet::staticStringValue(ctx, IsZoomed(hwnd) ? u"maximized" : u"normal");
}

// "normal", "maximized" and "minimized" in any case, or a show command; 0
// and other texts do nothing.
void setWindowState(HWND hwnd, const ScriptValue& value)
{
    int command = 0;
    if (value.is(ValueKind::Integer)) {
        command = static_cast<int>(value.integer);
    } else if (value.is(ValueKind::String)) {
        std::u16string text(value.string->view());
        for (char16_t& c : text)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        command = text == u"normal" ? SW_SHOWNORMAL : text == u"maximized" ? SW_SHOWMAXIMIZED
                : text == u"minimized" ? SW_SHOWMINIMIZED : 0;
    }
    if (command != 0)
        ShowWindow(hwnd, command);
}

// Left and top move one edge (the opposite one stays); width and height
// move the right or bottom edge.
void setEdge(HWND hwnd, WindowMember member, const ScriptValue& value)
{
    if (!value.is(ValueKind::Integer))
        return;
    const LONG v = static_cast<LONG>(value.integer);
    RECT rect = rectInParent(hwnd);
    switch (member) {
    case WindowMember::Left: rect.left = v; break;
    case WindowMember::Top: rect.top = v; break;
    case WindowMember::Width: rect.right = rect.left + v; break;
    default: rect.bottom = rect.top + v; break;
    }
    placeWindow(hwnd, rect);
}

// Another "Window" object becomes the parent; one made for no window (handle
// 0) makes the window top-level.
void setParent(HWND hwnd, const ScriptValue& value)
{
    const WindowCell* other = windowCellOf(value);
    if (!other)
        return;
    if (other->handle == 0)
        SetParent(hwnd, nullptr);
    else if (const WindowRecord* record = liveRecord(other))
        SetParent(hwnd, hwndOf(record->handle));
}

int getProperty(orvet::ScriptContext& ctx, HWND hwnd, WindowMember member, ScriptValue* value)
{
    const RECT rect = rectInParent(hwnd);
    switch (member) {
    case WindowMember::Caption: *value = windowText(ctx, hwnd); break;
    case WindowMember::Left: *value = ScriptValue::ofInt(rect.left); break;
    case WindowMember::Top: *value = ScriptValue::ofInt(rect.top); break;
    case WindowMember::Width: *value = ScriptValue::ofInt(rect.right - rect.left); break;
    case WindowMember::Height: *value = ScriptValue::ofInt(rect.bottom - rect.top); break;
    case WindowMember::Parent: *value = MakeWindowObject(ctx, parentOf(hwnd)); break;
    case WindowMember::ClassName: *value = className(ctx, hwnd); break;
    case WindowMember::Visible: *value = ScriptValue::ofBool(IsWindowVisible(hwnd)); break;
    case WindowMember::Enable: *value = ScriptValue::ofBool(IsWindowEnabled(hwnd)); break;
    case WindowMember::WindowState: *value = windowState(ctx, hwnd); break;
    default: return 0;
    }
    return 1;
}

int setProperty(orvet::ScriptContext& ctx, HWND hwnd, WindowMember member, const ScriptValue& value)
{
    switch (member) {
    case WindowMember::Caption:
        SetWindowTextW(hwnd, wideText(orvet::toString(ctx, value)->view()).c_str());
        break;
    case WindowMember::Left:
    case WindowMember::Top:
    case WindowMember::Width:
    case WindowMember::Height:
        setEdge(hwnd, member, value);
        break;
    case WindowMember::Parent: setParent(hwnd, value); break;
    case WindowMember::Enable: EnableWindow(hwnd, orvet::toBoolean(value)); break;
    case WindowMember::WindowState: setWindowState(hwnd, value); break;
    default: break; // read-only
    }
    return 1;
}

int eventProperty(WindowRecord& record, WindowMember member, int set, ScriptValue* value)
{
    const auto index = static_cast<std::size_t>(member) - static_cast<std::size_t>(WindowMember::OnQueryClose);
    ScriptValue& slot = record.handler(kEventSlots[index]);
    if (!set)
        *value = slot.is(ValueKind::Function) ? slot : ScriptValue::null();
    else if (value->is(ValueKind::Function))
        slot = *value;
    return 1;
}

} // namespace

int windowProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                   ScriptValue* value)
{
    const int index = orvet::MemberAtoms::of<WindowClassState>(cls).find(name);
    if (index < 0 || index > static_cast<int>(WindowMember::OnMessage) || !data)
        return 0;
    const auto member = static_cast<WindowMember>(index);
    const auto* cell = static_cast<const WindowCell*>(data);
    if (member == WindowMember::Handle) {
        // Readable even when the window is gone or was never found.
        if (!set)
            *value = ScriptValue::ofInt(static_cast<std::int64_t>(cell->handle));
        return 1;
    }
    WindowRecord* record = liveRecord(cell);
    if (!record)
        return 0;
    if (member >= WindowMember::OnQueryClose)
        return eventProperty(*record, member, set, value);
    const HWND hwnd = hwndOf(record->handle);
    return set ? setProperty(ctx, hwnd, member, *value) : getProperty(ctx, hwnd, member, value);
}

} // namespace lumbra::host
