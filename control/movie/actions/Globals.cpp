// The global functions: ASSetPropFlags, timers, number parsing, escaping.
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace lumbra::movie {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ASSetPropFlags(object, names, set, clear): names as "a,b", an array, or null for all.
Value setPropFlags(NativeCall& c)
{
    ActionObject* o = c.arg(0).toObject();
    if (!o)
        return {};
    unsigned set = unsigned(c.machine.toInt32(c.arg(2)));
    unsigned clear = c.args.size() > 3 ? unsigned(c.machine.toInt32(c.arg(3))) : 0;
    auto apply = [&](ActionObject::Property& p) { p.flags = (p.flags & ~(clear & ScriptFlags)) | (set & ScriptFlags); };
    Value names = c.arg(1);
    if (names.isNullish()) {
        for (auto& [key, p] : o->properties())
            apply(p);
        return {};
    }
    std::vector<std::u16string> list;
    if (ActionObject* array = names.toObject(); array && array->kind == ActionObject::Kind::Array) {
        for (const auto& e : array->elements)
            list.push_back(c.machine.toString(e));
    } else {
        std::u16string text = c.machine.toString(names);
        std::size_t start = 0;
        for (;;) {
            std::size_t comma = text.find(u',', start);
            list.push_back(text.substr(start, comma == std::u16string::npos ? comma : comma - start));
            if (comma == std::u16string::npos)
                break;
            start = comma + 1;
        }
    }
    for (const auto& name : list)
        if (auto* p = o->findAny(name))
            apply(*p);
    return {};
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...);
// setTimeout takes the same arguments and runs once. The id, or undefined
// when the arguments name nothing to call.
Value startTimer(NativeCall& c, bool once)
{
    Machine::Interval interval;
    std::size_t next = 1;
    ActionObject* first = c.arg(0).toObject();
    if (first && first->kind == ActionObject::Kind::Function) {
        interval.target = c.arg(0);
    } else if (c.arg(0).isReference() && c.args.size() > 1) {
        interval.target = c.arg(0);
        interval.name = c.string(1);
        next = 2;
    } else {
        return {};
    }
    if (c.machine.intervals().size() >= 1000)
        return {};
    double period = c.number(next);
    interval.period = std::isnan(period) || period < 10 ? 10 : std::min(period, 1e12);
    interval.args.assign(c.args.begin() + std::ptrdiff_t(std::min(next + 1, c.args.size())), c.args.end());
    interval.due = c.machine.playback().millisecondsSinceStart() + interval.period;
    interval.once = once;
    interval.id = c.machine.nextIntervalId();
    c.machine.intervals().push_back(interval);
    return double(interval.id);
}

Value setInterval(NativeCall& c) { return startTimer(c, false); }
Value setTimeout(NativeCall& c) { return startTimer(c, true); }

Value clearInterval(NativeCall& c)
{
    double id = c.number(0);
    std::erase_if(c.machine.intervals(), [id](const Machine::Interval& i) { return i.id == id; });
    return {};
}

bool isSpace(char16_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }

int digitValue(char16_t ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'a' && ch <= u'z')
        return ch - u'a' + 10;
    if (ch >= u'A' && ch <= u'Z')
        return ch - u'A' + 10;
    return 99;
}

Value parseInt(NativeCall& c)
{
    std::u16string s = c.string(0);
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    double r = c.args.size() > 1 && !c.arg(1).isUndefined() ? c.number(1) : 0;
    int radix = std::isnan(r) ? 0 : int(std::clamp(std::trunc(r), -1.0, 37.0));
    if (radix == 0 || radix == 16) {
        if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
            i += 2;
            radix = 16;
        } else if (radix == 0) {
            // A leading 0 means octal when every digit is one.
            radix = 10;
            if (i + 1 < s.size() && s[i] == u'0') {
                bool octal = true;
                for (std::size_t j = i; j < s.size() && !isSpace(s[j]); ++j)
                    octal = octal && s[j] >= u'0' && s[j] <= u'7';
                if (octal)
                    radix = 8;
            }
        }
    }
    if (radix < 2 || radix > 36)
        return kNaN;
    double value = 0;
    std::size_t start = i;
    for (; i < s.size() && digitValue(s[i]) < radix; ++i)
        value = value * radix + digitValue(s[i]);
    if (i == start)
        return kNaN;
    return negative ? -value : value;
}

