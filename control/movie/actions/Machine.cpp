#include "control/movie/actions/Machine.h"

#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/SharedObjectStore.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

constexpr int kMaxCallDepth = 256;
// Prototype chains are followed this far; a longer one is a cycle.
constexpr int kMaxChain = 256;
// Array indices beyond this are kept as plain properties.
constexpr double kMaxDenseIndex = 1 << 20;

// "3" but not "03", "3.0" or "-3".
std::optional<std::size_t> arrayIndex(std::u16string_view name)
{
    if (name.empty() || name.size() > 7 || (name.size() > 1 && name[0] == u'0'))
        return std::nullopt;
    std::size_t n = 0;
    for (char16_t c : name) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c - u'0');
    }
    return n < kMaxDenseIndex ? std::optional<std::size_t>(n) : std::nullopt;
}

class CallGuard {
public:
    explicit CallGuard(Machine& m) : m_(m) { m_.enterCall(); }
    ~CallGuard() { m_.leaveCall(); }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;

private:
    Machine& m_;
};

} // namespace

double NativeCall::number(std::size_t i) const { return machine.toNumber(arg(i)); }
std::u16string NativeCall::string(std::size_t i) const { return machine.toString(arg(i)); }

Value nativeUndefined(NativeCall&) { return {}; }
Value nativeNull(NativeCall&) { return Value::null(); }
Value nativeFalse(NativeCall&) { return false; }
Value nativeTrue(NativeCall&) { return true; }
Value constructInstance(NativeCall& c) { return c.constructing ? c.thisValue : Value(); }

Machine::Machine(Playback& playback, int version)
    : pb_(playback), version_(version), heap_(version),
      sharedObjects_(std::make_unique<SharedObjectStore>(playback.hooks().sharedObjects))
{
    protos_.object = heap_.make(ActionObject::Kind::Plain, nullptr);
    protos_.function = heap_.make(ActionObject::Kind::Plain, protos_.object);
    global_ = heap_.make(ActionObject::Kind::Plain, protos_.object);
    installObject(*this);
    installFunction(*this);
    installError(*this);
    installArray(*this);
    installString(*this);
    installNumber(*this);
    installBoolean(*this);
    installXmlNode(*this);
    installXml(*this);
    installLoadVars(*this);
    installSharedObject(*this);
    installSound(*this);
    installSystem(*this);
    installMath(*this);
    installDate(*this);
    installMovieClip(*this);
    installGlobals(*this);
    installBroadcaster(*this);
    installKey(*this);
    installMouse(*this);
    installStage(*this);
    installClipDrag(*this);
    installTextField(*this);
    installTextFormat(*this);
    installStyleSheet(*this);
    installSelection(*this);
    installMovieClipLoader(*this); // after installBroadcaster
    installPoint(*this);
    installRectangle(*this);
    installMatrix(*this);
    installColorTransform(*this);
    installButton(*this);
    installTransform(*this);
    installFilters(*this);
    installClipEffects(*this);
    installBitmapData(*this);
    installLocalConnection(*this);
    installNetConnection(*this);
    installNetStream(*this);
    installVideo(*this);
    installXmlSocket(*this);
    installCamera(*this);
    installMicrophone(*this);
    installPrintJob(*this);
    installFileReference(*this);
    installTextRenderer(*this);
    installAccessibility(*this);
    installCustomActions(*this);
    installExternalInterface(*this);
    installIme(*this);
    installColor(*this);
    installContextMenu(*this);
    installTextSnapshot(*this);
}

Machine::~Machine() { closeLocalConnections(*this); }

// --- making objects ------------------------------------------------------------------

ActionObject* Machine::newObject()
{
    return heap_.make(ActionObject::Kind::Plain, protos_.object);
}

ActionObject* Machine::newArray(std::vector<Value> elements)
{
    ActionObject* array = heap_.make(ActionObject::Kind::Array, protos_.array);
    array->elements = std::move(elements);
    return array;
}

