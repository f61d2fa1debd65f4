#include "tools/actionscript/ConstantPool.h"

#include "tools/actionscript/ActionCodes.h"

namespace lumbra::actionscript {

namespace {
constexpr std::size_t kMaxRecordBody = 0xFFFF;
}

std::optional<std::uint16_t> ConstantPool::indexOf(std::string_view text)
{
    std::string key(text);
    if (auto it = indexes_.find(key); it != indexes_.end())
        return it->second;
    if (strings_.size() >= 0xFFFF || bodySize_ + text.size() + 1 > kMaxRecordBody)
        return std::nullopt;
    auto index = std::uint16_t(strings_.size());
    bodySize_ += text.size() + 1;
    strings_.push_back(key);
    indexes_.emplace(std::move(key), index);
    return index;
}

std::vector<std::uint8_t> ConstantPool::record() const
{
    std::vector<std::uint8_t> out{std::uint8_t(Action::ConstantPool), std::uint8_t(bodySize_),
                                  std::uint8_t(bodySize_ >> 8), std::uint8_t(strings_.size()),
                                  std::uint8_t(strings_.size() >> 8)};
    for (const auto& s : strings_) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    return out;
}

} // namespace lumbra::actionscript
