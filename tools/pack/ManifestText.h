// A manifest written out: "key = value" lines under their sections, in the
// order MANIFEST.md describes them, with "#" comments where a value cannot be
// given (an absent text, a damaged block) or for what is only informative.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::pack {

class ManifestText {
public:
    void add(std::string_view section, std::string_view key, std::string_view value);
    void comment(std::string_view section, std::string_view text);
    std::string str() const;

    // A value as the manifest reads it back: quoted when it has outer spaces
    // or would lose its own quotes.
    static std::string quote(std::string_view value);

private:
    std::map<std::string, std::vector<std::string>, std::less<>> lines_;
};

} // namespace lumbra::pack