ActionObject* Machine::newFunction(NativeFunction native, ActionObject* prototype)
{
    ActionObject* function = heap_.make(ActionObject::Kind::Function, protos_.function);
    function->native = native;
    if (prototype) {
        function->set(u"prototype", Value(prototype), DontEnum | DontDelete);
        prototype->set(u"constructor", Value(function), DontEnum | DontDelete);
    }
    return function;
}

ActionObject* Machine::method(ActionObject* on, std::u16string_view name, NativeFunction native)
{
    ActionObject* function = newFunction(native);
    on->set(name, Value(function), DontEnum | DontDelete);
    return function;
}

ActionObject* Machine::defineClass(std::u16string_view name, NativeFunction constructor, ActionObject* prototype)
{
    ActionObject* function = newFunction(constructor, prototype);
    global_->set(name, Value(function), DontEnum);
    return function;
}

// --- members ---------------------------------------------------------------------------

ActionObject* Machine::wrapperPrototype(const Value& value)
{
    switch (value.type()) {
    case Value::Type::String: return protos_.string;
    case Value::Type::Number: return protos_.number;
    case Value::Type::Boolean: return protos_.boolean;
    case Value::Type::Clip: {
        // A text field has the TextField prototype; a clip of a registered
        // class has that class's prototype.
        auto clip = value.toClip();
        if (!clip)
            return protos_.clip;
        if (clip->textField)
            return protos_.textField;
        if (clip->button() && protos_.button)
            return protos_.button;
        if (clip->video() && protos_.video)
            return protos_.video;
        ActionObject* own = clip->prototype.toObject();
        return own ? own : protos_.clip;
    }
    default: return nullptr;
    }
}

ActionObject* Machine::prototypeOf(const Value& value)
{
    if (ActionObject* object = value.toObject())
        return object->proto;
    return wrapperPrototype(value);
}

// What an object or clip holds itself, before its prototypes.
Value Machine::getOwnOrClip(const Value& object, std::u16string_view name, bool& found)
{
    found = true;
    if (ActionObject* o = object.toObject()) {
        if (o->kind == ActionObject::Kind::Array) {
            if (name == u"length")
                return double(o->elements.size());
            if (auto index = arrayIndex(name))
                return *index < o->elements.size() ? o->elements[*index] : Value();
        }
        if (name == u"__proto__")
            return Value(o->proto);
        if (const auto* p = o->find(name))
            return read(*p, object, o);
        found = false;
        return {};
    }
    if (auto clip = object.toClip()) {
        if (const Value* v = clip->variable(name))
            return *v;
        if (auto child = clip->childNamed(name))
            return Value(child);
        if (auto property = propertyIndex(name))
            return getProperty(pb_, *clip, *property);
        if (equalsFolded(name, u"_parent"))
            return clip->parent() ? Value(clip->parent()->shared_from_this()) : Value();
        if (auto root = pb_.rootNamed(*clip, name))
            return *root ? Value(*root) : Value();
        if (equalsFolded(name, u"_lockroot"))
            return clip->lockRoot;
        if (equalsFolded(name, u"_global"))
            return Value(global_);
        if (name == u"__proto__")
            return Value(wrapperPrototype(object));
        found = false;
        return {};
    }
    if (object.isString() && name == u"length")
        return double(object.toString().size());
    found = false;
    return {};
}

Value Machine::get(const Value& object, std::u16string_view name)
{
    ActionObject* holder = nullptr;
    return get(object, name, holder);
}

