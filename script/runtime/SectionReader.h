// A bounds-checked cursor over the bytes of one image section. Sections come
// from untrusted files, so every read checks the remaining length; a read past
// the end returns 0 (or an empty text) and marks the reader as failed, which
// lets a caller decode a whole record and test once.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "script/runtime/BytecodeModule.h"

namespace orvet {

class SectionReader {
public:
    SectionReader(const std::uint8_t* data, std::uint32_t length) : data_(data), length_(length) {}
    explicit SectionReader(const ModuleSection& section) : SectionReader(section.data(), section.length) {}

    std::uint32_t position() const { return pos_; }
    std::uint32_t remaining() const { return length_ - pos_; }
    bool atEnd() const { return pos_ >= length_; }
    bool failed() const { return failed_; }

    std::uint8_t u8()
    {
        if (!take(1))
            return 0;
        return data_[pos_ - 1];
    }

    std::uint32_t u32be()
    {
        if (!take(4))
            return 0;
        const std::uint8_t* p = data_ + pos_ - 4;
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
    }

    std::uint64_t u64be()
    {
        std::uint64_t high = u32be();
        return high << 32 | u32be();
    }

    // 8 bytes in memory (little-endian) order: a double constant.
    double f64()
    {
        if (!take(8))
            return 0;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | data_[pos_ - 8 + i];
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // A NUL-terminated text; the NUL is consumed. An unterminated text fails.
    std::string_view cstring()
    {
        const std::uint8_t* start = data_ + pos_;
        const void* nul = std::memchr(start, 0, remaining());
        if (!nul) {
            fail();
            return {};
        }
        std::size_t size = static_cast<const std::uint8_t*>(nul) - start;
        pos_ += static_cast<std::uint32_t>(size + 1);
        return {reinterpret_cast<const char*>(start), size};
    }

    // The next count bytes, or nullptr when fewer remain.
    const std::uint8_t* bytes(std::uint32_t count)
    {
        if (!take(count))
            return nullptr;
        return data_ + pos_ - count;
    }

private:
    bool take(std::uint32_t count)
    {
        if (failed_ || count > remaining()) {
            fail();
            return false;
        }
        pos_ += count;
        return true;
    }

    void fail()
    {
        failed_ = true;
        pos_ = length_;
    }

    const std::uint8_t* data_;
    std::uint32_t length_;
    std::uint32_t pos_ = 0;
    bool failed_ = false;
};

} // namespace orvet
