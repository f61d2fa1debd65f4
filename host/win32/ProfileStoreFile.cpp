// The profile store over the system's profile functions. Changes are made to
// a copy of the file in the same folder, which then replaces the original.
#include "host/datafile/ProfileStore.h"

#include <windows.h>

namespace lumbra {

namespace {

// The profile functions look for a bare file name in the Windows directory.
std::string resolvedPath(const std::string& path)
{
    if (path.find_first_of("\\/:") != std::string::npos)
        return path;
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return path;
    return std::string(folder, length) + "\\" + path;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

class SystemProfileStore final : public ProfileStore {
public:
    explicit SystemProfileStore(std::string path) : path_(resolvedPath(path)) {}

    ~SystemProfileStore() override
    {
        if (!copy_.empty())
            DeleteFileA(copy_.c_str());
    }

    std::optional<std::vector<std::string>> sectionNames() override
    {
        if (GetFileAttributesA(reading()) == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
        // The list is names each ending in a zero, then one more zero; a list
        // that does not fit comes back cut, its length two less than the buffer.
        std::string buffer(1024, '\0');
        DWORD length;
        while ((length = GetPrivateProfileSectionNamesA(buffer.data(), DWORD(buffer.size()), reading()))
               == buffer.size() - 2)
            buffer.resize(buffer.size() * 2);
        std::vector<std::string> names;
        for (std::size_t at = 0; at < length && buffer[at];) {
            names.emplace_back(buffer.c_str() + at);
            at += names.back().size() + 1;
        }
        return names;
    }

    std::optional<std::string> value(std::string_view section, std::string_view key) override
    {
        // A default that no real value can hold tells "missing" from "empty".
        static const char missing[] = "\x01";
        std::string buffer(256, '\0');
        const std::string sectionName(section), keyName(key);
        for (;;) {
            const DWORD length = GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), missing,
                                                          buffer.data(), DWORD(buffer.size()), reading());
            if (length < buffer.size() - 1) {
                buffer.resize(length);
                break;
            }
            buffer.resize(buffer.size() * 2);
        }
        if (buffer == missing)
            return std::nullopt;
        return buffer;
    }

    void setValue(std::string_view section, std::string_view key, std::string_view value) override
    {
        if (!prepareCopy())
            return;
        WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(),
                                   copy_.c_str());
    }

    void removeSection(std::string_view section) override
    {
        if (!prepareCopy())
            return;
        WritePrivateProfileStringA(std::string(section).c_str(), nullptr, nullptr, copy_.c_str());
    }

    bool commit() override
    {
        if (failed_)
            return false;
        if (copy_.empty())
            return true;
        // Flushes the profile functions' cached copy to the disk first.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy_.c_str());
        if (!MoveFileExA(copy_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        copy_.clear();
        return true;
    }

private:
    const char* reading() const { return copy_.empty() ? path_.c_str() : copy_.c_str(); }

    // The working copy: a new file beside the original, with its content.
    bool prepareCopy()
    {
        if (!copy_.empty() || failed_)
            return !failed_;
        char name[MAX_PATH];
        if (!GetTempFileNameA(folderOf(path_).c_str(), "ldf", 0, name)) {
            failed_ = true;
            return false;
        }
        copy_ = name;
        if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES
            && !CopyFileA(path_.c_str(), copy_.c_str(), FALSE))
            failed_ = true;
        return !failed_;
    }

    std::string path_;
    std::string copy_;
    bool failed_ = false;
};

} // namespace

std::unique_ptr<ProfileStore> openProfileStore(const std::string& path)
{
    return std::make_unique<SystemProfileStore>(path);
}

bool removeProfileFile(const std::string& path) { return DeleteFileA(resolvedPath(path).c_str()) != 0; }

} // namespace lumbra