Value Machine::get(const Value& object, std::u16string_view name, ActionObject*& holder)
{
    holder = object.toObject();
    if (holder && holder->kind == ActionObject::Kind::Super) {
        // super.x: looked up from the prototype above the method's own; an
        // accessor found there runs on the instance.
        const Value self = holder->primitive;
        holder = holder->proto;
        for (int i = 0; holder && i < kMaxChain; ++i, holder = holder->proto)
            if (const auto* p = holder->find(name))
                return read(*p, self, holder);
        holder = nullptr;
        return {};
    }
    bool found = false;
    Value own = getOwnOrClip(object, name, found);
    if (found)
        return own;
    holder = prototypeOf(object);
    for (int i = 0; holder && i < kMaxChain; ++i, holder = holder->proto) {
        if (holder->kind == ActionObject::Kind::Array || name == u"__proto__") {
            Value v = getOwnOrClip(Value(holder), name, found);
            if (found)
                return v;
        } else if (const auto* p = holder->find(name)) {
            return read(*p, object, holder);
        }
    }
    holder = nullptr;
    return resolve(object, name);
}

Value Machine::resolve(const Value& object, std::u16string_view name)
{
    constexpr std::u16string_view kResolve = u"__resolve";
    if (!object.isObject() || (version() >= 7 ? name == kResolve : equalsFolded(name, kResolve)))
        return {};
    Value resolver = get(object, kResolve);
    if (!resolver.isObject())
        return {};
    Value nameValue{std::u16string(name)};
    return call(resolver, object, std::span<const Value>(&nameValue, 1));
}

Value Machine::watched(const std::function<Watchpoint*()>& find, const Value& self, std::u16string_view name,
                       Value old, Value value)
{
    Watchpoint* watch = find();
    if (!watch || watch->running)
        return value;
    Value args[] = {Value(std::u16string(name)), std::move(old), std::move(value), watch->data};
    Value callback = watch->callback;
    watch->running = true;
    // The callback may unwatch or rewatch: find the watch again afterwards.
    auto done = [&] {
        if (Watchpoint* after = find())
            after->running = false;
    };
    try {
        Value stored = call(callback, self, args);
        done();
        return stored;
    } catch (...) {
        done();
        throw;
    }
}

// An accessor's functions run as methods of the object that holds them, so
// super works inside them.
Value Machine::read(const ActionObject::Property& property, const Value& self, ActionObject* holder)
{
    if (!(property.flags & Accessor))
        return property.value;
    ActionObject* pair = property.value.toObject();
    if (!pair || pair->elements.empty())
        return {};
    return call(pair->elements[0], self, {}, holder);
}

bool Machine::writeAccessor(ActionObject* object, std::u16string_view name, const Value& self, const Value& value)
{
    for (int i = 0; object && i < kMaxChain; ++i, object = object->proto) {
        const auto* p = object->find(name);
        if (!p)
            continue;
        if (!(p->flags & Accessor))
            return false;
        ActionObject* pair = p->value.toObject();
        if (pair && pair->elements.size() > 1)
            call(pair->elements[1], self, std::span<const Value>(&value, 1), object);
        return true;
    }
    return false;
}

void Machine::set(const Value& object, std::u16string_view name, Value value)
{
    if (ActionObject* o = object.toObject(); o && o->kind == ActionObject::Kind::Super) {
        // super.x = v: an accessor above the method's prototype runs on the
        // instance; anything else is stored on the instance.
        if (writeAccessor(o->proto, name, o->primitive, value))
            return;
        return set(o->primitive, name, std::move(value));
    }
    if (ActionObject* o = object.toObject()) {
        if (o->kind == ActionObject::Kind::Array) {
            if (name == u"length") {
                double n = toNumber(value);
                if (n >= 0 && n < kMaxDenseIndex)
                    o->elements.resize(std::size_t(n));
                return;
            }
            if (auto index = arrayIndex(name)) {
                if (*index >= o->elements.size())
                    o->elements.resize(*index + 1);
                o->elements[*index] = std::move(value);
                return;
            }
        }
        if (name == u"__proto__") {
            ActionObject* proto = value.toObject();
            for (ActionObject* p = proto; p; p = p->proto)
                if (p == o)
                    return; // no cycles
            o->proto = proto;
            return;
        }
        if (!o->watches.empty()) {
            const auto* own = o->find(name);
            Value old = own ? read(*own, object, o) : Value(); // an accessor's getter gives the old value
            value = watched([&] { return o->watchOf(name); }, object, name, std::move(old), std::move(value));
        }
        if (writeAccessor(o, name, object, value))
            return;
        o->set(name, std::move(value));
        return;
    }
    if (auto clip = object.toClip()) {
        if (clip->textField && writeAccessor(protos_.textField, name, object, value))
            return;
        // Native properties of clips (filters, transform...) and a class's own accessors.
        if (!clip->textField && writeAccessor(wrapperPrototype(object), name, object, value))
            return;
        if (name == u"__proto__") {
            clip->prototype = value.isObject() ? value : Value();
            return;
        }
        if (equalsFolded(name, u"_lockroot")) { // a flag of the clip that outlives loading into it
            clip->lockRoot = toBoolean(value);
            return;
        }
        if (auto property = propertyIndex(name); property && !clip->variable(name)) {
            setProperty(pb_, *clip, *property, value);
        } else {
            if (!clip->watches.empty()) {
                const Value* own = clip->variable(name);
                value = watched([&] { return clip->watchOf(name); }, object, name, own ? *own : Value(),
                                std::move(value));
            }
            clip->setVariable(name, std::move(value));
        }
        pb_.dirty = true;
    }
}

