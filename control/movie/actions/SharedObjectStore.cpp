#include "control/movie/actions/SharedObjectStore.h"

#include "control/movie/BitReader.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Heap.h"
#include "control/movie/actions/Machine.h"

#include "control/movie/LocalFiles.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <set>
#include <system_error>

namespace lumbra::movie {

namespace {

constexpr std::string_view kMagic = "LSO1\n";
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxValues = 100'000;
constexpr std::size_t kMaxNameLength = 200;

bool reservedDeviceName(std::u16string_view part)
{
    std::u16string stem = foldCase(part.substr(0, part.find(u'.')));
    for (std::u16string_view device : {u"con", u"prn", u"aux", u"nul"})
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.starts_with(u"com") || stem.starts_with(u"lpt")) && stem[3] >= u'0' &&
           stem[3] <= u'9';
}

class Writer {
public:
    std::string out{kMagic};

    void value(const Value& v, int depth)
    {
        if (++count_ > kMaxValues || depth > kMaxDepth) {
            out += 'u';
            return;
        }
        switch (v.type()) {
        case Value::Type::Null: out += 'n'; return;
        case Value::Type::Boolean: out += v.toBoolean(7) ? 't' : 'f'; return;
        case Value::Type::Number: number(v.toNumber(7)); return;
        case Value::Type::String: string(v.toString()); return;
        case Value::Type::Object: object(v.toObject(), depth); return;
        default: out += 'u'; return;
        }
    }

    void object(const ActionObject* o, int depth)
    {
        // An object met again on its own path would never end.
        if (!onPath_.insert(o).second) {
            out += 'u';
            return;
        }
        if (o->kind == ActionObject::Kind::Array) {
            out += 'a' + std::to_string(o->elements.size()) + ':';
            for (const Value& element : o->elements)
                value(element, depth + 1);
        } else {
            auto names = kept(o);
            out += 'o' + std::to_string(names.size()) + ':';
            for (auto it = names.rbegin(); it != names.rend(); ++it) { // oldest first
                string(*it);
                value(o->find(*it)->value, depth + 1);
            }
        }
        onPath_.erase(o);
    }

    // What is data: enumerable members that are neither functions nor accessors.
    static std::vector<std::u16string> kept(const ActionObject* o)
    {
        std::vector<std::u16string> names;
        for (auto& name : o->names()) {
            const auto* p = o->find(name);
            const ActionObject* inner = p->value.toObject();
            if (!(p->flags & Accessor) && !(inner && inner->kind == ActionObject::Kind::Function) &&
                p->value.type() != Value::Type::Clip)
                names.push_back(name);
        }
        return names;
    }

private:
    void number(double n)
    {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
        out += 'd';
        out.append(buffer, result.ptr);
        out += ';';
    }

    void string(const std::u16string& s)
    {
        std::string bytes = encodeUtf8(s);
        out += 's' + std::to_string(bytes.size()) + ':' + bytes;
    }

    std::size_t count_ = 0;
    std::set<const ActionObject*> onPath_;
};

struct Malformed {};

class Reader {
public:
    Reader(Machine& m, std::string_view in) : m_(m), in_(in) {}

    Value read()
    {
        if (!in_.starts_with(kMagic))
            throw Malformed();
        pos_ = kMagic.size();
        Value v = value(0);
        if (pos_ != in_.size() || !v.toObject() || v.toObject()->kind != ActionObject::Kind::Plain)
            throw Malformed();
        return v;
    }

private:
    char next()
    {
        if (pos_ >= in_.size())
            throw Malformed();
        return in_[pos_++];
    }

    // Digits up to `end`; counts and lengths beyond what is left cannot be right.
    std::size_t count(char end)
    {
        std::size_t n = 0;
        auto result = std::from_chars(in_.data() + pos_, in_.data() + in_.size(), n);
        if (result.ec != std::errc() || result.ptr == in_.data() + in_.size() || *result.ptr != end ||
            n > in_.size())
            throw Malformed();
        pos_ = std::size_t(result.ptr - in_.data()) + 1;
        return n;
    }

    std::u16string string()
    {
        if (next() != 's')
            throw Malformed();
        std::size_t length = count(':');
        if (length > in_.size() - pos_)
            throw Malformed();
        std::u16string s = decodeUtf8(in_.substr(pos_, length));
        pos_ += length;
        return s;
    }

