// System: what the player reports about itself and the machine, the
// clipboard, the input method editor (none here), and the security and
// settings calls, which a standalone player answers by doing nothing.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

// The version as the server string carries it: spaces and commas escaped.
std::u16string escapedVersion()
{
    std::u16string out;
    for (char16_t ch : kPlayerVersion)
        out += ch == u' ' ? u"%20" : ch == u',' ? u"%2C" : std::u16string(1, ch);
    return out;
}

void capabilities(Machine& m, ActionObject* system)
{
    ActionObject* caps = m.newObject();
    system->set(u"capabilities", Value(caps), DontEnum);
    struct Entry {
        const char16_t* name;
        Value value;
    };
    const Entry entries[] = {
        {u"avHardwareDisable", false},
        {u"hasAccessibility", true},
        {u"hasAudio", true},
        {u"hasAudioEncoder", true},
        {u"hasEmbeddedVideo", true},
        {u"hasIME", true},
        {u"hasMP3", true},
        {u"hasPrinting", true},
        {u"hasScreenBroadcast", false},
        {u"hasScreenPlayback", false},
        {u"hasStreamingAudio", true},
        {u"hasStreamingVideo", true},
        {u"hasVideoEncoder", true},
        {u"isDebugger", false},
        {u"language", u"en"},
        {u"localFileReadDisable", false},
        {u"manufacturer", u"Macromedia Windows"},
        {u"os", u"Windows XP"},
        {u"pixelAspectRatio", 1},
        {u"playerType", u"StandAlone"},
        {u"screenColor", u"color"},
        {u"screenDPI", 72},
        {u"screenResolutionX", 1024},
        {u"screenResolutionY", 768},
        {u"version", std::u16string(kPlayerVersion)},
    };
    for (const auto& [name, value] : entries)
        caps->set(name, value);
    // The query string the reference player reports for its servers.
    caps->set(u"serverString",
              u"A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=t&PR=t&SP=f&SB=f&DEB=f&V=" + escapedVersion() +
                  u"&M=Macromedia%20Windows&R=1024x768&DP=72&COL=color&AR=1.0&OS=Windows%20XP&L=en&PT=StandAlone"
              u"&AVD=f&LFD=f&WD=f&IME=t");
}

// System.setClipboard(text): the host's clipboard, else kept by the machine.
Value setClipboard(NativeCall& c)
{
    if (c.args.empty())
        return false;
    std::u16string text = c.string(0);
    if (const auto& clipboard = c.machine.playback().hooks().clipboard)
        clipboard(text);
    else
        c.machine.clipboard = std::move(text);
    return true;
}

Value unknownMode(NativeCall&) { return u"UNKNOWN"; }

} // namespace

// System.IME: the constants of the conversion modes; with no input method
// editor at hand it is never enabled and every request fails.
void installIme(Machine& m)
{
    const auto* found = m.global()->find(u"System");
    ActionObject* system = found ? found->value.toObject() : nullptr;
    if (!system)
        return;
    ActionObject* ime = m.newObject();
    system->set(u"IME", Value(ime), DontEnum);
    for (const char16_t* mode : {u"ALPHANUMERIC_FULL", u"ALPHANUMERIC_HALF", u"CHINESE", u"JAPANESE_HIRAGANA",
                                 u"JAPANESE_KATAKANA_FULL", u"JAPANESE_KATAKANA_HALF", u"KOREAN", u"UNKNOWN"})
        ime->set(mode, Value(mode), DontDelete | ReadOnly);
    makeBroadcaster(m, ime);
    for (const char16_t* name : {u"getEnabled", u"setEnabled", u"setConversionMode", u"setCompositionString",
                                 u"doConversion"})
        m.method(ime, name, nativeFalse);
    m.method(ime, u"getConversionMode", unknownMode);
}

void installSystem(Machine& m)
{
    ActionObject* system = m.newObject();
    m.global()->set(u"System", Value(system), DontEnum);
    capabilities(m, system);
    ActionObject* security = m.newObject();
    system->set(u"security", Value(security), DontEnum);
    for (const char16_t* name : {u"allowDomain", u"allowInsecureDomain", u"loadPolicyFile"})
        m.method(security, name, nativeUndefined);
    m.method(system, u"showSettings", nativeUndefined);
    // A standalone player trusts the files it plays.
    security->set(u"sandboxType", u"localTrusted", DontEnum);
    m.method(system, u"setClipboard", setClipboard);
    system->set(u"useCodepage", false, DontEnum);
    system->set(u"exactSettings", m.version() >= 7, DontEnum);
}

} // namespace lumbra::movie