bool Machine::remove(const Value& object, std::u16string_view name)
{
    if (ActionObject* o = object.toObject()) {
        if (o->kind == ActionObject::Kind::Array)
            if (auto index = arrayIndex(name); index && *index < o->elements.size()) {
                o->elements[*index] = Value();
                return true;
            }
        return o->remove(name);
    }
    if (auto clip = object.toClip())
        if (clip->variable(name)) {
            clip->removeVariable(name);
            return true;
        }
    return false;
}

bool Machine::has(const Value& object, std::u16string_view name)
{
    bool found = false;
    getOwnOrClip(object, name, found);
    if (found)
        return true;
    ActionObject* p = prototypeOf(object);
    for (int i = 0; p && i < kMaxChain; ++i, p = p->proto)
        if (p->find(name))
            return true;
    return false;
}

bool Machine::hasElement(const ActionObject& array, std::u16string_view name)
{
    auto index = arrayIndex(name);
    return index && *index < array.elements.size();
}

bool Machine::instanceOf(const Value& value, const Value& constructor)
{
    ActionObject* proto = get(constructor, u"prototype").toObject();
    if (!proto || !value.isReference())
        return false;
    ActionObject* p = prototypeOf(value);
    for (int i = 0; p && i < kMaxChain; ++i, p = p->proto)
        if (p == proto || implements(p, proto))
            return true;
    return false;
}

// The interfaces an AS2 class's prototype names (ImplementsOp) and those they
// extend in turn, each interface visited once, so crafted loops end.
bool Machine::implements(ActionObject* prototype, ActionObject* face)
{
    std::vector<ActionObject*> pending{prototype}, seen{prototype};
    while (!pending.empty()) {
        ActionObject* p = pending.back();
        pending.pop_back();
        const auto* list = p->find(u"__interfaces__");
        ActionObject* array = list ? list->value.toObject() : nullptr;
        if (!array)
            continue;
        for (const Value& named : array->elements) {
            ActionObject* namedProto = get(named, u"prototype").toObject();
            if (namedProto == face)
                return true;
            if (namedProto && std::ranges::find(seen, namedProto) == seen.end()) {
                seen.push_back(namedProto);
                pending.push_back(namedProto);
            }
        }
    }
    return false;
}

// --- calls -----------------------------------------------------------------------------

void Machine::enterCall()
{
    if (!enabled_)
        throw ScriptAbort{};
    if (++depth_ > kMaxCallDepth) {
        --depth_;
        enabled_ = false;
        if (pb_.hooks().trace)
            pb_.hooks().trace(u"256 levels of recursion were exceeded in one action list.\n"
                              u"This is probably an infinite loop.\n"
                              u"Further execution of actions has been disabled in this movie.");
        throw ScriptAbort{};
    }
}

