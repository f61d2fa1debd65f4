#include "FakePlayer.h"

#include <filesystem>

#include "script/runtime/AnsiCodec.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::test {

namespace {

std::string text(const ControlValue& v)
{
    if (auto* s = std::get_if<std::u16string>(&v))
        return orvet::utf16ToAnsi(*s);
    if (auto* i = std::get_if<std::int32_t>(&v))
        return std::to_string(*i);
    if (auto* b = std::get_if<bool>(&v))
        return *b ? "true" : "false";
    if (auto* d = std::get_if<double>(&v))
        return std::to_string(*d);
    return "";
}

std::string iconName(const PlayerIcon* icon)
{
    return icon ? static_cast<const FakeIcon*>(icon)->name : "none";
}

} // namespace

std::optional<ControlValue> FakeControl::get(std::u16string_view property)
{
    auto found = properties.find(std::u16string(property));
    if (failing.count(std::u16string(property)) || found == properties.end())
        return std::nullopt;
    return found->second;
}

bool FakeControl::put(std::u16string_view property, const ControlValue& value)
{
    log.push_back(orvet::utf16ToAnsi(property) + "=" + text(value));
    if (failing.count(std::u16string(property)))
        return false;
    properties[std::u16string(property)] = value;
    return true;
}

std::optional<ControlValue> FakeControl::call(std::u16string_view method, std::span<const ControlValue> arguments)
{
    std::string entry = orvet::utf16ToAnsi(method) + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i)
        entry += (i ? "," : "") + text(arguments[i]);
    log.push_back(entry + ")");
    if (failing.count(std::u16string(method)))
        return std::nullopt;
    if (method == u"GetVariable") {
        auto found = variables.find(std::get<std::u16string>(arguments[0]));
        if (found == variables.end())
            return std::nullopt;
        return ControlValue(found->second);
    }
    if (method == u"SetVariable") {
        variables[std::get<std::u16string>(arguments[0])] = std::get<std::u16string>(arguments[1]);
        return ControlValue();
    }
    auto result = results.find(std::u16string(method));
    return result == results.end() ? ControlValue() : result->second;
}

FakePlayer::FakePlayer()
{
    projectSettings.scaleMode = 1;
    projectSettings.contextMenuFlags = 0;
}

bool FakePlayer::fire(unsigned id)
{
    auto found = timers.find(id);
    if (found == timers.end())
        return false;
    // A copy: the tick may stop its own timer.
    auto tick = found->second;
    tick(id);
    return true;
}

std::string FakePlayer::additionalFile(std::string_view name)
{
    auto found = additionalFiles.find(std::string(name));
    return found == additionalFiles.end() ? std::string() : found->second;
}

std::optional<std::string> FakePlayer::readProfile(std::string_view section, std::string_view entry)
{
    auto found = profile.find(std::string(section) + "/" + std::string(entry));
    if (found == profile.end())
        return std::nullopt;
    return found->second;
}

bool FakePlayer::writeProfile(std::string_view section, std::string_view entry, std::string_view value)
{
    profile[std::string(section) + "/" + std::string(entry)] = value;
    return true;
}

std::optional<std::string> FakePlayer::readClassesRootDefault(std::string_view key)
{
    auto found = classesRoot.find(std::string(key));
    if (found == classesRoot.end())
        return std::nullopt;
    return found->second;
}

bool FakePlayer::writeClassesRootDefault(std::string_view key, std::string_view value)
{
    classesRoot[std::string(key)] = value;
    return true;
}

unsigned FakePlayer::startTimer(unsigned, std::function<void(unsigned)> tick)
{
    timers[++nextTimer] = std::move(tick);
    return nextTimer;
}

bool FakePlayer::setWindowIcon(std::string_view path)
{
    if (!loadableFiles.count(std::string(path)))
        return false;
    windowIcons.emplace_back(path);
    return true;
}

std::intptr_t FakePlayer::sendMessage(std::intptr_t window, unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    sent.push_back({window, message, wParam, lParam});
    return static_cast<std::intptr_t>(message) + 1;
}

bool FakePlayer::setCustomCursor(std::string_view path)
{
    if (!loadableFiles.count(std::string(path)))
        return false;
    cursors.emplace_back(path);
    return true;
}

std::string FakePlayer::keyName(std::uint16_t code, bool extended)
{
    return std::string(extended ? "Ext" : "") + static_cast<char>(code);
}

std::unique_ptr<PlayerIcon> FakePlayer::loadIcon(std::string_view path)
{
    if (!loadableFiles.count(std::string(path)))
        return nullptr;
    return std::make_unique<FakeIcon>(std::string(path));
}

bool FakePlayer::addTrayIcon(const TrayIcon& icon)
{
    trayCalls.push_back("add " + iconName(icon.icon) + " " + std::string(icon.tip));
    return true;
}

bool FakePlayer::modifyTrayIcon(const TrayIcon& icon)
{
    trayCalls.push_back("modify " + iconName(icon.icon) + " " + std::string(icon.tip));
    return true;
}

bool FakePlayer::removeTrayIcon()
{
    trayCalls.push_back("remove");
    return true;
}

bool FakePlayer::showBalloon(const Balloon& balloon)
{
    trayCalls.push_back("balloon " + std::string(balloon.title) + ": " + std::string(balloon.text) + " " +
                        std::to_string(balloon.timeout) + " " + std::to_string(balloon.icon));
    return true;
}

orvet::ScriptValue FakePlayer::windowObject(orvet::ScriptContext& ctx, std::intptr_t window)
{
    if (!windowClass)
        return orvet::ScriptValue();
    ++windowObjectsMade;
    fakeWindowAtom = ctx.intern("fakeWindow");
    orvet::ScriptObject* object = orvet::newObject(ctx);
    orvet::setProperty(ctx, object, *fakeWindowAtom, orvet::ScriptValue::ofInt(window));
    return orvet::ScriptValue::ofObject(object);
}

std::optional<std::intptr_t> FakePlayer::windowOfObject(const orvet::ScriptValue& object)
{
    orvet::ScriptValue handle;
    if (!fakeWindowAtom || !object.is(orvet::ValueKind::Object) ||
        !orvet::getProperty(object.object, *fakeWindowAtom, handle) ||
        !handle.is(orvet::ValueKind::Integer))
        return std::nullopt;
    return static_cast<std::intptr_t>(handle.integer);
}

bool FakePlayer::setRightButtonHandler(const orvet::ScriptValue& object, const orvet::ScriptValue& handler)
{
    const std::optional<std::intptr_t> window = windowOfObject(object);
    if (!window)
        return false;
    rightButtonHandlers[*window] = handler.is(orvet::ValueKind::Function) ? "function" : "none";
    return true;
}

} // namespace lumbra::test
