// The one stream type of the compiler: it reads source text (from memory or a
// file) and writes images and messages (to a growable buffer or a file).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvet {

class ByteStream {
public:
    enum class Mode : int {
        ReadText = 0,    // a NUL-terminated text in memory; source name "string"
        WriteMemory = 1, // a growable memory buffer
        ReadFile = 2,    // a file opened "rb"; source name = the path
        WriteFile = 3,   // a file opened "wb", written through a 4096-byte buffer
    };

    static constexpr int kEnd = -1; // what get() returns at the end of the input

    // One argument of pack(): integers, doubles, texts and raw pointers.
    using PackArg = std::variant<std::int64_t, double, std::string_view, const void*>;

    static ByteStream fromText(std::string_view text);
    static ByteStream memory();
    // Opens a file for reading. A missing file appends "can't open the script
    // file: <path>" and a line feed to messages and yields nothing.
    static std::optional<ByteStream> openRead(const std::string& path, std::string& messages);
    // Opens a file for writing, or yields nothing.
    static std::optional<ByteStream> openWrite(const std::string& path);

    ByteStream(ByteStream&&) noexcept;
    ByteStream& operator=(ByteStream&&) noexcept;
    ~ByteStream();

    Mode mode() const { return mode_; }
    const std::string& sourceName() const { return sourceName_; }

    // Reading: the next byte (0-255) or kEnd; unget() pushes bytes back, the
    // last pushed is read first. A text in memory ends at its first NUL.
    int get();
    int peek();
    void unget(int c);
    // Back to the first byte of the input (read modes).
    void rewind();

    // Writing.
    void put(std::uint8_t byte);
    void write(const void* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }

    // Packing driven by a format string, one letter per argument (case is
    // ignored): c low 8 bits; i low 16 bits big-endian; l 32 bits big-endian;
    // d double in memory order; s text without terminator; x length and
    // pointer: u32 big-endian length then the bytes; b length and pointer:
    // the bytes; a int as decimal text; f double as "%f" text.
    template <typename... Args>
    void pack(std::string_view format, const Args&... args)
    {
        const std::array<PackArg, sizeof...(Args)> list{toPackArg(args)...};
        packList(format, list.data(), list.size());
    }

    // Memory mode: the bytes written so far, and an in-place update of four
    // bytes (used to patch a count written as a placeholder).
    const std::vector<std::uint8_t>& bytes() const { return buffer_; }
    void patchU32BE(std::size_t offset, std::uint32_t value);
    std::vector<std::uint8_t> takeBytes() { return std::move(buffer_); }

    // File modes: flushes and closes; false when a write failed.
    bool close();

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    ByteStream(Mode mode, std::string sourceName);

    template <typename T>
    static PackArg toPackArg(const T& value)
    {
        if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
            return static_cast<std::int64_t>(value);
        else if constexpr (std::is_floating_point_v<T>)
            return static_cast<double>(value);
        else if constexpr (std::is_convertible_v<T, std::string_view> && !std::is_pointer_v<T>)
            return std::string_view(value);
        else
            return static_cast<const void*>(value);
    }

    void packList(std::string_view format, const PackArg* args, std::size_t count);
    bool flushFile();

    Mode mode_;
    std::string sourceName_;
    std::string text_;                  // ReadText
    std::size_t textPos_ = 0;
    std::unique_ptr<std::FILE, FileCloser> file_; // ReadFile, WriteFile
    std::vector<int> pushedBack_;
    std::vector<std::uint8_t> buffer_;  // WriteMemory: all bytes; WriteFile: pending bytes
    bool writeFailed_ = false;
};

} // namespace orvet