// The longest decimal number at the start of the text, after blanks.
Value parseFloat(NativeCall& c)
{
    std::u16string s = c.string(0);
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i]))
        ++i;
    std::string ascii;
    std::size_t end = i;
    if (end < s.size() && (s[end] == u'-' || s[end] == u'+'))
        ascii += char(s[end++]);
    bool digits = false, dot = false;
    std::size_t good = 0; // characters of `ascii` that form a number
    for (; end < s.size(); ++end) {
        char16_t ch = s[end];
        if (ch >= u'0' && ch <= u'9') {
            digits = true;
        } else if (ch == u'.' && !dot) {
            dot = true;
        } else {
            break;
        }
        ascii += char(ch);
        if (digits)
            good = ascii.size();
    }
    if (!digits)
        return kNaN;
    // An exponent counts only with at least one digit after it.
    if (end < s.size() && (s[end] == u'e' || s[end] == u'E')) {
        std::size_t at = end + 1;
        std::string exponent = "e";
        if (at < s.size() && (s[at] == u'-' || s[at] == u'+'))
            exponent += char(s[at++]);
        bool any = false;
        for (; at < s.size() && s[at] >= u'0' && s[at] <= u'9'; ++at) {
            exponent += char(s[at]);
            any = true;
        }
        if (any) {
            ascii.resize(good);
            ascii += exponent;
            good = ascii.size();
        }
    }
    ascii.resize(good);
    return std::strtod(ascii.c_str(), nullptr);
}

Value isNaN(NativeCall& c) { return std::isnan(c.number(0)); }
Value isFinite(NativeCall& c) { return std::isfinite(c.number(0)); }

// escape: everything but letters and digits as %XX of its UTF-8 bytes (from
// version 6; older movies escape their single-byte code page).
Value escape(NativeCall& c)
{
    std::u16string s = c.string(0);
    std::string bytes = c.machine.version() >= 6 ? encodeUtf8(s) : text::encodeWindows1252(s);
    static const char hex[] = "0123456789ABCDEF";
    std::u16string out;
    for (unsigned char b : bytes) {
        if ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')) {
            out += char16_t(b);
        } else {
            out += u'%';
            out += char16_t(hex[b >> 4]);
            out += char16_t(hex[b & 15]);
        }
    }
    return out;
}

Value unescape(NativeCall& c)
{
    return decodePercentEscapes(c.string(0), c.machine.version() >= 6, false);
}

Value getVersion(NativeCall&) { return std::u16string(kPlayerVersion); }

} // namespace

void installGlobals(Machine& m)
{
    ActionObject* g = m.global();
    m.method(g, u"ASSetPropFlags", setPropFlags);
    m.method(g, u"setInterval", setInterval);
    m.method(g, u"clearInterval", clearInterval);
    m.method(g, u"setTimeout", setTimeout);
    m.method(g, u"clearTimeout", clearInterval);
    m.method(g, u"getVersion", getVersion);
    m.method(g, u"parseInt", parseInt);
    m.method(g, u"parseFloat", parseFloat);
    m.method(g, u"isNaN", isNaN);
    m.method(g, u"isFinite", isFinite);
    m.method(g, u"escape", escape);
    m.method(g, u"unescape", unescape);
    m.method(g, u"updateAfterEvent", nativeUndefined);
    g->set(u"$version", std::u16string(kPlayerVersion), DontEnum);
    g->set(u"NaN", kNaN, DontEnum | DontDelete);
    g->set(u"Infinity", std::numeric_limits<double>::infinity(), DontEnum | DontDelete);
}

} // namespace lumbra::movie
