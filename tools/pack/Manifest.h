// The project manifest (lumbra.manifest): UTF-8 lines of "key = value" under
// "[section]" headers; "#" or ";" starts a comment line. A value in double
// quotes keeps its spaces. MANIFEST.md describes every section and key.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::pack {

// Errors of the packager; the message names the file (and line) at fault.
class PackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ManifestEntry {
    std::string section; // lower case
    std::string key;
    std::string value; // UTF-8, quotes removed
    int line = 0;
};

class Manifest {
public:
    static Manifest parse(std::string_view text, const std::string& fileName);
    static Manifest load(const std::filesystem::path& file);

    const std::vector<ManifestEntry>& entries() const { return entries_; }
    std::vector<const ManifestEntry*> section(std::string_view name) const;
    // The entry of a key that may appear once; nothing when absent.
    const ManifestEntry* single(std::string_view section, std::string_view key) const;

    // "file:line: message", for errors about one entry.
    [[noreturn]] void fail(const ManifestEntry& entry, const std::string& message) const;

private:
    std::string fileName_;
    std::vector<ManifestEntry> entries_;
};

} // namespace lumbra::pack
