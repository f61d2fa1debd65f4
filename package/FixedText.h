// A text held in a fixed buffer of Size bytes, as the settings and movie
// entries keep their paths: at most Size - 1 characters, longer texts cut.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

namespace lumbra {

template <std::size_t Size>
class FixedText {
public:
    static constexpr std::size_t capacity = Size - 1;

    FixedText() = default;
    FixedText(std::string_view text) { assign(text); }

    void assign(std::string_view text)
    {
        buffer_.fill('\0');
        std::memcpy(buffer_.data(), text.data(), std::min(text.size(), capacity));
    }

    std::string_view view() const { return {buffer_.data(), std::strlen(buffer_.data())}; }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return buffer_.data(); }
    bool empty() const { return buffer_[0] == '\0'; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, Size> buffer_{};
};

using PathText = FixedText<260>;

} // namespace lumbra
