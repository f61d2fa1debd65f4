// The command identifiers of script menus. Items are known to scripts by a
// command name; the system's menus need a number, which is drawn from the
// name's hash: first 47000 + hash mod 191, then in steps of 191 up to 53999,
// then the first free one from 54000 to 56999. Two items with one name thus
// get two identifiers, and both report that name.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::host {

// The 16 x 16 icon of an item, destroyed with its entry.
class MenuIcon {
public:
    virtual ~MenuIcon() = default;
};

inline constexpr int kFirstScriptCommand = 47000;
inline constexpr int kLastHashedCommand = 53999;
inline constexpr int kFirstOverflowCommand = 54000;
inline constexpr int kLastScriptCommand = 56999;

inline bool isScriptCommandId(int id) { return id >= kFirstScriptCommand && id <= kLastScriptCommand; }

class CommandTable {
public:
    struct Entry {
        int id;
        std::string name; // ANSI
        std::unique_ptr<MenuIcon> icon;
    };

    // The identifier the name gets now, or -1 when every one is taken.
    int nextIdentifier(std::string_view name) const;
    // Records the name (and icon) under a new identifier; -1 (and the icon
    // dropped) when none is free.
    int add(std::string name, std::unique_ptr<MenuIcon> icon = nullptr);
    const Entry* find(int id) const;
    // Forgets the identifier and destroys its icon.
    void remove(int id);
    void clear();
    std::size_t size() const { return size_; }

private:
    static constexpr std::size_t kBuckets = 17; // keyed by identifier
    static std::size_t bucketOf(int id) { return std::size_t(id) % kBuckets; }

    std::array<std::vector<Entry>, kBuckets> buckets_;
    std::size_t size_ = 0;
};

} // namespace lumbra::host