Value Machine::call(const Value& function, const Value& thisValue, std::span<const Value> args, ActionObject* home)
{
    ActionObject* f = function.toObject();
    if (!f || f->kind != ActionObject::Kind::Function)
        return {};
    CallGuard guard(*this);
    if (f->native) {
        NativeCall nc{*this, thisValue, args, f, false, currentClip()};
        return f->native(nc);
    }
    return runFunction(*this, *f, thisValue, args, home);
}

Value Machine::callMethod(const Value& object, std::u16string_view name, std::span<const Value> args)
{
    ActionObject* holder = nullptr;
    Value function = get(object, name, holder);
    return call(function, object, args, holder);
}

Value Machine::construct(const Value& constructor, std::span<const Value> args)
{
    ActionObject* f = constructor.toObject();
    if (!f || f->kind != ActionObject::Kind::Function)
        return {};
    ActionObject* proto = get(constructor, u"prototype").toObject();
    ActionObject* object = heap_.make(ActionObject::Kind::Plain, proto ? proto : protos_.object);
    object->set(u"__constructor__", constructor, DontEnum);
    if (version() < 7)
        object->set(u"constructor", constructor, DontEnum);
    Value self(object);
    Value result;
    {
        CallGuard guard(*this);
        if (f->native) {
            NativeCall nc{*this, self, args, f, true, currentClip()};
            result = f->native(nc);
        } else {
            result = runFunction(*this, *f, self, args, proto);
        }
    }
    return result.isObject() ? result : self;
}

void Machine::pushClip(std::shared_ptr<DisplayObject> clip)
{
    versions_.push_back(clip ? pb_.movieOf(*clip).info.version : version_);
    heap_.setVersion(versions_.back());
    clips_.push_back(std::move(clip));
}

void Machine::popClip()
{
    clips_.pop_back();
    versions_.pop_back();
    heap_.setVersion(version());
}

// --- conversions -------------------------------------------------------------------------

Value Machine::toPrimitive(const Value& value, bool preferString)
{
    // A clip's valueOf is the clip itself; its text is its path.
    if (value.type() == Value::Type::Clip)
        return value.toString();
    if (!value.isObject())
        return value;
    ActionObject* o = value.toObject();
    if (o->kind == ActionObject::Kind::Date && !preferString)
        preferString = true;
    const char16_t* order[2] = {u"valueOf", u"toString"};
    if (preferString)
        std::swap(order[0], order[1]);
    for (const char16_t* name : order) {
        // Called as a method, from where it was found, so that super works.
        ActionObject* holder = nullptr;
        Value function = get(value, name, holder);
        if (!function.isObject())
            continue;
        Value result = call(function, value, {}, holder);
        if (!result.isObject())
            return result;
    }
    return o->kind == ActionObject::Kind::Function ? Value(u"[type Function]") : Value(u"[object Object]");
}

std::u16string Machine::toString(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Undefined: return version() < 7 || value.isLapsedClip() ? u"" : u"undefined";
    case Value::Type::Object: {
        Value p = toPrimitive(value, true);
        return p.isObject() ? u"[object Object]" : toString(p);
    }
    default: return value.toString();
    }
}

double Machine::toNumber(const Value& value)
{
    if (value.isObject()) {
        Value p = toPrimitive(value);
        return p.isObject() ? std::nan("") : p.toNumber(version());
    }
    return value.toNumber(version());
}

