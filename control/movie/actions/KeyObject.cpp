// Key: the key codes, the state of the keyboard as the host reports it, and
// listeners told of onKeyDown / onKeyUp.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value isDown(NativeCall& c)
{
    double code = c.number(0);
    return code >= 0 && code < 256 && c.machine.keys().down[std::size_t(code)];
}

Value getCode(NativeCall& c) { return double(c.machine.keys().lastCode); }
Value getAscii(NativeCall& c) { return double(c.machine.keys().lastAscii); }

Value isToggled(NativeCall& c)
{
    double code = c.number(0);
    return code >= 0 && code < 256 && c.machine.keys().toggled[std::size_t(code)];
}

} // namespace

void installKey(Machine& m)
{
    ActionObject* key = m.newObject();
    m.global()->set(u"Key", Value(key), DontEnum);
    makeBroadcaster(m, key);
    const std::pair<const char16_t*, double> codes[] = {
        {u"BACKSPACE", 8}, {u"CAPSLOCK", 20}, {u"CONTROL", 17}, {u"DELETEKEY", 46}, {u"DOWN", 40},
        {u"END", 35}, {u"ENTER", 13}, {u"ESCAPE", 27}, {u"HOME", 36}, {u"INSERT", 45}, {u"LEFT", 37},
        {u"PGDN", 34}, {u"PGUP", 33}, {u"RIGHT", 39}, {u"SHIFT", 16}, {u"SPACE", 32}, {u"TAB", 9}, {u"UP", 38},
        {u"ALT", 18}};
    for (auto [name, code] : codes)
        key->set(name, code, DontEnum | DontDelete | ReadOnly);
    m.method(key, u"isDown", isDown);
    m.method(key, u"getCode", getCode);
    m.method(key, u"getAscii", getAscii);
    m.method(key, u"isToggled", isToggled);
    m.method(key, u"isAccessible", nativeTrue); // no security sandbox keeps keys from a local movie
}

} // namespace lumbra::movie
