#include "control/movie/actions/DataLoading.h"

#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"

namespace lumbra::movie {

namespace {

bool useCodepage(Machine& m)
{
    Value system = m.get(Value(m.global()), u"System");
    return !system.isNullish() && m.toBoolean(m.get(system, u"useCodepage"));
}

// Percent escapes are bytes of the movie's text encoding.
std::u16string decodeComponent(Machine& m, std::u16string_view text)
{
    return decodePercentEscapes(text, m.version() >= 6 && !useCodepage(m), true);
}

// The arrival of loadVariables: the clip's variables, then its data event.
Value variablesArrived(NativeCall& c)
{
    auto clip = c.thisValue.toClip();
    if (!clip || !c.arg(0).isString())
        return {};
    for (auto& [name, value] : decodeVariables(c.machine, c.arg(0).toString()))
        clip->setVariable(name, Value(std::move(value)));
    Playback& pb = c.machine.playback();
    pb.dirty = true;
    pb.queueEvent(*clip, ClipData, u"onData");
    return {};
}

// The arrival of XML.load and LoadVars.load: the counts, then onData with the text.
Value loadArrived(NativeCall& c)
{
    if (ActionObject* o = c.self()) {
        o->set(u"_bytesLoaded", c.arg(1), DontEnum);
        o->set(u"_bytesTotal", c.arg(1), DontEnum);
    }
    Value text = c.arg(0);
    c.machine.callMethod(c.thisValue, u"onData", std::span<const Value>(&text, 1));
    return {};
}

Value ownMember(NativeCall& c, std::u16string_view name)
{
    ActionObject* o = c.self();
    const auto* p = o ? o->find(name) : nullptr;
    return p ? p->value : Value();
}

} // namespace

void loadLater(Machine& m, const Value& target, NativeFunction deliver, const std::u16string& url)
{
    const HostHooks& hooks = m.playback().hooks();
    Value text;
    Value size;
    if (!url.empty() && hooks.readFile)
        if (auto bytes = hooks.readFile(url)) {
            text = decodeLoadedText(m, {reinterpret_cast<const char*>(bytes->data()), bytes->size()});
            size = double(bytes->size());
        }
    m.scheduleArrival({Value(m.newFunction(deliver)), target, {text, size}});
}

std::u16string decodeLoadedText(Machine& m, std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return decodeUtf8(bytes.substr(3));
    bool little = bytes.starts_with("\xFF\xFE");
    if (little || bytes.starts_with("\xFE\xFF")) {
        std::u16string out;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            auto lo = std::uint8_t(bytes[little ? i : i + 1]);
            auto hi = std::uint8_t(bytes[little ? i + 1 : i]);
            out.push_back(char16_t(hi << 8 | lo));
        }
        return out;
    }
    if (m.version() >= 6 && !useCodepage(m))
        return decodeUtf8(bytes);
    return decodeWindows1252(bytes);
}

std::vector<std::pair<std::u16string, std::u16string>> decodeVariables(Machine& m, std::u16string_view text)
{
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'&', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view pair = text.substr(start, end - start);
        std::size_t equals = pair.find(u'=');
        std::u16string name = decodeComponent(m, pair.substr(0, equals));
        if (!name.empty())
            pairs.emplace_back(std::move(name), equals == std::u16string_view::npos
                                                    ? std::u16string()
                                                    : decodeComponent(m, pair.substr(equals + 1)));
        start = end + 1;
    }
    return pairs;
}

std::u16string encodeVariable(Machine& m, std::u16string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    bool utf8 = m.version() >= 6 && !useCodepage(m);
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
            out.push_back(c);
            continue;
        }
        // A surrogate pair is one character.
        std::size_t length = (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                              text[i + 1] < 0xE000)
                                 ? 2
                                 : 1;
        std::u16string_view one = text.substr(i, length);
        i += length - 1;
        std::string bytes = utf8 ? encodeUtf8(std::u16string(one)) : text::encodeWindows1252(one);
        for (unsigned char b : bytes) {
            out.push_back(u'%');
            out.push_back(char16_t(kHex[b >> 4]));
            out.push_back(char16_t(kHex[b & 15]));
        }
    }
    return out;
}

void startLoad(Machine& m, const Value& target, const std::u16string& url)
{
    target.toObject()->set(u"loaded", false, DontEnum);
    loadLater(m, target, loadArrived, url);
}

namespace {

Value getBytesLoaded(NativeCall& c) { return ownMember(c, u"_bytesLoaded"); }
Value getBytesTotal(NativeCall& c) { return ownMember(c, u"_bytesTotal"); }

Value load(NativeCall& c)
{
    if (!c.self() || c.args.empty())
        return false;
    startLoad(c.machine, c.thisValue, c.string(0));
    return true;
}

// Nothing goes to a server: a local file is read as if it had answered.
Value sendAndLoad(NativeCall& c)
{
    if (!c.arg(1).toObject())
        return false;
    startLoad(c.machine, c.arg(1), c.string(0));
    return true;
}

Value send(NativeCall&) { return false; }

} // namespace

void addLoadingMethods(Machine& m, ActionObject* proto)
{
    m.method(proto, u"load", load);
    m.method(proto, u"send", send);
    m.method(proto, u"sendAndLoad", sendAndLoad);
    m.method(proto, u"getBytesLoaded", getBytesLoaded);
    m.method(proto, u"getBytesTotal", getBytesTotal);
    m.method(proto, u"addRequestHeader", nativeUndefined);
    m.method(proto, u"onLoad", nativeUndefined);
    proto->set(u"contentType", u"application/x-www-form-urlencoded", DontEnum);
}

void loadVariables(Machine& m, DisplayObject& from, const std::u16string& url, const std::u16string& target)
{
    if (auto clip = m.playback().resolveTarget(from, target))
        loadVariablesInto(m, clip, url);
}

void loadVariablesInto(Machine& m, const std::shared_ptr<DisplayObject>& clip, const std::u16string& url)
{
    loadLater(m, Value(clip), variablesArrived, url);
}

} // namespace lumbra::movie