std::int32_t Machine::toInt32(const Value& value)
{
    double n = toNumber(value);
    if (!std::isfinite(n))
        return 0;
    double m = std::fmod(std::trunc(n), 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return std::int32_t(std::uint32_t(m));
}

std::u16string Machine::typeOf(const Value& value) const
{
    switch (value.type()) {
    case Value::Type::Number: return u"number";
    case Value::Type::String: return u"string";
    case Value::Type::Boolean: return u"boolean";
    case Value::Type::Null: return u"null";
    case Value::Type::Clip: return value.toClip()->isClip() ? u"movieclip" : u"object";
    case Value::Type::Object:
        return value.toObject()->kind == ActionObject::Kind::Function ? u"function" : u"object";
    default:
        if (value.isLapsedClip())
            return value.clipHandle()->movieClip() ? u"movieclip" : u"object";
        return u"undefined";
    }
}

bool Machine::looseEquals(const Value& a, const Value& b)
{
    using T = Value::Type;
    T ta = a.type(), tb = b.type();
    if (a.isNullish() || b.isNullish())
        return a.isNullish() && b.isNullish();
    if (ta == tb)
        return ta == T::Number ? a.toNumber(version()) == b.toNumber(version()) : a.sameAs(b);
    if (a.isReference() && b.isReference())
        return false;
    if (a.isReference())
        return looseEquals(toPrimitive(a), b);
    if (b.isReference())
        return looseEquals(a, toPrimitive(b));
    if (ta == T::Boolean || tb == T::Boolean || ta == T::Number || tb == T::Number)
        return a.toNumber(version()) == b.toNumber(version());
    return a.toString() == b.toString();
}

// --- timers and the collector ------------------------------------------------------------

void Machine::runIntervals(double now)
{
    // Times add up periods while the frame clock multiplies them: equal within this.
    constexpr double kSlack = 1e-6;
    // An interval shorter than a frame runs as often as it came due since the
    // last frame, but one left far behind (a stalled host) skips all but this many.
    constexpr double kMaxCatchUp = 10;
    // And a frame runs at most this many timer calls.
    constexpr int kMaxCalls = 2000;
    // Earliest due first, ties by age, as a real clock would have called them.
    // The id is looked up again after each call: a callback may set or clear timers.
    for (int calls = 0; calls < kMaxCalls; ++calls) {
        auto it = std::ranges::min_element(intervals_, [](const Interval& a, const Interval& b) {
            return a.due < b.due - kSlack || (std::abs(a.due - b.due) <= kSlack && a.id < b.id);
        });
        if (it == intervals_.end() || it->due > now + kSlack)
            return;
        Interval copy = *it;
        if (copy.once)
            intervals_.erase(it);
        else
            it->due = std::max(it->due + it->period, now - it->period * kMaxCatchUp);
        try {
            if (copy.name.empty())
                call(copy.target, Value(), copy.args);
            else
                callMethod(copy.target, copy.name, copy.args);
        } catch (const ScriptThrow&) {
        } catch (const ScriptAbort&) {
            return;
        }
    }
}

void Machine::runArrivals()
{
    // What a delivery asks for arrives a frame later still.
    std::vector<Arrival> due;
    due.swap(arrivals_);
    for (const auto& arrival : due) {
        try {
            call(arrival.deliver, arrival.target, arrival.args);
        } catch (const ScriptThrow&) {
        } catch (const ScriptAbort&) {
            return;
        }
    }
}

void Machine::collectGarbage()
{
    heap_.collect([this](Marker& marker) {
        marker.mark(global_);
        for (ActionObject* proto : {protos_.object, protos_.function, protos_.array, protos_.string,
                                    protos_.number, protos_.boolean, protos_.date, protos_.clip, protos_.error})
            marker.mark(proto);
        marker.mark(protos_.xmlNode);
        marker.mark(protos_.bitmapData);
        marker.mark(protos_.button);
        marker.mark(protos_.video);
        sharedObjects_->mark(marker);
        for (const auto& interval : intervals_) {
            marker.mark(interval.target);
            for (const auto& arg : interval.args)
                marker.mark(arg);
        }
        for (const auto& arrival : arrivals_) {
            marker.mark(arrival.deliver);
            marker.mark(arrival.target);
            for (const auto& arg : arrival.args)
                marker.mark(arg);
        }
        for (const auto& [name, connection] : localConnections_)
            marker.mark(connection);
        for (const auto& [name, callback] : externalCallbacks_) {
            marker.mark(callback.instance);
            marker.mark(callback.method);
        }
        pb_.markRoots(marker);
    });
}

} // namespace lumbra::movie
