// An initialisation file opened for the data file object: read through the
// system's profile functions on Windows and through IniText elsewhere, with
// the same results. Changes go to a copy of the file that commit() puts in
// its place in one step, so a failed save never leaves half a file behind.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // Nothing when the file cannot be read.
    virtual std::optional<std::vector<std::string>> sectionNames() = 0;
    virtual std::optional<std::string> value(std::string_view section, std::string_view key) = 0;

    virtual void setValue(std::string_view section, std::string_view key, std::string_view value) = 0;
    virtual void removeSection(std::string_view section) = 0;
    // Replaces the file with the changed copy; false (and the file as it
    // was) when that fails.
    virtual bool commit() = 0;
};

// The file at path; a path without a folder names a file in the Windows
// directory, as the profile functions have it.
std::unique_ptr<ProfileStore> openProfileStore(const std::string& path);
// Deletes that file; false when it could not be deleted.
bool removeProfileFile(const std::string& path);

} // namespace lumbra
