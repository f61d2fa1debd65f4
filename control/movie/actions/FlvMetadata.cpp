#include "control/movie/actions/FlvMetadata.h"

#include "control/movie/TextCodec.h"

#include <bit>
#include <cstring>

namespace lumbra::movie {

namespace {

constexpr int kMaxDepth = 32;       // nested objects of one value
constexpr std::size_t kMaxTags = 16; // script data sits at the start of a file
constexpr std::uint8_t kScriptTag = 18;

// Big-endian reading within a span; a read past the end sets `failed`.
class AmfReader {
public:
    AmfReader(Machine& m, std::span<const std::uint8_t> bytes) : m_(m), bytes_(bytes) {}

    bool failed = false;
    bool atEnd() const { return at_ >= bytes_.size(); }

    std::uint32_t unsigned_(int count)
    {
        if (bytes_.size() - at_ < std::size_t(count)) {
            failed = true;
            at_ = bytes_.size();
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i)
            v = v << 8 | bytes_[at_++];
        return v;
    }

    double number()
    {
        std::uint64_t bits = std::uint64_t(unsigned_(4)) << 32;
        bits |= unsigned_(4);
        return std::bit_cast<double>(bits);
    }

    std::u16string string(std::size_t length)
    {
        if (bytes_.size() - at_ < length) {
            failed = true;
            at_ = bytes_.size();
            return {};
        }
        std::string_view text(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return decodeUtf8(text);
    }

    Value value(int depth)
    {
        if (failed || depth > kMaxDepth) {
            failed = true;
            return {};
        }
        switch (unsigned_(1)) {
        case 0: return number();
        case 1: return unsigned_(1) != 0;
        case 2: return string(unsigned_(2));
        case 3: return members(m_.newObject(), depth);
        case 5: return Value::null();
        case 8: // ECMA array: a count to skip, then members as an object has them
            unsigned_(4);
            return members(m_.newObject(), depth);
        case 10: {
            std::uint32_t count = unsigned_(4);
            std::vector<Value> elements;
            for (std::uint32_t i = 0; i < count && !failed; ++i)
                elements.push_back(value(depth + 1));
            return m_.newArray(std::move(elements));
        }
        case 11: { // date: milliseconds, then a time zone nobody uses
            double time = number();
            unsigned_(2);
            Value ms(time);
            return m_.construct(m_.get(Value(m_.global()), u"Date"), std::span<const Value>(&ms, 1));
        }
        case 12: return string(unsigned_(4));
        case 6:
        default: return {};
        }
    }

private:
    // Name-value pairs up to the end marker: an empty name and type 9.
    Value members(ActionObject* object, int depth)
    {
        while (!failed) {
            std::u16string name = string(unsigned_(2));
            if (name.empty() && !failed && at_ < bytes_.size() && bytes_[at_] == 9) {
                ++at_;
                break;
            }
            Value v = value(depth + 1);
            m_.set(Value(object), name, v);
        }
        return Value(object);
    }

    Machine& m_;
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count)
{
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i)
        v = v << 8 | bytes[at + i];
    return v;
}

} // namespace

std::optional<FlvFile> readFlv(Machine& m, std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 9 || std::memcmp(bytes.data(), "FLV", 3) != 0 || bytes[3] != 1)
        return std::nullopt;
    FlvFile file;
    file.hasAudio = bytes[4] & 4;
    file.hasVideo = bytes[4] & 1;
    std::size_t at = bigEndian(bytes, 5, 4);
    if (at < 9)
        return std::nullopt;
    // Each tag follows the size of the one before (4 bytes), then an 11-byte header.
    for (std::size_t tags = 0; tags < kMaxTags; ++tags) {
        if (bytes.size() < at || bytes.size() - at < 4 + 11)
            break;
        at += 4;
        std::uint8_t type = bytes[at] & 0x1F;
        std::size_t size = bigEndian(bytes, at + 1, 3);
        at += 11;
        if (bytes.size() - at < size)
            break;
        if (type == kScriptTag) {
            AmfReader reader(m, bytes.subspan(at, size));
            Value name = reader.value(0);
            if (!reader.failed && name.isString()) {
                FlvScriptCall call{name.toString(), {}};
                while (!reader.atEnd() && !reader.failed)
                    call.args.push_back(reader.value(0));
                file.calls.push_back(std::move(call));
            }
        }
        at += size;
    }
    return file;
}

} // namespace lumbra::movie
