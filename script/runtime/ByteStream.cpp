#include "script/runtime/ByteStream.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace orvet {

namespace {

constexpr std::size_t kFileBufferSize = 4096;

// A format letter that does not match its argument is a programming error.
[[noreturn]] void badPackArgument(char letter)
{
    throw std::invalid_argument(std::string("ByteStream::pack: bad argument for '") + letter + "'");
}

std::int64_t intArg(const ByteStream::PackArg& arg, char letter)
{
    if (auto v = std::get_if<std::int64_t>(&arg))
        return *v;
    badPackArgument(letter);
}

double doubleArg(const ByteStream::PackArg& arg, char letter)
{
    if (auto v = std::get_if<double>(&arg))
        return *v;
    if (auto v = std::get_if<std::int64_t>(&arg))
        return static_cast<double>(*v);
    badPackArgument(letter);
}

const void* pointerArg(const ByteStream::PackArg& arg, char letter)
{
    if (auto v = std::get_if<const void*>(&arg))
        return *v;
    if (auto v = std::get_if<std::string_view>(&arg))
        return v->data();
    badPackArgument(letter);
}

std::string_view textArg(const ByteStream::PackArg& arg, char letter)
{
    if (auto v = std::get_if<std::string_view>(&arg))
        return *v;
    if (auto v = std::get_if<const void*>(&arg))
        return static_cast<const char*>(*v);
    badPackArgument(letter);
}

} // namespace

ByteStream::ByteStream(Mode mode, std::string sourceName) : mode_(mode), sourceName_(std::move(sourceName)) {}
ByteStream::ByteStream(ByteStream&&) noexcept = default;
ByteStream& ByteStream::operator=(ByteStream&&) noexcept = default;

ByteStream::~ByteStream()
{
    if (mode_ == Mode::WriteFile && file_)
        flushFile();
}

ByteStream ByteStream::fromText(std::string_view text)
{
    ByteStream stream(Mode::ReadText, "string");
    stream.text_ = text.substr(0, text.find('\0'));
    return stream;
}

ByteStream ByteStream::memory()
{
    return ByteStream(Mode::WriteMemory, {});
}

std::optional<ByteStream> ByteStream::openRead(const std::string& path, std::string& messages)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        messages += "can't open the script file: " + path + "\n";
        return std::nullopt;
    }
    ByteStream stream(Mode::ReadFile, path);
    stream.file_.reset(f);
    return stream;
}

std::optional<ByteStream> ByteStream::openWrite(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return std::nullopt;
    ByteStream stream(Mode::WriteFile, path);
    stream.file_.reset(f);
    return stream;
}

int ByteStream::get()
{
    if (!pushedBack_.empty()) {
        int c = pushedBack_.back();
        pushedBack_.pop_back();
        return c;
    }
    if (mode_ == Mode::ReadText)
        return textPos_ < text_.size() ? static_cast<std::uint8_t>(text_[textPos_++]) : kEnd;
    if (mode_ == Mode::ReadFile && file_) {
        int c = std::fgetc(file_.get());
        return c == EOF ? kEnd : c;
    }
    return kEnd;
}

int ByteStream::peek()
{
    int c = get();
    unget(c);
    return c;
}

void ByteStream::unget(int c)
{
    pushedBack_.push_back(c);
}

void ByteStream::rewind()
{
    pushedBack_.clear();
    textPos_ = 0;
    if (mode_ == Mode::ReadFile && file_)
        std::rewind(file_.get());
}

void ByteStream::put(std::uint8_t byte)
{
    write(&byte, 1);
}

void ByteStream::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    if (mode_ == Mode::WriteFile && buffer_.size() >= kFileBufferSize)
        flushFile();
}

void ByteStream::patchU32BE(std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        buffer_.at(offset + i) = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

bool ByteStream::flushFile()
{
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size())
        writeFailed_ = true;
    buffer_.clear();
    return !writeFailed_;
}

bool ByteStream::close()
{
    if (!file_)
        return !writeFailed_;
    if (mode_ == Mode::WriteFile)
        flushFile();
    if (std::fclose(file_.release()) != 0)
        writeFailed_ = true;
    return !writeFailed_;
}

void ByteStream::packList(std::string_view format, const PackArg* args, std::size_t count)
{
    std::size_t next = 0;
    auto take = [&](char letter) -> const PackArg& {
        if (next >= count)
            badPackArgument(letter);
        return args[next++];
    };
    for (char raw : format) {
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(raw)));
        switch (letter) {
        case 'c':
            put(static_cast<std::uint8_t>(intArg(take(letter), letter)));
            break;
        case 'i': {
            auto v = static_cast<std::uint16_t>(intArg(take(letter), letter));
            const std::uint8_t b[2] = {std::uint8_t(v >> 8), std::uint8_t(v)};
            write(b, 2);
            break;
        }
        case 'l': {
            auto v = static_cast<std::uint32_t>(intArg(take(letter), letter));
            const std::uint8_t b[4] = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
            write(b, 4);
            break;
        }
        case 'd': {
            double v = doubleArg(take(letter), letter);
            write(&v, sizeof v);
            break;
        }
        case 's':
            write(textArg(take(letter), letter));
            break;
        case 'x':
        case 'b': {
            auto length = static_cast<std::uint32_t>(intArg(take(letter), letter));
            const void* data = pointerArg(take(letter), letter);
            if (letter == 'x')
                pack("l", length);
            write(data, length);
            break;
        }
        case 'a':
            write(std::to_string(intArg(take(letter), letter)));
            break;
        case 'f': {
            char text[512];
            int n = std::snprintf(text, sizeof text, "%f", doubleArg(take(letter), letter));
            write(text, static_cast<std::size_t>(n < 0 ? 0 : n < int(sizeof text) ? n : int(sizeof text) - 1));
            break;
        }
        default:
            throw std::invalid_argument(std::string("ByteStream::pack: unknown letter '") + raw + "'");
        }
    }
}

} // namespace orvet