    Value value(int depth)
    {
        if (depth > kMaxDepth || ++values_ > kMaxValues)
            throw Malformed();
        switch (next()) {
        case 'u': return {};
        case 'n': return Value::null();
        case 't': return true;
        case 'f': return false;
        case 'd': {
            double n = 0;
            auto result = std::from_chars(in_.data() + pos_, in_.data() + in_.size(), n);
            if (result.ec != std::errc() || result.ptr == in_.data() + in_.size() || *result.ptr != ';')
                throw Malformed();
            pos_ = std::size_t(result.ptr - in_.data()) + 1;
            return n;
        }
        case 's': --pos_; return string();
        case 'a': {
            std::size_t n = count(':');
            std::vector<Value> elements;
            for (std::size_t i = 0; i < n; ++i)
                elements.push_back(value(depth + 1));
            return Value(m_.newArray(std::move(elements)));
        }
        case 'o': {
            std::size_t n = count(':');
            ActionObject* o = m_.newObject();
            for (std::size_t i = 0; i < n; ++i) {
                std::u16string name = string();
                o->set(name, value(depth + 1));
            }
            return Value(o);
        }
        default: throw Malformed();
        }
    }

    Machine& m_;
    std::string_view in_;
    std::size_t pos_ = 0;
    std::size_t values_ = 0;
};

ActionObject* dataOf(const ActionObject* object)
{
    const auto* p = object->find(u"data");
    return p ? p->value.toObject() : nullptr;
}

} // namespace

bool SharedObjectStore::validName(std::u16string_view name)
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    for (char16_t c : name)
        if (c < 0x20 || std::u16string_view(u"~%&\\;:\"',<>?# *|").find(c) != std::u16string_view::npos)
            return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = name.find(u'/', start);
        std::u16string_view part = name.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (part.empty() || part == u"." || part == u".." || part.back() == u'.' || reservedDeviceName(part))
            return false;
        if (end == std::u16string_view::npos)
            return true;
        start = end + 1;
    }
}

std::filesystem::path SharedObjectStore::fileOf(std::u16string_view name) const
{
    return folder_ / std::filesystem::path(std::u16string(name) + u".sol");
}

ActionObject* SharedObjectStore::get(Machine& m, std::u16string_view name, ActionObject* prototype)
{
    if (!validName(name))
        return nullptr;
    for (const auto& entry : entries_)
        if (entry.name == name)
            return entry.object;
    ActionObject* object = m.heap().make(ActionObject::Kind::Plain, prototype);
    Value data;
    if (!folder_.empty())
        if (auto bytes = readDataFile(fileOf(name)))
            data = deserialize(m, {reinterpret_cast<const char*>(bytes->data()), bytes->size()}).value_or(Value());
    object->set(u"data", data.toObject() ? data : Value(m.newObject()), DontDelete);
    entries_.push_back({std::u16string(name), object});
    return object;
}

const SharedObjectStore::Entry* SharedObjectStore::entryOf(const ActionObject* object) const
{
    auto it = std::ranges::find(entries_, object, &Entry::object);
    return it == entries_.end() ? nullptr : &*it;
}

bool SharedObjectStore::flush(const ActionObject* object) const
{
    const Entry* entry = entryOf(object);
    ActionObject* data = dataOf(object);
    if (!entry || !data)
        return false;
    if (folder_.empty())
        return true;
    std::filesystem::path file = fileOf(entry->name);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::string bytes = serialize(data);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

void SharedObjectStore::flushAll() const
{
    for (const auto& entry : entries_)
        flush(entry.object);
}

void SharedObjectStore::clear(Machine& m, ActionObject* object) const
{
    const Entry* entry = entryOf(object);
    if (!entry)
        return;
    object->set(u"data", Value(m.newObject()), DontDelete);
    if (!folder_.empty()) {
        std::error_code error;
        std::filesystem::remove(fileOf(entry->name), error);
    }
}

std::size_t SharedObjectStore::size(const ActionObject* object) const
{
    ActionObject* data = dataOf(object);
    if (!data || Writer::kept(data).empty())
        return 0;
    return serialize(data).size() - kMagic.size();
}

void SharedObjectStore::mark(Marker& marker) const
{
    for (const auto& entry : entries_)
        marker.mark(entry.object);
}

std::string SharedObjectStore::serialize(const ActionObject* data)
{
    Writer writer;
    writer.object(data, 0);
    return writer.out;
}

std::optional<Value> SharedObjectStore::deserialize(Machine& m, std::string_view bytes)
{
    try {
        return Reader(m, bytes).read();
    } catch (const Malformed&) {
        return std::nullopt;
    } catch (const FormatError&) { // the heap is full
        return std::nullopt;
    }
}

} // namespace lumbra::movie
